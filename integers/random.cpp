// Per-thread random generator: two 32-bit words mixed by multiplications
// modulo 2^32 + 1, seeded by checksums of successive increments of the seed.
// A thread that draws before seeding its own generator is seeded from the
// main thread's last seed and its rank among such threads, so runs with a
// fixed seed stay reproducible in every thread.
#include "integers/random.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <vector>

#include "integers/break.h"
#include "integers/checksum.h"
#include "integers/errors.h"

namespace rara {

namespace {
struct TRandomState {
  std::uint32_t S0 = 0, S1 = 0, M0 = 0, M1 = 0, A0 = 0, A1 = 0;
  bool Seeded = false;
};
thread_local TRandomState State;

// The main thread's last seed words, and how many threads have been seeded
// from them since.
std::mutex ProcessSeedMutex;
std::uint32_t ProcessSeed[6] = {};
std::uint32_t ThreadsSeeded = 0;

std::uint32_t Rotl(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

// X is the non-negative integer of the bytes (least significant first); the
// six words are checksums of X+1, X+2, ... over X's significant limbs.
void SeedState(TRandomState& s, const void* buffer, std::int64_t byteCount) {
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::vector<std::uint32_t> x(static_cast<std::size_t>((byteCount + 3) / 4), 0);
  for (std::int64_t i = 0; i < byteCount; ++i)
    x[static_cast<std::size_t>(i / 4)] |= static_cast<std::uint32_t>(p[i]) << (8 * (i % 4));
  while (!x.empty() && x.back() == 0) x.pop_back();
  auto next = [&x]() {
    std::size_t i = 0;
    while (i < x.size() && ++x[i] == 0) ++i;
    if (i == x.size()) x.push_back(1);
    std::vector<std::uint8_t> bytes(x.size() * 4);
    for (std::size_t k = 0; k < x.size(); ++k)
      for (int b = 0; b < 4; ++b) bytes[4 * k + b] = static_cast<std::uint8_t>(x[k] >> (8 * b));
    return RuvCrc32(bytes.data(), bytes.size());
  };
  s.S0 = next();
  s.S1 = next();
  s.M0 = next();
  s.M1 = next();
  s.A0 = next();
  s.A1 = next();
  s.Seeded = true;
}

// First draw of a thread that was never seeded: an all-zero state would
// give 0 forever. The seed is the main thread's seed words followed by the
// thread's rank (1, 2, ...), 28 bytes, little-endian.
void SeedThread(TRandomState& s) {
  std::uint32_t words[7];
  {
    std::lock_guard<std::mutex> lock(ProcessSeedMutex);
    for (int i = 0; i < 6; ++i) words[i] = ProcessSeed[i];
    words[6] = ++ThreadsSeeded;
  }
  std::uint8_t bytes[28];
  for (int i = 0; i < 7; ++i)
    for (int b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(words[i] >> (8 * b));
  SeedState(s, bytes, 28);
}
}  // namespace

std::uint32_t MulMod32(std::uint32_t a, std::uint32_t b) {
  std::uint64_t p = static_cast<std::uint64_t>(a) * b;
  auto lo = static_cast<std::uint32_t>(p);
  auto hi = static_cast<std::uint32_t>(p >> 32);
  std::uint32_t r = lo - hi;
  if (lo < hi) r += 1;
  return r;
}

std::uint32_t RuvRandom() {
  TRandomState& s = State;
  if (!s.Seeded) [[unlikely]]
    SeedThread(s);
  std::uint32_t t = s.S0 ^ s.S1;
  t ^= Rotl(t, 16);
  t ^= Rotl(t, 8);
  s.S0 ^= t;
  s.S1 ^= t;
  s.S0 = MulMod32(s.S0, s.M0);
  s.S1 = s.S1 + s.S0 + s.A0;
  s.S1 = MulMod32(s.S1, s.M1);
  s.S0 = s.S0 + s.S1 + s.A1;
  return s.S0 ^ s.S1;
}

void RuvSeed(const void* buffer, std::int64_t byteCount) {
  constexpr std::int64_t maxByteSize = 0xC000000;
  if (byteCount < 0 || byteCount >= maxByteSize)
    RaiseInvalidArg("RuvSeed", "(ByteCount < 0) or (ByteCount >= TInteger.MaxByteSize)");
  TRandomState& s = State;
  SeedState(s, buffer, byteCount);
  if (RuvIsMainThread()) {
    std::lock_guard<std::mutex> lock(ProcessSeedMutex);
    const std::uint32_t words[6] = {s.S0, s.S1, s.M0, s.M1, s.A0, s.A1};
    for (int i = 0; i < 6; ++i) ProcessSeed[i] = words[i];
    ThreadsSeeded = 0;
  }
}

void RuvSeedTime() {
  // UTC year, month, day of week, day, hour, minute, second, milliseconds as
  // eight 16-bit little-endian fields.
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm utc{};
  gmtime_r(&t, &utc);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::uint16_t fields[8] = {
      static_cast<std::uint16_t>(utc.tm_year + 1900), static_cast<std::uint16_t>(utc.tm_mon + 1),
      static_cast<std::uint16_t>(utc.tm_wday),        static_cast<std::uint16_t>(utc.tm_mday),
      static_cast<std::uint16_t>(utc.tm_hour),        static_cast<std::uint16_t>(utc.tm_min),
      static_cast<std::uint16_t>(utc.tm_sec),         static_cast<std::uint16_t>(ms)};
  std::uint8_t bytes[16];
  for (int i = 0; i < 8; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(fields[i]);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(fields[i] >> 8);
  }
  RuvSeed(bytes, 16);
}

}  // namespace rara
