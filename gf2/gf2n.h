// TGF2N: the finite field GF(2^N) defined by an irreducible polynomial P, with
// elements held as TGF2Poly values of degree below N in the standard basis
// (1, t, ..., t^(N-1)) or, for normal polynomials, the normal basis
// (t, t^2, t^4, ..., t^(2^(N-1))). The field does not own its elements: every
// operation updates the element objects it is given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/ruv_object.h"

namespace rara {

class TStream;

inline constexpr std::uint8_t btStandard = 0;
inline constexpr std::uint8_t btNormal = 1;

class TGF2N : public TRuvObject {
 public:
  // Reduction kinds.
  static constexpr std::uint8_t RedTrinomial = 0;
  static constexpr std::uint8_t RedPentanomial = 1;
  static constexpr std::uint8_t RedGeneral = 2;

  TGF2N();  // default field: N = 2, P = x^2 + x + 1, standard basis
  ~TGF2N() override;
  TGF2N(const TGF2N&) = delete;
  TGF2N& operator=(const TGF2N&) = delete;

  virtual std::string ClassName() const { return "TGF2N"; }

  // Persistence: file form "Ruv Galois Field GF2N " + stream form. A failed
  // load leaves the field unchanged and the stream where it was.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

  // ---- Set-up ----
  // Built-in polynomial of degree N (2..255) for the basis. N < 2 or basis > 1:
  // ERuvInvalidArg "<class>.SetField", field unchanged.
  void SetField(std::uint8_t n, std::uint8_t basis);
  // Field of P. With check, P must be irreducible (standard) or normal
  // (normal). Any failure restores the default field and passes the error on
  // (a basis > 1 leaves the field unchanged).
  void SetField(const TGF2Poly& p, std::uint8_t basis, bool check);
  void Assign(const TGF2N& f);
  // Toggles the basis of a field set up with a normal polynomial; elements
  // are not converted. Otherwise ERuvInvalidCall "<class>.BasisType".
  void SwitchBasis();
  std::string BasisTypeName() const { return BasisTypeName(basisType_); }
  static std::string BasisTypeName(std::uint8_t basisType);

  // ---- State ----
  const TGF2Poly& FieldPoly() const noexcept { return fieldPoly_; }
  const TGF2Poly& BasisConst() const noexcept { return basisConst_; }
  const TGF2SqrMatrix* N2S() const noexcept { return n2s_.get(); }
  const TGF2SqrMatrix* S2N() const noexcept { return s2n_.get(); }
  bool HasShiftTable() const noexcept { return shiftTable_ != nullptr; }
  std::int32_t N() const noexcept { return n_; }
  std::int32_t Red1() const noexcept { return red_[0]; }
  std::int32_t Red2() const noexcept { return red_[1]; }
  std::int32_t Red3() const noexcept { return red_[2]; }
  std::int32_t Red4() const noexcept { return red_[3]; }
  std::int32_t TraceOneDeg() const noexcept { return traceOneDeg_; }
  std::uint8_t RedKind() const noexcept { return redKind_; }
  std::uint8_t BasisType() const noexcept { return basisType_; }
  bool HasNormalBasis() const noexcept { return hasNormalBasis_; }
  bool CheckDegrees() const noexcept { return checkDegrees_; }
  void SetCheckDegrees(bool check) noexcept { checkDegrees_ = check; }

  // ---- Elements (in the current basis) ----
  // With CheckDegrees, an element of degree >= N raises ERuvInvalidArg
  // "<class>.<operation>".
  void Add(TGF2Poly& a, const TGF2Poly& b) const;  // A := A + B
  void Mul(TGF2Poly& a, const TGF2Poly& b) const;  // A := A·B; B may be A
  void Sqr(TGF2Poly& a) const;                     // A := A^2
  bool Inv(TGF2Poly& a) const;                     // false (A unchanged) for A = 0
  bool Pow(TGF2Poly& a, std::int64_t e) const;     // false for A = 0 and E < 0
  bool Is1(const TGF2Poly& a) const;
  void Set1(TGF2Poly& a) const;
  void SetX(TGF2Poly& a) const;                    // the class t of x
  void Rnd(TGF2Poly& a) const;                     // uniform random element
  void Reduce(TGF2Poly& a) const;                  // A := A mod P; any A

  bool Trace(const TGF2Poly& a) const;             // absolute trace as a bit
  void HalfTrace(TGF2Poly& a) const;               // odd N only
  void SqrRoot(TGF2Poly& a) const;
  // R := a solution of R^2 + A·R = B (the other is R + A); false and R = 0
  // when there is none. R must be neither A nor B (ERuvDuplicatePtr).
  bool SolveQuad(TGF2Poly& r, const TGF2Poly& a, const TGF2Poly& b) const;
  void FindRoot(TGF2Poly& root, const TGF2Poly& p, bool check);  // Root := a random root of P in the field

