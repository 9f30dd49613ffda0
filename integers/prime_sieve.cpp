// The segmented wheel-30 sieve below 2^30, the table class TPrimeList built
// on it (with its stream and file forms), and IPrime.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/primes.h"
#include "integers/streams.h"

namespace rara {

static_assert(std::endian::native == std::endian::little,
              "the sieve scan and the stream form assume little-endian words");

namespace {

constexpr int SegmentPositions = 65536;                 // positions per segment, 30 numbers each
constexpr int SegmentWords = SegmentPositions / 8;      // 64-bit words of the segment
constexpr int SievePrimeFirst = 4;                      // SmallPrimes[4] = 7
constexpr int SievePrimeCount = SmallPrimeCount - SievePrimeFirst + 1;   // 3509
constexpr int SegmentCandidates = 8 * SegmentPositions;

// Bit b of a segment word stands for the number wordBase + BitOffsets[b]:
// position b / 8 of the word, residue b mod 8.
constexpr auto BitOffsets = [] {
  constexpr std::uint32_t residues[8] = {1, 7, 11, 13, 17, 19, 23, 29};
  std::array<std::uint32_t, 64> t{};
  for (int b = 0; b < 64; ++b) t[b] = static_cast<std::uint32_t>(b >> 3) * 30u + residues[b & 7];
  return t;
}();

// One segment holds the numbers (Base + j)·30 + r for j = 0..65535 and r one
// of the 8 residues. Byte j holds the 8 residues of position j (bit k for
// SieveResidues[k]), so reading the words from the low end yields the numbers
// in increasing order. A set bit marks a composite.
class TWheelSieve {
 public:
  TWheelSieve() : words_(std::make_unique_for_overwrite<std::uint64_t[]>(SegmentWords)), offsets_(8 * SievePrimeCount) {
    // Start offsets: the first multiple c >= p² of p with c = r (mod 30),
    // stepping through odd multiples; position (c - r) / 30 - 1 since the
    // first segment starts at base 1.
    for (int i = 0; i < SievePrimeCount; ++i) {
      const std::uint32_t p = SmallPrimes[SievePrimeFirst + i];
      for (int k = 0; k < 8; ++k) {
        const std::uint32_t r = SieveResidues[k];
        std::uint32_t c = p * p;
        while (c % 30 != r) c += 2 * p;
        offsets_[8 * i + k] = (c - r) / 30 - 1;
      }
    }
  }

  // Sieves the next segment (the first call sieves the one at base 1).
  void Next() {
    base_ = started_ ? base_ + SegmentPositions : 1;
    started_ = true;
    std::uint64_t* words = words_.get();
    std::memset(words, 0, SegmentWords * sizeof(std::uint64_t));
    auto* bytes = reinterpret_cast<unsigned char*>(words);
    std::uint32_t* off = offsets_.data();
    for (int i = 0; i < SievePrimeCount; ++i, off += 8) {
      const std::uint32_t p = SmallPrimes[SievePrimeFirst + i];
      for (int k = 0; k < 8; ++k) {
        const unsigned char bit = static_cast<unsigned char>(1u << k);
        std::uint32_t o = off[k];
        // Four marks per round while all four are in the segment.
        if (4 * p < SegmentPositions) {
          const std::uint32_t end4 = SegmentPositions - 3 * p;
          for (; o < end4; o += 4 * p) {
            bytes[o] |= bit;
            bytes[o + p] |= bit;
            bytes[o + 2 * p] |= bit;
            bytes[o + 3 * p] |= bit;
          }
        }
        for (; o < static_cast<std::uint32_t>(SegmentPositions); o += p) bytes[o] |= bit;
        off[k] = o - SegmentPositions;
      }
    }
  }

  std::uint32_t Base() const noexcept { return base_; }
  const std::uint64_t* Words() const noexcept { return words_.get(); }

  // Number of primes in the sieved segment.
  int PrimeCount() const noexcept {
    int composite = 0;
    const std::uint64_t* w = words_.get();
    for (int i = 0; i < SegmentWords; ++i) composite += std::popcount(w[i]);
    return SegmentCandidates - composite;
  }

  // Calls sink(p) for the primes of the segment in increasing order until it
  // returns false; returns false when it was stopped.
  template <class Sink>
  bool Scan(Sink&& sink) const {
    const std::uint64_t* w = words_.get();
    for (int i = 0; i < SegmentWords; ++i) {
      std::uint64_t bits = ~w[i];
      const std::uint32_t wordBase = (base_ + 8u * static_cast<std::uint32_t>(i)) * 30u;
      while (bits != 0) {
        const int b = std::countr_zero(bits);
        bits &= bits - 1;
        if (!sink(wordBase + BitOffsets[b])) return false;
      }
    }
    return true;
  }

