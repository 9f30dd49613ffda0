// TGF2Poly: polynomial over GF(2) stored as a packed bit vector of 32-bit
// words, its per-thread scratch pool, and the GF2-prefixed routine family
// (first argument is input and result): linear-time operations, and the
// products, long division and gcd built on the kernels of gf2_kernels.h.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "integers/ruv_object.h"
#include "integers/scratch_pool.h"

namespace rara {

class TStream;

using TDynLongintArray = std::vector<std::int32_t>;

class TGF2Poly : public TRuvObject {
 public:
  static constexpr std::int32_t MaxDegree = 0x5FFFFFFF;
  static constexpr std::int32_t MaxWords = 0x3000000;  // largest Capacity, (MaxDegree + 1) / 32

  TGF2Poly() noexcept = default;  // zero without storage
  TGF2Poly(const TGF2Poly& other);  // Assign
  TGF2Poly& operator=(const TGF2Poly&) = delete;  // use Assign
  ~TGF2Poly() override;  // wipes the words first under SecureWipe

  // Messages name methods as ClassName() + "." + operation, so a derived
  // class reports under its own name.
  virtual std::string ClassName() const { return "TGF2Poly"; }

  // Persistence: file form "Ruv Polynomial over GF2 " + stream form (word
  // count, the words from x^0 up, RuvCrc32 of the word bytes).
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  // Representation. After every public operation: word Count-1 is non-zero
  // (zero has Count 0), words Count..Capacity-1 are zero, Capacity is a
  // multiple of 8.
  std::uint32_t* Words() noexcept { return words_; }
  const std::uint32_t* Words() const noexcept { return words_; }
  std::int32_t Capacity() const noexcept { return capacity_; }
  std::int32_t Count() const noexcept { return count_; }

  // Storage primitives for the library's own routines and kernels.
  // SetMem: Capacity := n rounded up to 8; new words zero. Beyond MaxWords:
  // ERuvSizeError "<class>.SetMem (private)".
  void SetMem(std::int32_t n);
  // SetSize: Count := n, growing through SetMem; dropped words are zeroed;
  // with shrink the capacity comes down to n rounded up to 8.
  void SetSize(std::int32_t n, bool shrink);
  // Drops zero top words; with shrink lowers the capacity to match.
  void Normalize(bool shrink);

  // Queries.
  std::int32_t Degree() const noexcept;     // -1 for zero
  std::int32_t LowDegree() const noexcept;  // lowest non-zero coefficient, -1 for zero
  std::int32_t Weight() const noexcept;     // number of non-zero coefficients
  std::int32_t ByteCount() const noexcept;  // significant bytes
  bool IsZero() const noexcept { return count_ == 0; }
  bool IsOne() const noexcept { return count_ == 1 && words_[0] == 1; }
  // Coefficient of x^i; i outside 0..MaxDegree: ERuvIndexError "<class>.Coef".
  bool Coef(std::int32_t i) const;
  void SetCoef(std::int32_t i, bool value);

  // Setters.
  void Clear();  // A := 0, storage released
  void SetOne();
  void SetX();
  void SetWord(std::uint32_t v);
  void Fill(std::int32_t k);         // k ones: x^(k-1) + ... + 1; "<class>.Fill" size error
  void SetMonomial(std::int32_t k);  // x^k; "<class>.SetMonomial" index error
  void Assign(const TGF2Poly& b);    // same Capacity, Count and words
  std::unique_ptr<TGF2Poly> Clone() const;

  friend void GF2Swap(TGF2Poly& a, TGF2Poly& b) noexcept;

 private:
  // Moves the words to a block of newCapacity words (0 releases); words up to
  // min(Count, newCapacity) are kept, the rest of the block is zero.
  void Reallocate(std::int32_t newCapacity);