  // A := M·A (coefficient i := row i of M dotted with A): converts elements
  // between the bases with N2S / S2N.
  static void ApplyMatrix(TGF2Poly& a, const TGF2SqrMatrix& m);

 private:
  void SetDefault();
  void SetStandard(const TGF2Poly& p, bool check);
  void SetNormal(const TGF2Poly& p, bool check);
  // Kind and exponents from the shape of P; builds or drops the shift table.
  void SetReduction(bool allowTrinomial);
  void BuildGeneral();
  // Chooses how Reduce computes for P and prepares its data (kept apart from
  // the kind and exponents, which are state and stream form).
  void PrepareReduce();
  void BuildFlat();  // nibble tables of the conversion matrices
  // The basis constant and the conversion matrices are what the set-up
  // derives from the field polynomial (a loaded field must not hold others).
  bool DerivedDataMatches() const;
  // A := N2S·A or S2N·A through the nibble tables (same result as ApplyMatrix).
  void ToStandard(TGF2Poly& a) const { ApplyFlat(a, n2sFlat_); }
  void ToNormal(TGF2Poly& a) const { ApplyFlat(a, s2nFlat_); }
  void ApplyFlat(TGF2Poly& a, const std::vector<std::uint64_t>& m) const;
  void ComputeSqrtTheta(TGF2Poly& c) const;  // x^(2^(N-1)) mod P
  void CheckDegree(const TGF2Poly& a, const char* op) const;
  [[noreturn]] void RaiseNotIrreducible(const char* op) const;

  // Standard-basis arithmetic without degree checks.
  void ReduceStd(TGF2Poly& a) const;
  // R[0..2w) := R mod P for deg R < 2N, w = words of an element; the words
  // from w up end zero.
  void ReduceProduct(std::uint32_t* r) const;
  void ReduceBarrett(std::uint32_t* r) const;
  void ReduceByTail(std::uint32_t* r) const;
  void StoreProduct(TGF2Poly& a, std::uint32_t* r, std::int32_t words) const;
  void MulStd(TGF2Poly& a, const TGF2Poly& b) const;
  void SqrStd(TGF2Poly& a) const;
  void InvCore(TGF2Poly& a) const;  // A != 0 in the field
  // A of degree >= N (degree checks off) is 0 of the field: P divides it
  // (standard basis), or no coordinate below N is set (normal basis).
  bool IsZeroBeyondN(const TGF2Poly& a) const;
  void PowStd(TGF2Poly& a, std::uint64_t e) const;
  void RotateUp(TGF2Poly& a) const;    // normal-basis square
  void RotateDown(TGF2Poly& a) const;  // normal-basis square root
  bool SolveNormal(TGF2Poly& r, const TGF2Poly& c) const;
  bool SolveStandard(TGF2Poly& r, const TGF2Poly& c) const;

  TGF2Poly fieldPoly_;
  TGF2Poly basisConst_;
  std::unique_ptr<TGF2ShiftTable> shiftTable_;
  // How a product is reduced: whole words folded down by the sparse
  // exponents (all at least 32 below N); Barrett's quotient from one product
  // by mu_, then the remainder by the sparse exponents or by one product with
  // the tail; or the high part multiplied by a tail far below x^N (two folds
  // at most).
  enum class TReduceMethod : std::uint8_t { WordFold, BarrettSparse, BarrettDense, TailFold };
  TReduceMethod reduceMethod_ = TReduceMethod::BarrettSparse;
  // Exponents of P - x^N - 1, highest first, when P has at most five terms
  // and a constant term.
  std::int32_t sparseExp_[3] = {1, 0, 0};
  int sparseCount_ = 1;
  // P - x^N and x^(2N) div P - x^N, element words each (as needed by the method).
  std::vector<std::uint32_t> tail_;
  std::vector<std::uint32_t> mu_;
  // N2S and S2N as tables of the sums of the columns 4p..4p+3 for each
  // nibble value (entry 16p + v, (N >> 6) + 1 limbs each): M·A is one entry
  // per nibble of A. Empty without the matrices.
  std::vector<std::uint64_t> n2sFlat_;
  std::vector<std::uint64_t> s2nFlat_;
  std::unique_ptr<TGF2SqrMatrix> n2s_;
  std::unique_ptr<TGF2SqrMatrix> s2n_;
  std::int32_t n_ = 2;
  std::int32_t red_[4] = {0, 0, 2, 1};
  std::int32_t traceOneDeg_ = 1;
  std::uint8_t redKind_ = RedTrinomial;
  std::uint8_t basisType_ = btStandard;
  bool hasNormalBasis_ = false;
  bool checkDegrees_ = true;
};

}  // namespace rara
