// TInteger storage and properties, comparison, assignment, addition and
// subtraction, shifts, and the per-thread scratch pool of integers.
#include "integers/integers.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "integers/errors.h"
#include "integers/int_kernels.h"
#include "integers/secure_wipe.h"
#include "integers/settings.h"

namespace rara {

namespace {

constexpr const char* kSetMemName = "TInteger.SetMem (private)";

void Wipe(std::uint32_t* p, std::int64_t n) {
  if (n > 0) SecureZero(p, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
}

std::uint32_t* Allocate(std::int64_t n) {
  void* p = std::malloc(sizeof(std::uint32_t) * static_cast<std::size_t>(n));
  if (p == nullptr) throw std::bad_alloc();
  return static_cast<std::uint32_t*>(p);
}

std::int64_t RoundUp8(std::int64_t n) { return (n + 7) & ~static_cast<std::int64_t>(7); }

std::uint64_t Magnitude(std::int64_t n) {
  // Negation in unsigned arithmetic: -2^63 has magnitude 2^63.
  return n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
}

// A 64-bit magnitude as up to two limbs; returns the limb count.
std::int32_t SplitMagnitude(std::uint64_t m, std::uint32_t (&l)[2]) {
  l[0] = static_cast<std::uint32_t>(m);
  l[1] = static_cast<std::uint32_t>(m >> 32);
  return l[1] != 0 ? 2 : (l[0] != 0 ? 1 : 0);
}

// Compares |a| with the magnitude bl[0..bn) (bn normalized).
int CmpAbsRaw(const TInteger& a, const std::uint32_t* bl, std::int32_t bn) {
  if (a.Size() != bn) return a.Size() > bn ? 1 : -1;
  return limb::Cmp(a.Limbs(), bl, bn);
}

}  // namespace

// Magnitude helpers of the routines below; they keep the invariants on exit.
namespace {

// Appends a limb 1 after a carry out of the top limb.
void AppendCarry(TInteger& a) {
  std::int32_t n = a.Size();
  a.SetSize(n + 1, false);
  a.Limbs()[n] = 1;
}

// Size dropped by one limb (decrement, word subtraction): Capacity follows
// only at multiples of 8 so that a run of such steps does not reallocate.
void DropTopLimb(TInteger& a) {
  std::int32_t n = a.Size() - 1;
  if (n % 8 == 0 && n < a.Capacity()) {
    a.SetSize(n, false);
    a.SetMem(n);
  } else {
    a.SetSize(n, false);
  }
}

// |a| += bl[0..bn); bl is not a's storage.
void AddAbsRaw(TInteger& a, const std::uint32_t* bl, std::int32_t bn) {
  std::int32_t an = a.Size();
  std::uint32_t carry;
  if (an < bn) {
    a.SetSize(bn, false);
    std::uint32_t* al = a.Limbs();
    std::memcpy(al + an, bl + an, sizeof(std::uint32_t) * static_cast<std::size_t>(bn - an));
    carry = limb::Add(al, al, bl, an);
    carry = limb::AddWord(al + an, bn - an, carry);
  } else {
    std::uint32_t* al = a.Limbs();
    carry = limb::Add(al, al, bl, bn);
    carry = limb::AddWord(al + bn, an - bn, carry);
  }
  if (carry != 0) AppendCarry(a);
}

// |a| -= bl[0..bn), used only when |a| > |b|.
void SubAbsRaw(TInteger& a, const std::uint32_t* bl, std::int32_t bn) {
  std::uint32_t* al = a.Limbs();
  std::uint32_t borrow = limb::Sub(al, al, bl, bn);
  limb::SubWord(al + bn, a.Size() - bn, borrow);
  a.Normalize();
}

// |a| := |b| - |a|, used only when |b| > |a|.
void SubAbsReversed(TInteger& a, const std::uint32_t* bl, std::int32_t bn) {
  std::int32_t an = a.Size();
  a.SetSize(bn, false);
  std::uint32_t* al = a.Limbs();
  std::uint32_t borrow = limb::Sub(al, bl, al, an);
  std::memcpy(al + an, bl + an, sizeof(std::uint32_t) * static_cast<std::size_t>(bn - an));
  limb::SubWord(al + an, bn - an, borrow);
  a.Normalize();
}

// a := a + (-1)^bneg·|b|, b given as normalized limbs that are not a's.
void AddSignedRaw(TInteger& a, const std::uint32_t* bl, std::int32_t bn, bool bneg) {
  if (bn == 0) return;
  if (a.Negative() == bneg || a.Size() == 0) {
    bool sign = a.Size() == 0 ? bneg : a.Negative();
    AddAbsRaw(a, bl, bn);
    a.SetNegativeRaw(sign);
    return;
  }
  int c = CmpAbsRaw(a, bl, bn);
  if (c > 0) {
    SubAbsRaw(a, bl, bn);
  } else if (c < 0) {
    SubAbsReversed(a, bl, bn);
    a.SetNegativeRaw(bneg);
  } else {
    a.Clear();
  }
}

}  // namespace

// ---- Construction and storage ----

TInteger::TInteger(std::int64_t value) { SetInt64(value); }

TInteger::TInteger(const TInteger& other)
    : capacity_(other.capacity_), size_(other.size_), negative_(other.negative_) {
  if (capacity_ > 0) {
    limbs_ = Allocate(capacity_);
    std::memcpy(limbs_, other.limbs_, sizeof(std::uint32_t) * static_cast<std::size_t>(capacity_));
  }
}

TInteger::~TInteger() {
  if (limbs_ != nullptr) {
    if (SecureWipe) Wipe(limbs_, size_);
    std::free(limbs_);
  }
}

std::unique_ptr<TInteger> TInteger::Clone(const TInteger& a) { return std::make_unique<TInteger>(a); }

void TInteger::SetMem(std::int32_t n) {
  std::int64_t cap = n <= 0 ? 0 : RoundUp8(n);
  if (cap == capacity_) return;
  if (cap > capacity_ && cap > MaxLongSize) RaiseSizeError(kSetMemName);
  if (cap == 0) {
    Clear();
    return;
  }
  if (size_ > cap) size_ = static_cast<std::int32_t>(cap);  // misuse guard: keep within the block
  if (SecureWipe && limbs_ != nullptr) {
    // A fresh block, so the old one can be zeroed before it is released.
    std::uint32_t* p = Allocate(cap);
    std::memcpy(p, limbs_, sizeof(std::uint32_t) * static_cast<std::size_t>(size_));
    std::memset(p + size_, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(cap - size_));
    Wipe(limbs_, capacity_);
    std::free(limbs_);
    limbs_ = p;
  } else {
    void* p = std::realloc(limbs_, sizeof(std::uint32_t) * static_cast<std::size_t>(cap));
    if (p == nullptr) throw std::bad_alloc();
    limbs_ = static_cast<std::uint32_t*>(p);
    if (cap > capacity_)
      std::memset(limbs_ + capacity_, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(cap - capacity_));
  }
  capacity_ = static_cast<std::int32_t>(cap);
}

void TInteger::SetSize(std::int32_t n, bool shrink) {
  if (n < 0) RaiseSizeError(kSetMemName);
  if (n > capacity_) {
    SetMem(n);
  } else if (n < size_) {
    std::memset(limbs_ + n, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(size_ - n));
    if (n == 0) negative_ = false;
    if (shrink && RoundUp8(n) < capacity_) {
      size_ = n;
      SetMem(n);
    }
  }
  size_ = n;
}

void TInteger::Normalize() {
  while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
  if (size_ == 0) negative_ = false;
  if (RoundUp8(size_) < capacity_) SetMem(size_);
}

void TInteger::Clear() {
  if (limbs_ != nullptr) {
    if (SecureWipe) Wipe(limbs_, size_);
    std::free(limbs_);
    limbs_ = nullptr;
  }
  capacity_ = 0;
  size_ = 0;
  negative_ = false;
}

void TInteger::SetInt64(std::int64_t value) {
  if (value == 0) {
    Clear();
    return;
  }
  std::uint32_t l[2];
  std::int32_t n = SplitMagnitude(Magnitude(value), l);
  SetSize(n, false);
  limbs_[0] = l[0];
  if (n == 2) limbs_[1] = l[1];
  negative_ = value < 0;
}

void TInteger::SetOne() { SetInt64(1); }
void TInteger::SetMinusOne() { SetInt64(-1); }

void TInteger::SetDigits(const void* buffer, std::int64_t byteCount) {
  // Checked before the buffer is touched.
  if (byteCount < 0 || byteCount > MaxByteSize) RaiseSizeError("TInteger.SetDigits");
  std::int32_t n = static_cast<std::int32_t>((byteCount + 3) / 4);
  if (n == 0) {
    Clear();
    return;
  }
  SetSize(n, false);
  limbs_[n - 1] = 0;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(limbs_, bytes, static_cast<std::size_t>(byteCount));
  } else {
    for (std::int64_t i = 0; i < n; ++i) limbs_[i] = 0;
    for (std::int64_t i = 0; i < byteCount; ++i)
      limbs_[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
  }
  negative_ = false;
  Normalize();
}

// ---- Properties ----

bool TInteger::Bit(std::uint32_t i) const {
  if (i >= static_cast<std::uint32_t>(MaxBitSize)) RaiseIndexError("TInteger.Bit");
  std::uint32_t k = i / 32;
  return k < static_cast<std::uint32_t>(size_) && ((limbs_[k] >> (i % 32)) & 1u) != 0;
}

void TInteger::SetBit(std::uint32_t i, bool value) {
  if (i > static_cast<std::uint32_t>(MaxBitSize) - 1) RaiseIndexError("TInteger.Bit");
  std::int32_t k = static_cast<std::int32_t>(i / 32);
  std::uint32_t mask = 1u << (i % 32);
  if (value) {
    if (k >= size_) SetSize(k + 1, false);
    limbs_[k] |= mask;
  } else if (k < size_) {
    limbs_[k] &= ~mask;
    if (k == size_ - 1 && limbs_[k] == 0) Normalize();
  }
}

std::uint8_t TInteger::Byte(std::uint32_t i) const {
  if (i >= static_cast<std::uint32_t>(MaxByteSize)) RaiseIndexError("TInteger.Byte");
  std::uint32_t k = i / 4;
  if (k >= static_cast<std::uint32_t>(size_)) return 0;
  return static_cast<std::uint8_t>(limbs_[k] >> (8 * (i % 4)));
}

std::uint32_t TInteger::Long(std::uint32_t i) const {
  if (i >= static_cast<std::uint32_t>(MaxLongSize)) RaiseIndexError("TInteger.Long");
  return i < static_cast<std::uint32_t>(size_) ? limbs_[i] : 0;
}

void TInteger::SetLong(std::uint32_t i, std::uint32_t value) {
  if (i > static_cast<std::uint32_t>(MaxLongSize) - 1) RaiseIndexError("TInteger.Long");
  std::int32_t k = static_cast<std::int32_t>(i);
  if (value != 0) {
    if (k >= size_) SetSize(k + 1, false);
    limbs_[k] = value;
  } else if (k < size_) {
    limbs_[k] = 0;
    if (k == size_ - 1) Normalize();
  }
}

std::int32_t TInteger::BitSize() const noexcept {
  if (size_ == 0) return 0;
  return (size_ - 1) * 32 + static_cast<std::int32_t>(std::bit_width(limbs_[size_ - 1]));
}

std::int32_t TInteger::ByteSize() const noexcept { return (BitSize() + 7) / 8; }

std::int32_t TInteger::LowBit() const noexcept {
  for (std::int32_t i = 0; i < size_; ++i)
    if (limbs_[i] != 0) return i * 32 + std::countr_zero(limbs_[i]);
  return -1;
}

// ---- Sign, comparison, assignment ----

void INeg(TInteger& a) noexcept { a.SetNegative(!a.Negative()); }
void IAbs(TInteger& a) noexcept { a.SetNegativeRaw(false); }

int ICmpAbs(const TInteger& a, const TInteger& b) noexcept {
  return CmpAbsRaw(a, b.Limbs(), b.Size());
}

int ICmp(const TInteger& a, const TInteger& b) noexcept {
  int sa = a.Sign(), sb = b.Sign();
  if (sa != sb) return sa > sb ? 1 : -1;
  int c = ICmpAbs(a, b);
  return sa < 0 ? -c : c;
}

int ICmp(const TInteger& a, std::int64_t n) noexcept {
  int sa = a.Sign(), sn = n > 0 ? 1 : (n < 0 ? -1 : 0);
  if (sa != sn) return sa > sn ? 1 : -1;
  std::uint32_t l[2];
  std::int32_t bn = SplitMagnitude(Magnitude(n), l);
  int c = CmpAbsRaw(a, l, bn);
  return sa < 0 ? -c : c;
}

bool IEqual(const TInteger& a, const TInteger& b) noexcept {
  return a.Negative() == b.Negative() && a.Size() == b.Size() &&
         limb::Cmp(a.Limbs(), b.Limbs(), a.Size()) == 0;
}

bool IEqual(const TInteger& a, std::int64_t n) noexcept { return ICmp(a, n) == 0; }

void IAssign(TInteger& a, const TInteger& b) {
  if (&a == &b) return;
  if (a.Capacity() != b.Capacity()) {
    // Resize to exactly b's capacity. SetMem keeps the low limbs and wipes a
    // block it abandons; clearing the size first means nothing is copied.
    a.SetSize(0, false);
    if (b.Capacity() == 0) {
      a.Clear();
      return;
    }
    a.SetMem(b.Capacity());
  }
  if (b.Capacity() > 0)
    std::memcpy(a.Limbs(), b.Limbs(), sizeof(std::uint32_t) * static_cast<std::size_t>(b.Capacity()));
  a.SetSize(b.Size(), false);
  a.SetNegativeRaw(b.Negative());
}

void ISwap(TInteger& a, TInteger& b) noexcept {
  std::swap(a.limbs_, b.limbs_);
  std::swap(a.capacity_, b.capacity_);
  std::swap(a.size_, b.size_);
  std::swap(a.negative_, b.negative_);
}

// ---- Addition and subtraction ----

void IAdd(TInteger& a, const TInteger& b) {
  if (&a == &b) {
    IShl1(a);
    return;
  }
  AddSignedRaw(a, b.Limbs(), b.Size(), b.Negative());
}

void IAdd(TInteger& a, std::int64_t n) {
  std::uint32_t l[2];
  std::int32_t bn = SplitMagnitude(Magnitude(n), l);
  AddSignedRaw(a, l, bn, n < 0);
}

void ISub(TInteger& a, const TInteger& b) {
  if (&a == &b) {
    a.Clear();
    return;
  }
  AddSignedRaw(a, b.Limbs(), b.Size(), !b.Negative());
}

void ISub(TInteger& a, std::int64_t n) {
  std::uint32_t l[2];
  std::int32_t bn = SplitMagnitude(Magnitude(n), l);
  AddSignedRaw(a, l, bn, n >= 0);
}

namespace {

// |a| += w.
void AddAbsWord(TInteger& a, std::uint32_t w) {
  if (limb::AddWord(a.Limbs(), a.Size(), w) != 0) AppendCarry(a);
}

// |a| -= w, the sign flipping when w > |a|.
void SubAbsWord(TInteger& a, std::uint32_t w) {
  std::uint32_t* al = a.Limbs();
  if (a.Size() == 1 && al[0] <= w) {
    if (al[0] == w) {
      DropTopLimb(a);
    } else {
      al[0] = w - al[0];
      a.SetNegativeRaw(!a.Negative());
    }
    return;
  }
  limb::SubWord(al, a.Size(), w);
  if (al[a.Size() - 1] == 0) DropTopLimb(a);
}

void SetWord(TInteger& a, std::uint32_t w, bool negative) {
  a.SetSize(1, false);
  a.Limbs()[0] = w;
  a.SetNegativeRaw(negative);
}

}  // namespace

void IAddWord(TInteger& a, std::uint32_t w) {
  if (w == 0) return;
  if (a.Size() == 0)
    SetWord(a, w, false);
  else if (a.Negative())
    SubAbsWord(a, w);
  else
    AddAbsWord(a, w);
}

void ISubWord(TInteger& a, std::uint32_t w) {
  if (w == 0) return;
  if (a.Size() == 0)
    SetWord(a, w, true);
  else if (a.Negative())
    AddAbsWord(a, w);
  else
    SubAbsWord(a, w);
}

void IInc(TInteger& a) { IAddWord(a, 1); }
void IDec(TInteger& a) { ISubWord(a, 1); }

// ---- Shifts ----

namespace {
constexpr const char* kShiftWhy = "(Shift < 0) or (Shift > TInteger.MaxBitSize)";
}

void IShl1(TInteger& a) {
  if (a.Size() == 0) return;
  if (limb::Shl(a.Limbs(), a.Limbs(), a.Size(), 1) != 0) AppendCarry(a);
}

bool IShr1(TInteger& a) {
  if (a.Size() == 0) return false;
  std::uint32_t* al = a.Limbs();
  bool out = (al[0] & 1u) != 0;
  limb::Shr(al, al, a.Size(), 1);
  if (al[a.Size() - 1] == 0) DropTopLimb(a);
  return out;
}

void IShl(TInteger& a, std::int32_t shift) {
  if (static_cast<std::uint32_t>(shift) > static_cast<std::uint32_t>(TInteger::MaxBitSize))
    RaiseInvalidArg("IShl", kShiftWhy);
  if (a.Size() == 0 || shift == 0) return;
  if (shift == 1) {
    IShl1(a);
    return;
  }
  std::int32_t n = a.Size();
  std::int64_t newSize = (static_cast<std::int64_t>(shift) + a.BitSize() + 31) / 32;
  if (newSize > TInteger::MaxLongSize) RaiseSizeError(kSetMemName);
  a.SetSize(static_cast<std::int32_t>(newSize), false);
  std::uint32_t* al = a.Limbs();
  std::int32_t words = shift / 32;
  unsigned bits = static_cast<unsigned>(shift % 32);
  if (bits != 0) {
    std::uint32_t out = limb::Shl(al + words, al, n, bits);
    if (words + n < newSize) al[words + n] = out;
  } else {
    std::memmove(al + words, al, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
  }
  std::memset(al, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(words));
}

void IShr(TInteger& a, std::int32_t shift) {
  if (static_cast<std::uint32_t>(shift) > static_cast<std::uint32_t>(TInteger::MaxBitSize))
    RaiseInvalidArg("IShr", kShiftWhy);
  if (a.Size() == 0 || shift == 0) return;
  if (shift == 1) {
    IShr1(a);
    return;
  }
  std::int32_t words = shift / 32;
  if (words >= a.Size()) {
    a.Clear();
    return;
  }
  std::int32_t n = a.Size() - words;
  std::uint32_t* al = a.Limbs();
  unsigned bits = static_cast<unsigned>(shift % 32);
  if (bits != 0)
    limb::Shr(al, al + words, n, bits);
  else
    std::memmove(al, al + words, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
  a.SetSize(n, false);
  a.Normalize();
}

void ICut(TInteger& a, std::int32_t bitCount) {
  if (static_cast<std::uint32_t>(bitCount) > static_cast<std::uint32_t>(TInteger::MaxBitSize))
    RaiseInvalidArg("ICut", "(BitCount < 0) or (BitCount > TInteger.MaxBitSize)");
  if (bitCount == 0) {
    a.Clear();
    return;
  }
  std::int32_t keep = static_cast<std::int32_t>((static_cast<std::int64_t>(bitCount) + 31) / 32);
  if (a.Size() < keep) return;
  a.SetSize(keep, false);
  unsigned topBits = static_cast<unsigned>((bitCount - 1) % 32) + 1;
  a.Limbs()[keep - 1] &= static_cast<std::uint32_t>((std::uint64_t{1} << topBits) - 1);
  a.Normalize();
}

std::int32_t IRemoveTwos(TInteger& a) {
  std::int32_t t = a.LowBit();
  if (t > 0) IShr(a, t);
  return t;
}

// ---- Scratch pool ----

TInteger& UVGet() { return TIntegerPool::Get(); }

TInteger& UVGetCopy(const TInteger& x) {
  TInteger& t = TIntegerPool::Get();
  try {
    IAssign(t, x);
  } catch (...) {
    TIntegerPool::Back(&t);
    throw;
  }
  return t;
}

TInteger& UVGetZero() {
  TInteger& t = TIntegerPool::Get();
  if (t.Capacity() > 0) t.Clear();
  return t;
}

void UVBack(const TInteger* x) { TIntegerPool::Back(x); }

}  // namespace rara