  std::uint32_t* words_ = nullptr;
  std::int32_t capacity_ = 0;
  std::int32_t count_ = 0;
};

// ---- Queries ----
bool GF2Parity(const TGF2Poly& a) noexcept;                      // A(1) = 1
int GF2Compare(const TGF2Poly& a, const TGF2Poly& b) noexcept;   // by degree only
bool GF2Equal(const TGF2Poly& a, const TGF2Poly& b) noexcept;
bool GF2Dot(const TGF2Poly& a, const TGF2Poly& b) noexcept;      // inner product over GF(2)
bool GF2IsSquare(const TGF2Poly& a) noexcept;                    // derivative is zero
void GF2Swap(TGF2Poly& a, TGF2Poly& b) noexcept;

// ---- Construction ----
// A := sum of x^D[i]; D strictly decreasing, D[0] <= MaxDegree, last >= 0.
void GF2SetDegs(TGF2Poly& a, std::span<const std::int32_t> d);
void GF2SetDegs(TGF2Poly& a, std::initializer_list<std::int32_t> d);
// D := degrees of the non-zero coefficients, highest first.
void GF2GetDegs(const TGF2Poly& a, TDynLongintArray& d);
// Random polynomial of degree at most Deg (exactly Deg when exact), from RuvRandom.
void GF2Rnd(TGF2Poly& a, std::int32_t deg, bool exact);

// ---- Linear operations (B may be A) ----
void GF2Add(TGF2Poly& a, const TGF2Poly& b);
void GF2AddX(TGF2Poly& a);
void GF2Or(TGF2Poly& a, const TGF2Poly& b);
void GF2Sqr(TGF2Poly& a);
void GF2MulX(TGF2Poly& a);
void GF2MulXk(TGF2Poly& a, std::int32_t k);
void GF2DivXk(TGF2Poly& a, std::int32_t k);
void GF2ModXk(TGF2Poly& a, std::int32_t k);
void GF2Derivative(TGF2Poly& a);
void GF2SqrRoot(TGF2Poly& a, bool check);
// Rotates the count lowest coefficients by shift places towards higher degrees.
void GF2Rol(TGF2Poly& a, std::int32_t count, std::int32_t shift);
// Coefficient i moves to count-1-i; count 0 means deg A + 1.
void GF2Reverse(TGF2Poly& a, std::int32_t count);

// ---- Products, division, gcd ----
void GF2Mul(TGF2Poly& a, const TGF2Poly& b);   // B = A squares
void GF2Div(TGF2Poly& a, const TGF2Poly& b);   // quotient; "GF2Div" division by 0
void GF2Mod(TGF2Poly& a, const TGF2Poly& b);   // remainder; "GF2Mod" division by 0
bool GF2Gcd(TGF2Poly& a, const TGF2Poly& b);   // A := gcd; true when it is 1
bool GF2IsCoprime(const TGF2Poly& a, const TGF2Poly& b);

// Long division with a chosen method, for tests and benchmarks of the two
// methods on the same operands. Auto is what GF2Div and GF2Mod use.
enum class TGF2DivMethod { Auto, Bitwise, Table };
void GF2DivWith(TGF2Poly& a, const TGF2Poly& b, TGF2DivMethod method);
void GF2ModWith(TGF2Poly& a, const TGF2Poly& b, TGF2DivMethod method);

// Shifted copies of a divisor B of degree d >= 1: entry i is B·x^((i-d) mod 32),
// whose degree is congruent to i mod 32, so that one word-aligned exclusive-or
// cancels the leading term of a remainder of any degree >= d.
class TGF2ShiftTable {
 public:
  void Build(const TGF2Poly& b);
  std::int32_t DivisorDegree() const noexcept { return degree_; }
  const std::uint32_t* Entry(int i) const noexcept { return words_.data() + i * stride_; }
  std::int32_t EntryCount(int i) const noexcept { return counts_[i]; }
  // Words stored per entry (divisor words + 1); beyond EntryCount they are zero.
  std::int32_t EntryStride() const noexcept { return stride_; }

 private:
  std::vector<std::uint32_t> words_;
  std::int32_t stride_ = 0;
  std::int32_t degree_ = -1;
  std::int32_t counts_[32] = {};
};

// R := R mod B through B's table (deg R >= 0); with quotient, also
// Q := R div B (Q is overwritten). Q must not be R.
void GF2ReduceByTable(TGF2Poly& r, const TGF2ShiftTable& table, TGF2Poly* quotient);

// ---- Per-thread scratch pool ----
struct TGF2Unit {
  static constexpr const char* Name = "GF2";
};
using TGF2PolyPool = TScratchPool<TGF2Poly, TGF2Unit>;

namespace gf2 {
TGF2Poly& UVGet();  // value as left by its last user
TGF2Poly& UVGetZero();
TGF2Poly& UVGetCopy(const TGF2Poly& x);
TGF2Poly& UVGetWord(std::uint32_t v);
// Null ignored. ERuv "GF2.UVBack: UnitVars not registered" / "GF2.UVBack: Unknown polynomial".
void UVBack(const TGF2Poly* x);
}  // namespace gf2

// A pool polynomial held for a scope and given back at its end.
class TUVPoly {
 public:
  enum TAsLeft { AsLeft };
  TUVPoly() : item_(&gf2::UVGetZero()) {}
  explicit TUVPoly(TAsLeft) : item_(&gf2::UVGet()) {}
  explicit TUVPoly(const TGF2Poly& copyOf) : item_(&gf2::UVGetCopy(copyOf)) {}
  ~TUVPoly() { gf2::UVBack(item_); }
  TUVPoly(const TUVPoly&) = delete;
  TUVPoly& operator=(const TUVPoly&) = delete;
  TGF2Poly& operator*() const noexcept { return *item_; }
  TGF2Poly* operator->() const noexcept { return item_; }
  TGF2Poly& get() const noexcept { return *item_; }

 private:
  TGF2Poly* item_;
};

}  // namespace rara