  // Writes all primes of the segment to out (room for 524288 needed);
  // returns how many.
  int ScanAll(std::uint32_t* out) const {
    const std::uint64_t* w = words_.get();
    std::uint32_t* o = out;
    for (int i = 0; i < SegmentWords; ++i) {
      std::uint64_t bits = ~w[i];
      const std::uint32_t wordBase = (base_ + 8u * static_cast<std::uint32_t>(i)) * 30u;
      while (bits != 0) {
        *o++ = wordBase + BitOffsets[std::countr_zero(bits)];
        bits &= bits - 1;
      }
    }
    return static_cast<int>(o - out);
  }

 private:
  std::unique_ptr<std::uint64_t[]> words_;
  std::vector<std::uint32_t> offsets_;   // 8 per sieving prime, one per residue
  std::uint32_t base_ = 1;
  bool started_ = false;
};

// Runs the sieve from 31 on, segment by segment, until segment(sieve)
// returns false.
template <class PerSegment>
void SieveFrom31(PerSegment&& segment) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  TWheelSieve sieve;
  for (;;) {
    if (poll) RuvBreak();
    sieve.Next();
    if (!segment(sieve)) return;
  }
}

// Growable malloc'd prime array: realloc lets the large tables grow and be
// trimmed without copying through a second block.
struct TPrimeBuffer {
  std::unique_ptr<std::uint32_t, TPrimeList::TFree> data;
  std::int64_t count = 0;
  std::int64_t capacity = 0;

  // Room for n entries, growing in steps of 4096.
  void Reserve(std::int64_t n) {
    if (n <= capacity) return;
    n = (n + 4095) / 4096 * 4096;
    void* p = std::realloc(data.get(), static_cast<std::size_t>(n) * sizeof(std::uint32_t));
    if (p == nullptr) throw std::bad_alloc();
    data.release();
    data.reset(static_cast<std::uint32_t*>(p));
    capacity = n;
  }
  void Trim() {
    if (count == capacity || count == 0) return;
    void* p = std::realloc(data.get(), static_cast<std::size_t>(count) * sizeof(std::uint32_t));
    if (p == nullptr) return;   // keeping the larger block is harmless
    data.release();
    data.reset(static_cast<std::uint32_t*>(p));
    capacity = count;
  }
};

// An upper bound of the number of primes <= x (Dusart), so that a large table
// is allocated once.
std::int64_t PrimeCountUpperBound(std::uint32_t x) {
  if (x < 100) return 25;
  const double lx = std::log(static_cast<double>(x));
  return static_cast<std::int64_t>(static_cast<double>(x) / lx * (1.0 + 1.2762 / lx)) + 16;
}

}  // namespace

// ---- TPrimeList ----

void TPrimeList::Clear() noexcept {
  primes_.reset();
  count_ = 0;
  largest_ = 0;
}

std::uint32_t TPrimeList::Prime(std::int32_t i) {
  if (autoExtend_) {
    if (i < 1 || i > MaxPrimeCount) RaiseIndexError("TPrimeList.Prime");
    if (i > count_) SetCount(i);
  } else {
    if (count_ == 0) RaiseInvalidCall("TPrimeList.Prime", "No prime table initialized yet");
    if (i < 1 || i > count_) RaiseIndexError("TPrimeList.Prime");
  }
  return primes_.get()[i - 1];
}

