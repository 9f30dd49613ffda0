// Flat kernels for elements of GF(2^N) in the standard basis, used by the
// polynomial routines over GF(2^N) on their hot paths: an element is L =
// ceil(N/64) 64-bit limbs (bit j of limb i is the coefficient of x^(64i+j)),
// products are accumulated unreduced and reduced once by the Barrett method.
// No allocation, no aliasing checks: sizes and layout are the caller's.
#pragma once

#include <cstdint>
#include <vector>

#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"

namespace rara {

// With the hardware kernels selected, point sums use the 256-bit carry-less
// multiply when the processor has it. Use(false) keeps them on the 128-bit
// one (tests and benchmarks); returns whether the wide kernels are active.
bool GF2NWideKernelsActive() noexcept;
bool GF2NUseWideKernels(bool use) noexcept;

class TGF2NFlatField {
 public:
  static constexpr int MaxLimbs = 9;  // N up to 576

  // Prepares the kernels for the field polynomial P (degree N >= 1). Usable()
  // is false when N is beyond MaxLimbs limbs; nothing else may then be called.
  explicit TGF2NFlatField(const TGF2Poly& p);

  bool Usable() const noexcept { return limbs_ > 0; }
  int Limbs() const noexcept { return limbs_; }
  std::int32_t N() const noexcept { return n_; }

  // E[0..L) := A; A must have degree below N.
  void Load(std::uint64_t* e, const TGF2Poly& a) const noexcept;
  // A := E (normalised; storage kept when large enough).
  void Store(TGF2Poly& a, const std::uint64_t* e) const;

  // R := sum of X[k]·Y[k] for k < count (elements laid out one after the
  // other), reduced. R must not overlap X or Y.
  void Dot(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y, std::int32_t count) const noexcept;
  // R := X·Y; R may be X or Y.
  void Mul(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y) const noexcept;
  // R := X^2; R may be X.
  void Sqr(std::uint64_t* r, const std::uint64_t* x) const noexcept;
  // Sums of many products with one operand reused: each operand is expanded
  // once into Points() Karatsuba points (sums of limb subsets), after which
  // a product costs Points() word products instead of L^2 and the partial
  // results are recombined once per sum.
  static constexpr int MaxPoints = 36;
  int Points() const noexcept { return points_; }
  void Expand(std::uint64_t* xh, const std::uint64_t* x) const noexcept;
  // R := sum of X[k]·Y[k] for k < count, X and Y expanded (Points() limbs
  // per element), reduced; the Wide form leaves the sum unreduced in
  // Acc[0..2L).
  void DotExpanded(std::uint64_t* r, const std::uint64_t* xh, const std::uint64_t* yh,
                   std::int32_t count) const noexcept;
  void DotExpandedWide(std::uint64_t* acc, const std::uint64_t* xh, const std::uint64_t* yh,
                       std::int32_t count) const noexcept;
  // Acc[0..2L) ^= X^2 unreduced.
  void AddSquareWide(std::uint64_t* acc, const std::uint64_t* x) const noexcept;
  // Unreduced sums: Acc[0..2L) ^= X·Y, and R := Acc mod P (R[0..L); Acc of
  // degree below 2N is not changed; R may be Acc).
  void MulAcc(std::uint64_t* acc, const std::uint64_t* x, const std::uint64_t* y) const noexcept;
  void ReduceWide(std::uint64_t* r, const std::uint64_t* acc) const noexcept;

 private:
  using TDot = void (*)(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y, std::int32_t count);
  using TLimbMap = void (*)(std::uint64_t* r, const std::uint64_t* x);
  using TReduce = void (*)(std::uint64_t* a, const std::uint64_t* muLow, const std::uint64_t* pLow, std::int32_t n);
  // A[0..2L) (degree at most 2N-2) := A mod P in its low L limbs.
  void Reduce(std::uint64_t* a) const noexcept;

  std::int32_t n_ = 0;
  int limbs_ = 0;
  TDot dot_ = nullptr;
  TGF2Spread64 spread_ = nullptr;
  TReduce reduce_ = nullptr;
  TDot pointwise_ = nullptr;  // the E 128-bit sums of point products
  TLimbMap expand_ = nullptr;
  TLimbMap recombine_ = nullptr;  // point products to the limbs of the sum
  int points_ = 0;
  std::uint64_t pLow_[MaxLimbs] = {};   // P - x^N
  std::uint64_t muLow_[MaxLimbs] = {};  // floor(x^(2N) / P) - x^N
};

}  // namespace rara
