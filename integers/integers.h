// TInteger: signed multi-precision integer of 32-bit limbs, with the whole
// integer routine family (I-prefixed free routines that change their first
// argument in place), the per-thread scratch pool, and the stream forms.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "integers/ruv_object.h"
#include "integers/scratch_pool.h"

namespace rara {

class TStream;

class TInteger : public TRuvObject {
 public:
  static constexpr std::int32_t MaxBitSize = 0x60000000;   // largest bit index + 1, largest shift
  static constexpr std::int32_t MaxByteSize = 0xC000000;   // byte count limit
  static constexpr std::int32_t MaxLongSize = 0x3000000;   // largest Capacity in limbs
  static constexpr const char* FileHeader = "Ruv Integer ";

  TInteger() noexcept = default;            // zero without storage
  explicit TInteger(std::int64_t value);
  TInteger(const TInteger& other);          // copies capacity, limbs, size and sign
  TInteger& operator=(const TInteger&) = delete;  // use IAssign
  ~TInteger() override;                     // wipes first Size limbs under SecureWipe
  static std::unique_ptr<TInteger> Clone(const TInteger& a);

  // Representation. Invariants after every public operation: Size <= Capacity,
  // limb Size-1 non-zero, limbs Size..Capacity-1 zero, zero is Size 0 and not negative.
  std::uint32_t* Limbs() noexcept { return limbs_; }
  const std::uint32_t* Limbs() const noexcept { return limbs_; }
  std::int32_t Capacity() const noexcept { return capacity_; }
  std::int32_t Size() const noexcept { return size_; }
  bool Negative() const noexcept { return negative_; }

  // Storage primitives for the library's own routines and kernels.
  // SetMem: Capacity := n rounded up to 8 (Name "TInteger.SetMem (private)").
  void SetMem(std::int32_t n);
  // SetSize: grow through SetMem; dropping limbs zeroes them; shrink lowers Capacity.
  void SetSize(std::int32_t n, bool shrink);
  // Drops leading zero limbs, clears the sign of zero, lowers Capacity to Size rounded to 8.
  void Normalize();
  // Sets the sign flag directly (kernels only; the caller keeps the invariants).
  void SetNegativeRaw(bool negative) noexcept { negative_ = negative; }

  void Clear();                              // A := 0, storage released
  void SetInt64(std::int64_t value);
  void SetOne();
  void SetMinusOne();
  // A := the non-negative number whose bytes, least significant first, are the buffer.
  void SetDigits(const void* buffer, std::int64_t byteCount);

  // Properties (indexes unsigned; out of range raises ERuvIndexError).
  bool Bit(std::uint32_t i) const;                    // "TInteger.Bit"
  void SetBit(std::uint32_t i, bool value);
  std::uint8_t Byte(std::uint32_t i) const;           // "TInteger.Byte"
  std::uint32_t Long(std::uint32_t i) const;          // "TInteger.Long"
  void SetLong(std::uint32_t i, std::uint32_t value);

  std::int32_t BitSize() const noexcept;   // significant bits of |A|, 0 for zero
  std::int32_t ByteSize() const noexcept;  // significant bytes
  std::int32_t LowBit() const noexcept;    // lowest set bit, -1 for zero
  int Sign() const noexcept { return size_ == 0 ? 0 : (negative_ ? -1 : 1); }
  bool IsZero() const noexcept { return size_ == 0; }
  bool IsOne() const noexcept { return size_ == 1 && limbs_[0] == 1 && !negative_; }
  bool IsAbsOne() const noexcept { return size_ == 1 && limbs_[0] == 1; }
  bool IsMinusOne() const noexcept { return size_ == 1 && limbs_[0] == 1 && negative_; }
  bool IsOdd() const noexcept { return capacity_ > 0 && (limbs_[0] & 1u) != 0; }
  // Sets the sign to flag, for a non-zero value.
  void SetNegative(bool flag) noexcept { if (size_ != 0) negative_ = flag; }

  // Persistence: file form "Ruv Integer " + stream form (count, limbs, RuvCrc32).
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  friend void ISwap(TInteger& a, TInteger& b) noexcept;