void TPrimeList::SetBound(std::int32_t b) {
  std::uint32_t bound = static_cast<std::uint32_t>(b);
  if (bound > MaxPrimeBound) RaiseInvalidArg("TPrimeList.SetBound", "Bound should be less than 1073741825");
  RuvBreak();
  bound = std::max<std::uint32_t>(bound, 29);
  if (bound == largest_) return;
  if (count_ > 0 && bound < largest_) {
    const std::uint32_t* p = primes_.get();
    std::int32_t n = static_cast<std::int32_t>(std::upper_bound(p, p + count_, bound) - p);
    count_ = std::max(n, 1);
    largest_ = p[count_ - 1];
    return;
  }
  Clear();
  TPrimeBuffer buf;
  if (bound <= 32768) {
    const std::uint32_t* first = SmallPrimes + 1;
    const std::int64_t n = std::upper_bound(first, first + SmallPrimeCount, bound) - first;
    buf.Reserve(n);
    std::memcpy(buf.data.get(), first, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
    buf.count = n;
  } else {
    buf.Reserve(PrimeCountUpperBound(bound) + SegmentCandidates);
    std::memcpy(buf.data.get(), SmallPrimes + 1, 10 * sizeof(std::uint32_t));
    buf.count = 10;
    SieveFrom31([&](const TWheelSieve& sieve) {
      buf.Reserve(buf.count + SegmentCandidates);
      std::uint32_t* first = buf.data.get() + buf.count;
      const int n = sieve.ScanAll(first);
      const std::uint32_t* kept = std::upper_bound(first, first + n, bound);
      buf.count += kept - first;
      return kept == first + n;
    });
    buf.Trim();
  }
  primes_ = std::move(buf.data);
  count_ = static_cast<std::int32_t>(buf.count);
  largest_ = primes_.get()[count_ - 1];
}

void TPrimeList::SetCount(std::int32_t n) {
  if (static_cast<std::uint32_t>(n) > static_cast<std::uint32_t>(MaxPrimeCount))
    RaiseInvalidArg("TPrimeList.Count", "Count should be less than 54400029");
  RuvBreak();
  if (n == 0) {
    Clear();
    return;
  }
  n = std::max(n, 10);
  if (n == count_) return;
  if (n < count_) {
    count_ = n;
    largest_ = primes_.get()[n - 1];
    return;
  }
  Clear();
  TPrimeBuffer buf;
  buf.Reserve(n);
  const int fromTable = std::min(n, SmallPrimeCount);
  std::memcpy(buf.data.get(), SmallPrimes + 1, static_cast<std::size_t>(fromTable) * sizeof(std::uint32_t));
  buf.count = fromTable;
  if (n > SmallPrimeCount) {
    // The sieve restarts at 31; the table already holds everything below 32768.
    SieveFrom31([&](const TWheelSieve& sieve) {
      return sieve.Scan([&](std::uint32_t p) {
        if (p < 32768) return true;
        buf.data.get()[buf.count++] = p;
        return buf.count < n;
      });
    });
  }
  primes_ = std::move(buf.data);
  count_ = n;
  largest_ = primes_.get()[n - 1];
}

void TPrimeList::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteI32(count_);
  stream.WriteU32(largest_);
  stream.WriteU8(autoExtend_ ? 1 : 0);
  if (count_ > 0) stream.Write(primes_.get(), static_cast<std::size_t>(count_) * sizeof(std::uint32_t));
  guard.Keep();
}

void TPrimeList::LoadFromStream(TStream& stream) {
  Clear();
  TStreamPosGuard guard(stream);
  bool ok = false;
  try {
    const std::int32_t count = stream.ReadI32();
    const std::uint32_t largest = stream.ReadU32();
    const bool autoExtend = stream.ReadU8() != 0;
    // The count is checked against what the stream still holds before any
    // allocation, so a corrupted count cannot ask for gigabytes.
    if (count > 0 && count <= MaxPrimeCount &&
        stream.Remaining() >= static_cast<std::int64_t>(count) * 4) {
      TPrimeBuffer buf;
      buf.Reserve(count);
      stream.ReadBuffer(buf.data.get(), static_cast<std::size_t>(count) * sizeof(std::uint32_t));
      if (buf.data.get()[count - 1] == largest) {
        primes_ = std::move(buf.data);
        count_ = count;
        largest_ = largest;
        autoExtend_ = autoExtend;
        ok = true;
      }
    }
  } catch (const EStreamError&) {
  } catch (const std::bad_alloc&) {
  }
  if (!ok) RaiseStreamError("TPrimeList.LoadFromStream");
  guard.Keep();
}

void TPrimeList::SaveToFile(const std::string& fileName) const {
  if (count_ == 0) RaiseInvalidCall("TPrimeList.SaveToFile", "No prime table initialized yet");
  RuvSaveToFile(fileName, FileHeader, [this](TStream& s) { SaveToStream(s); });
}

void TPrimeList::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, FileHeader, "TPrimeList", [this](TStream& s) { LoadFromStream(s); });
}

// ---- IPrime ----

std::uint32_t IPrime(std::int32_t i) {
  if (i < 1 || i > MaxPrimeCount) RaiseIndexError("IPrime");
  if (i <= SmallPrimeCount) return SmallPrimes[i];
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  TWheelSieve sieve;
  std::int32_t count = 10;
  for (;;) {
    if (poll) RuvBreak();
    sieve.Next();
    const int inSegment = sieve.PrimeCount();
    if (count + inSegment < i) {
      count += inSegment;
      continue;
    }
    std::uint32_t result = 0;
    sieve.Scan([&](std::uint32_t p) {
      if (++count < i) return true;
      result = p;
      return false;
    });
    return result;
  }
}

}  // namespace rara
