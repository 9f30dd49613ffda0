// TGF2NPoly: polynomials in X whose coefficients are elements of a field
// GF(2^N) (TGF2N), with the operations the root finder needs: squaring,
// remainder and quotient by a monic polynomial, gcd and the trace polynomial
// Tr(c·X) mod M. The root finder itself is TGF2N::FindRoot.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/ruv_object.h"

namespace rara {

class TGF2NPoly : public TRuvObject {
 public:
  // The zero polynomial over Field (not owned; it must outlive the polynomial).
  explicit TGF2NPoly(const TGF2N& field) noexcept : field_(&field) {}
  ~TGF2NPoly() override;
  TGF2NPoly(const TGF2NPoly&) = delete;
  TGF2NPoly& operator=(const TGF2NPoly&) = delete;

  virtual std::string ClassName() const { return "TGF2NPoly"; }

  const TGF2N& Field() const noexcept { return *field_; }
  // Index of the highest slot (slots come in steps of 8), -1 without slots.
  std::int32_t Capacity() const noexcept { return capacity_; }
  // Index of the highest non-zero coefficient, -1 for zero.
  std::int32_t Degree() const noexcept { return degree_; }

  // Slot i (0..Capacity) as a field element in the field's current basis;
  // outside: ERuvIndexError "TGF2NPoly.Coef". After writing slots directly,
  // call Normalize; slots above the degree must be left zero.
  TGF2Poly& Coef(std::int32_t i);
  const TGF2Poly& Coef(std::int32_t i) const;

  // k < 0 frees every slot (the polynomial becomes zero); otherwise Capacity
  // becomes k with its three low bits set, new slots zero, higher ones freed.
  void SetLength(std::int32_t k);
  void Normalize();  // Degree := highest non-zero slot
  void SetOne();
  void Swap(TGF2NPoly& q) noexcept;  // slots, capacity and degree; not the field
  std::unique_ptr<TGF2NPoly> Clone() const;
  void Assign(const TGF2NPoly& q);  // takes Q's field too

  void Sqr();
  // Remainder and quotient by M, which should be monic (a leading coefficient
  // other than 1 is divided out). M zero: ERuvDivByZero "TGF2NPoly.Modulo" /
  // "TGF2NPoly.DivBy".
  void Modulo(const TGF2NPoly& m);
  void DivBy(const TGF2NPoly& m);
  // This := the monic gcd with Q (a zero side gives the other side as it is);
  // with poll, RuvBreak at every Euclid step.
  void GCD(const TGF2NPoly& q, bool poll);
  // This := Tr(c·X) mod M = c·X + (c·X)^2 + ... + (c·X)^(2^(N-1)) mod M, for
  // monic M of degree >= 1.
  void TraceMod(const TGF2Poly& c, const TGF2NPoly& m);
  // This := Tr(c·X) mod W for the W over GF(2) of the table (standard basis);
  // false, nothing done, when the table is not usable.
  bool TraceMod(const TGF2Poly& c, const class TGF2NBinaryTrace& w);

 private:
  TGF2Poly& Slot(std::int32_t i) noexcept { return *coefs_[static_cast<std::size_t>(i)]; }
  const TGF2Poly& Slot(std::int32_t i) const noexcept { return *coefs_[static_cast<std::size_t>(i)]; }
  void Grow(std::int32_t index);  // slots up to index exist
  void ClearCoefs() noexcept;     // zero, slots kept
  // Remainder of this (dividend) by M, the quotient's coefficients moved into
  // Q when given; M is not this. Leaves this unnormalised.
  void Divide(const TGF2NPoly& m, TGF2NPoly* quotient, const char* op);
  // The same on flat limb arrays (standard basis, reduced coefficients, N
  // within the flat kernels); false when they do not apply.
  bool DivideFlat(const TGF2NPoly& m, TGF2NPoly* quotient);
  bool GCDFlat(const TGF2NPoly& q, bool poll);
  // Coefficients 0..Degree to flat limbs, and back (this := E[0..deg]).
  void LoadFlat(const class TGF2NFlatField& ff, std::uint64_t* e) const;
  void StoreFlat(const class TGF2NFlatField& ff, const std::uint64_t* e, std::int32_t deg);
  // TraceMod on flat limb arrays (standard basis, monic M of degree >= 2,
  // N within the flat kernels); false when it does not apply.
  bool TraceModFlat(const TGF2Poly& c, const TGF2NPoly& m);

  const TGF2N* field_;
  std::vector<std::unique_ptr<TGF2Poly>> coefs_;
  std::int32_t capacity_ = -1;
  std::int32_t degree_ = -1;
};


// The powers X^(2^i) mod W, i < N, of a fixed W over GF(2) of degree >= 2,
// kept as a bit matrix, for a field in the standard basis. With it
// Tr(c·X) mod W = sum of c^(2^i)·(X^(2^i) mod W) costs N squarings and sums
// of field elements, for every c; and for every divisor M of W,
// gcd(Tr(c·X) mod W, M) = gcd(Tr(c·X), M), so the root finder splits all the
// factors of W with this one table. Not usable (Usable() false) for fields
// beyond the flat kernels.
class TGF2NBinaryTrace {
 public:
  TGF2NBinaryTrace(const TGF2N& field, const TGF2Poly& w);
  bool Usable() const noexcept { return rows_ > 0; }

 private:
  friend class TGF2NPoly;
  std::int32_t n_ = 0;         // the field degree: terms of the trace
  std::int32_t rows_ = 0;      // deg W: coefficients of the result
  std::size_t groups_ = 0;     // groups of eight terms
  std::size_t rowWords_ = 0;   // words of a row of the matrix
  std::vector<std::uint64_t> table_;  // row j: the i with bit j of X^(2^i) mod W
};

}  // namespace rara
