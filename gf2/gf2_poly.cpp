// TGF2Poly storage, queries and setters, and the polynomial scratch pool.
#include "gf2/gf2_poly.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "integers/errors.h"
#include "integers/secure_wipe.h"
#include "integers/settings.h"

namespace rara {

namespace {

constexpr std::int32_t RoundUp8(std::int32_t n) noexcept { return (n + 7) & ~7; }

void Wipe(std::uint32_t* p, std::int32_t words) noexcept {
  if (words > 0) SecureZero(p, static_cast<std::size_t>(words) * 4);
}

// Index and size parameters are checked as unsigned, so negatives fail too.
constexpr bool OutOfRange(std::int32_t v, std::uint32_t bound) noexcept {
  return static_cast<std::uint32_t>(v) > bound;
}

}  // namespace

// ---------------------------------------------------------------- storage

TGF2Poly::TGF2Poly(const TGF2Poly& other) : TRuvObject() { Assign(other); }

TGF2Poly::~TGF2Poly() {
  if (words_ != nullptr) {
    if (SecureWipe) Wipe(words_, capacity_);
    std::free(words_);
  }
}

void TGF2Poly::Reallocate(std::int32_t newCapacity) {
  if (newCapacity == capacity_) return;
  if (newCapacity == 0) {
    if (SecureWipe) Wipe(words_, capacity_);
    std::free(words_);
    words_ = nullptr;
    capacity_ = 0;
    count_ = 0;
    return;
  }
  const std::size_t bytes = static_cast<std::size_t>(newCapacity) * 4;
  const std::int32_t keep = count_ < newCapacity ? count_ : newCapacity;
  std::uint32_t* block;
  if (words_ == nullptr) {
    // Fresh blocks come zeroed from calloc, which skips the clearing pass for
    // large blocks that the system hands out zeroed anyway.
    block = static_cast<std::uint32_t*>(std::calloc(static_cast<std::size_t>(newCapacity), 4));
    if (block == nullptr) throw std::bad_alloc();
    words_ = block;
    capacity_ = newCapacity;
    count_ = 0;
    return;
  }
  if (SecureWipe) {
    // Under SecureWipe the old block is never resized in place: copy, wipe, free.
    block = static_cast<std::uint32_t*>(std::malloc(bytes));
    if (block == nullptr) throw std::bad_alloc();
    if (keep > 0) std::memcpy(block, words_, static_cast<std::size_t>(keep) * 4);
    Wipe(words_, capacity_);
    std::free(words_);
  } else {
    block = static_cast<std::uint32_t*>(std::realloc(words_, bytes));
    if (block == nullptr) throw std::bad_alloc();
  }
  std::memset(block + keep, 0, static_cast<std::size_t>(newCapacity - keep) * 4);
  words_ = block;
  capacity_ = newCapacity;
  count_ = keep;
}

void TGF2Poly::SetMem(std::int32_t n) {
  if (OutOfRange(n, MaxWords)) RaiseSizeError(ClassName() + ".SetMem (private)");
  const std::int32_t cap = RoundUp8(n);
  if (cap > MaxWords) RaiseSizeError(ClassName() + ".SetMem (private)");
  Reallocate(cap);
}

void TGF2Poly::SetSize(std::int32_t n, bool shrink) {
  if (n > capacity_) SetMem(n);
  if (n < count_) std::memset(words_ + n, 0, static_cast<std::size_t>(count_ - n) * 4);
  count_ = n;
  if (shrink && RoundUp8(n) < capacity_) Reallocate(RoundUp8(n));
}

void TGF2Poly::Normalize(bool shrink) {
  while (count_ > 0 && words_[count_ - 1] == 0) --count_;
  if (shrink && RoundUp8(count_) < capacity_) Reallocate(RoundUp8(count_));
}

void TGF2Poly::Assign(const TGF2Poly& b) {
  if (&b == this) return;
  if (capacity_ != b.capacity_) {
    // A fresh block: the old contents need not be carried over.
    count_ = 0;
    Reallocate(0);
    Reallocate(b.capacity_);
  }
  if (capacity_ > 0) std::memcpy(words_, b.words_, static_cast<std::size_t>(capacity_) * 4);
  count_ = b.count_;
}

std::unique_ptr<TGF2Poly> TGF2Poly::Clone() const { return std::make_unique<TGF2Poly>(*this); }

void GF2Swap(TGF2Poly& a, TGF2Poly& b) noexcept {
  std::swap(a.words_, b.words_);
  std::swap(a.capacity_, b.capacity_);
  std::swap(a.count_, b.count_);
}

// ---------------------------------------------------------------- queries

std::int32_t TGF2Poly::Degree() const noexcept {
  if (count_ == 0) return -1;
  return 32 * (count_ - 1) + static_cast<std::int32_t>(std::bit_width(words_[count_ - 1])) - 1;
}

std::int32_t TGF2Poly::LowDegree() const noexcept {
  for (std::int32_t i = 0; i < count_; ++i)
    if (words_[i] != 0) return 32 * i + std::countr_zero(words_[i]);
  return -1;
}

std::int32_t TGF2Poly::Weight() const noexcept {
  std::int32_t w = 0;
  for (std::int32_t i = 0; i < count_; ++i) w += std::popcount(words_[i]);
  return w;
}

std::int32_t TGF2Poly::ByteCount() const noexcept {
  if (count_ == 0) return 0;
  return 4 * (count_ - 1) + (static_cast<std::int32_t>(std::bit_width(words_[count_ - 1])) + 7) / 8;
}

bool TGF2Poly::Coef(std::int32_t i) const {
  if (OutOfRange(i, MaxDegree)) RaiseIndexError(ClassName() + ".Coef");
  const std::int32_t w = i >> 5;
  return w < count_ && ((words_[w] >> (i & 31)) & 1u) != 0;
}

void TGF2Poly::SetCoef(std::int32_t i, bool value) {
  if (OutOfRange(i, MaxDegree)) RaiseIndexError(ClassName() + ".Coef");
  const std::int32_t w = i >> 5;
  const std::uint32_t bit = 1u << (i & 31);
  if (value) {
    if (w >= count_) SetSize(w + 1, false);
    words_[w] |= bit;
  } else if (w < count_) {
    words_[w] &= ~bit;
    if (w == count_ - 1 && words_[w] == 0) Normalize(true);
  }
}

// ---------------------------------------------------------------- setters

void TGF2Poly::Clear() {
  count_ = 0;
  Reallocate(0);
}

void TGF2Poly::SetWord(std::uint32_t v) {
  if (v == 0) {
    Clear();
    return;
  }
  SetSize(1, true);
  words_[0] = v;
}

void TGF2Poly::SetOne() { SetWord(1); }

void TGF2Poly::SetX() { SetWord(2); }

void TGF2Poly::Fill(std::int32_t k) {
  if (OutOfRange(k, MaxDegree)) RaiseSizeError(ClassName() + ".Fill");
  if (k == 0) {
    Clear();
    return;
  }
  const std::int32_t n = (k + 31) / 32;
  SetSize(n, true);
  std::memset(words_, 0xFF, static_cast<std::size_t>(n) * 4);
  if ((k & 31) != 0) words_[n - 1] = (1u << (k & 31)) - 1;
}

void TGF2Poly::SetMonomial(std::int32_t k) {
  if (OutOfRange(k, MaxDegree)) RaiseIndexError(ClassName() + ".SetMonomial");
  const std::int32_t n = k / 32 + 1;
  SetSize(n, true);
  std::memset(words_, 0, static_cast<std::size_t>(n) * 4);
  words_[n - 1] = 1u << (k & 31);
}

// ---------------------------------------------------------------- pool

namespace gf2 {

TGF2Poly& UVGet() { return TGF2PolyPool::Get(); }

TGF2Poly& UVGetZero() {
  TGF2Poly& p = TGF2PolyPool::Get();
  if (p.Capacity() != 0) p.Clear();
  return p;
}

TGF2Poly& UVGetCopy(const TGF2Poly& x) {
  TGF2Poly& p = TGF2PolyPool::Get();
  p.Assign(x);
  return p;
}

TGF2Poly& UVGetWord(std::uint32_t v) {
  TGF2Poly& p = TGF2PolyPool::Get();
  p.SetWord(v);
  return p;
}

void UVBack(const TGF2Poly* x) {
  if (x == nullptr) return;
  // The pool's own messages speak of integers; check here with ours first.
  const auto& uv = TGF2PolyPool::ThreadVars();
  if (!uv.Registered) RaiseRuv("GF2.UVBack: UnitVars not registered");
  bool known = false;
  for (int i = 0; i < uv.Count && !known; ++i) known = uv.Items[i].get() == x;
  if (!known) RaiseRuv("GF2.UVBack: Unknown polynomial");
  TGF2PolyPool::Back(x);
}

}  // namespace gf2

}  // namespace rara
