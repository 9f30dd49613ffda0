// Shared pieces of the fuzz harnesses (see fuzz_support.h).
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "integers/checksum.h"
#include "integers/runtime.h"

#if defined(__SANITIZE_ADDRESS__)
#define RARA_FUZZ_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RARA_FUZZ_ASAN 1
#endif
#endif

#ifdef RARA_FUZZ_ASAN
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                        void (*free_hook)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void* p);
#endif

namespace rara::fuzz {

namespace {

std::string& ReplayName() {
  static std::string name;
  return name;
}

// Live heap of this thread while a watch is open, and its peak.
thread_local bool Watching = false;
thread_local std::int64_t Live = 0;
thread_local std::int64_t Peak = 0;

#ifdef RARA_FUZZ_ASAN
void OnMalloc(const volatile void*, std::size_t size) {
  if (!Watching) return;
  Live += static_cast<std::int64_t>(size);
  Peak = std::max(Peak, Live);
}

void OnFree(const volatile void* p) {
  if (!Watching || p == nullptr) return;
  Live -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(p));
}

bool InstallHooks() {
  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  return true;
}
#endif

// Room every load may take whatever its input, and the multiple of the input
// it may take beyond that.
constexpr std::size_t AllocSlack = 256 * 1024;
constexpr std::size_t AllocFactor = 16;

std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// Walks one stream form from pos, repairing checksums; false when the data
// end or a count is impossible.
class TRepair {
 public:
  TRepair(std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Skip(std::size_t n) {
    if (size_ - pos_ < n) return false;
    pos_ += n;
    return true;
  }
  bool Count(std::int64_t& n) {
    if (size_ - pos_ < 4) return false;
    n = static_cast<std::int32_t>(GetU32(data_ + pos_));
    pos_ += 4;
    return true;
  }
  // Count, words, checksum of the words (the integer's count is signed).
  bool Words(bool signedCount) {
    std::int64_t n = 0;
    if (!Count(n)) return false;
    if (signedCount && n < 0) n = -n;
    if (n < 0 || static_cast<std::uint64_t>(n) * 4 + 4 > size_ - pos_) return false;
    const std::size_t bytes = static_cast<std::size_t>(n) * 4;
    PutU32(data_ + pos_ + bytes, RuvCrc32(data_ + pos_, bytes));
    pos_ += bytes + 4;
    return true;
  }
  bool Vector() {
    std::int64_t n = 0;
    if (!Count(n) || n < 0) return false;
    for (std::int64_t i = 0; i < n; ++i)
      if (!Words(false)) return false;
    return true;
  }
  bool Field() {
    if (size_ - pos_ < 27) return false;
    const bool normal = data_[pos_] != 0;
    pos_ += 27;
    if (!Words(false) || !Words(false)) return false;
    if (normal && (!Vector() || !Vector())) return false;
    return Skip(1);
  }

 private:
  std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

void Fail(const std::string& what) {
  if (!ReplayName().empty()) std::fprintf(stderr, "input %s\n", ReplayName().c_str());
  std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void EnsureRuntime() {
#ifndef RARA_FUZZ_REPLAY
  // libFuzzer ends the process through exit(), after the registries that the
  // runtime's shut-down walks may already be gone: the runtime of a fuzzing
  // process is deliberately never shut down. (The replay driver's main owns
  // its runtime as every other program does.)
  static TRuvRuntime* const runtime = std::make_unique<TRuvRuntime>().release();
  (void)runtime;
#endif
#ifdef RARA_FUZZ_ASAN
  static const bool hooks = InstallHooks();
  (void)hooks;
#endif
}

void SetReplayName(const std::string& name) { ReplayName() = name; }

std::uint8_t TFuzzBytes::U8() { return pos_ < size_ ? data_[pos_++] : 0; }

std::uint32_t TFuzzBytes::U32() {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(U8()) << (8 * k);
  return v;
}

std::vector<std::uint8_t> TFuzzBytes::Bytes(std::size_t n) {
  n = std::min(n, Left());
  std::vector<std::uint8_t> r(data_ + pos_, data_ + pos_ + n);
  pos_ += n;
  return r;
}

std::string TFuzzBytes::Rest() {
  std::string r(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
  pos_ = size_;
  return r;
}

void TFuzzBytes::Poly(TGF2Poly& p, std::size_t maxBytes, std::int32_t maxDeg) {
  const std::vector<std::uint8_t> b = Bytes(maxBytes);
  p.Clear();
  for (std::size_t i = 0; i < b.size(); ++i)
    for (int k = 0; k < 8; ++k)
      if ((b[i] >> k) & 1u) p.SetCoef(static_cast<std::int32_t>(8 * i) + k, true);
  if (maxDeg >= 0) GF2ModXk(p, maxDeg);
}

TMemoryStream PaddedStream(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(StreamPad), 0xA5);
  bytes.insert(bytes.end(), data, data + size);
  TMemoryStream s(std::move(bytes));
  s.SetPosition(StreamPad);
  return s;
}

TAllocWatch::TAllocWatch(std::size_t inputSize) : limit_(AllocSlack + AllocFactor * inputSize) {
  Live = 0;
  Peak = 0;
  Watching = true;
}

TAllocWatch::~TAllocWatch() { Watching = false; }

void TAllocWatch::Check(const std::string& what) const {
  if (Peak > static_cast<std::int64_t>(limit_))
    Fail(what + " held " + std::to_string(Peak) + " bytes of heap, more than " + std::to_string(limit_));
}

void RepairChecksums(TStreamForm form, std::uint8_t* data, std::size_t size) {
  TRepair r(data, size);
  switch (form) {
    case TStreamForm::Integer: r.Words(true); break;
    case TStreamForm::Poly: r.Words(false); break;
    case TStreamForm::Vector: r.Vector(); break;
    case TStreamForm::Field: r.Field(); break;
    case TStreamForm::Curve:
      if (r.Skip(1) && r.Field() && r.Words(false) && r.Words(false)) r.Words(false);
      break;
    case TStreamForm::Point:
      if (r.Words(false)) r.Words(false);
      break;
  }
}

}  // namespace rara::fuzz

#ifndef RARA_FUZZ_REPLAY
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rara::fuzz::EnsureRuntime();
  return 0;
}
#endif