 private:
  std::uint32_t* limbs_ = nullptr;
  std::int32_t capacity_ = 0;
  std::int32_t size_ = 0;
  bool negative_ = false;
};

// ---- Sign, comparison, assignment ----
void INeg(TInteger& a) noexcept;                        // flips the sign of a non-zero value
void IAbs(TInteger& a) noexcept;
int ICmpAbs(const TInteger& a, const TInteger& b) noexcept;   // -1, 0, 1 on magnitudes
int ICmp(const TInteger& a, const TInteger& b) noexcept;      // signed
int ICmp(const TInteger& a, std::int64_t n) noexcept;         // signed
bool IEqual(const TInteger& a, const TInteger& b) noexcept;
bool IEqual(const TInteger& a, std::int64_t n) noexcept;
void IAssign(TInteger& a, const TInteger& b);          // A := B
void ISwap(TInteger& a, TInteger& b) noexcept;         // exchanges all four fields

// ---- Addition and subtraction (B may be A) ----
void IAdd(TInteger& a, const TInteger& b);
void IAdd(TInteger& a, std::int64_t n);
void IAddWord(TInteger& a, std::uint32_t w);
void ISub(TInteger& a, const TInteger& b);
void ISub(TInteger& a, std::int64_t n);
void ISubWord(TInteger& a, std::uint32_t w);
void IInc(TInteger& a);
void IDec(TInteger& a);

// ---- Multiplication (schoolbook below the thresholds, Karatsuba above) ----
void IMul(TInteger& a, const TInteger& b);              // B = A squares
void IMul(TInteger& a, std::int64_t n);
void IMulWord(TInteger& a, std::uint32_t w);
void ISqr(TInteger& a);
void IPow(TInteger& a, std::uint32_t e);                // A := A^E, 0^0 = 1; "IPow" overflow

// ---- Shifts (checks raise ERuvInvalidArg) ----
void IShl(TInteger& a, std::int32_t shift);             // |A|·2^Shift, sign kept
void IShr(TInteger& a, std::int32_t shift);             // |A| div 2^Shift, sign kept
void ICut(TInteger& a, std::int32_t bitCount);          // |A| mod 2^BitCount, sign kept
void IShl1(TInteger& a);                                // one-bit shift left
bool IShr1(TInteger& a);                                // one-bit shift right, returns the bit out
std::int32_t IRemoveTwos(TInteger& a);                  // shift right by LowBit, returns it (-1 for 0)

// ---- Division, roots, gcd ----
bool IDiv(TInteger& a, const TInteger& b);              // A := trunc(A/B); true when exact
std::int64_t IDiv(TInteger& a, std::int64_t n);         // returns the remainder (sign of old A)
void IMod(TInteger& a, const TInteger& b);              // floor: zero or sign of B
std::int64_t IMod(const TInteger& a, std::int64_t n);   // A unchanged; floor remainder
void IRemDiv(TInteger& a, TInteger& b);                 // A := remainder, B := trunc quotient
void IModDiv(TInteger& a, TInteger& b);                 // A := floor remainder, B := floor quotient
std::uint32_t IDivWord(TInteger& a, std::uint32_t w);   // |A| := |A| div w, returns |A| mod w
std::uint32_t IModWord(const TInteger& a, std::uint32_t w);  // |A| mod w, A unchanged
void ISqrRoot(TInteger& a);                             // floor(sqrt(A)); "A < 0"
std::uint32_t IGcdWord(std::uint32_t a, std::uint32_t b);

// ---- Text ----
void IStr(const TInteger& a, int base, std::uint8_t groupSize, bool zeroPad, bool showSign,
          std::string& s);
void IStrBase(const TInteger& a, int base, std::uint8_t groupSize, std::string& s);

// ---- Per-thread scratch pool ----
struct TIntegersUnit {
  static constexpr const char* Name = "Integers";
};
using TIntegerPool = TScratchPool<TInteger, TIntegersUnit>;

TInteger& UVGet();                          // value as left by its last user
TInteger& UVGetCopy(const TInteger& x);
TInteger& UVGetZero();
void UVBack(const TInteger* x);             // null ignored

// A pool integer held for a scope and given back at its end.
class TUVInteger {
 public:
  TUVInteger() : item_(&UVGetZero()) {}
  explicit TUVInteger(const TInteger& copyOf) : item_(&UVGetCopy(copyOf)) {}
  ~TUVInteger() { UVBack(item_); }
  TUVInteger(const TUVInteger&) = delete;
  TUVInteger& operator=(const TUVInteger&) = delete;
  TInteger& operator*() const noexcept { return *item_; }
  TInteger* operator->() const noexcept { return item_; }
  TInteger& get() const noexcept { return *item_; }

 private:
  TInteger* item_;
};

}  // namespace rara
