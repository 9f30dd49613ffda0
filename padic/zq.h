// TZqRing: the unramified extension Z_q of the 2-adic integers, q = 2^N,
// as Z[x]/(P~) where P~ is the field polynomial P of GF(2^N) read over the
// integers (coefficients 0 and 1), computed modulo 2^(64·Words). Elements
// are TZqElem word vectors (N coefficients of Words words each, coefficient
// i at words [i·Words, (i+1)·Words)); the ring owns the scratch space of its
// products. Reducing an element modulo 2 gives the field element of GF(2^N)
// in the standard basis of P.
#pragma once

#include <cstdint>
#include <vector>

#include "gf2/gf2_poly.h"

namespace rara {

using TZqElem = std::vector<std::uint64_t>;

class TZqRing {
 public:
  // P of degree N >= 2 with a constant term (irreducible in use); words from
  // 1 to zq::MaxWords, else ERuvInvalidArg "TZqRing.Setup".
  void Setup(const TGF2Poly& p, int words);
  // The same ring over the Teichmüller modulus T~ instead of P~: T~ ≡ P
  // mod 2 and T~(x) divides T~(x^2), so that its roots are Teichmüller
  // representatives and the Frobenius of Z_q is x ↦ x^2. T~ is computed
  // modulo 2^(64·words), the widest precision the ring will then take;
  // products are reduced by Barrett's method (two more products each).
  void SetupTeichmuller(const TGF2Poly& p, int words);
  bool Teichmuller() const noexcept { return dense_; }
  // New precision; existing elements keep their old width until Resize.
  void SetWords(int words);

  int N() const noexcept { return n_; }
  int Words() const noexcept { return w_; }
  std::size_t ElemWords() const noexcept { return static_cast<std::size_t>(n_) * w_; }
  // Exponents of P~ − x^N, highest first.
  const std::vector<std::int32_t>& TailExps() const noexcept { return exps_; }

  // ---- Elements at the current width (results are resized to it) ----
  void SetZero(TZqElem& a) const;
  void SetSmall(TZqElem& a, std::int64_t c) const;    // the constant c
  void FromGF2(TZqElem& a, const TGF2Poly& e) const;  // lift of a standard-basis element
  void ToGF2(TGF2Poly& e, const TZqElem& a) const;    // A mod 2
  // A from a width of oldWords to the current one: low words kept, new words zero.
  void Resize(TZqElem& a, int oldWords) const;

  void Add(TZqElem& a, const TZqElem& b) const;     // A := A + B (B may be A)
  void Sub(TZqElem& a, const TZqElem& b) const;     // A := A − B
  void Neg(TZqElem& a) const;                       // A := −A
  void AddSmall(TZqElem& a, std::int64_t c) const;  // A := A + c
  void Shl(TZqElem& a, int bits) const;             // A := A·2^bits, 0 <= bits < 64·Words
  // A := A div 2^bits coefficient by coefficient (exact when every
  // coefficient is divisible; the top bits become 0).
  void Shr(TZqElem& a, int bits) const;
  void Cut(TZqElem& a, int bits) const;             // A := A mod 2^bits coefficient by coefficient
  void Mul(TZqElem& r, const TZqElem& a, const TZqElem& b);  // R := A·B; any aliasing
  // R := A·B where B's coefficients are below 2^bBits: the products with
  // B's high words, all zero, are skipped when bBits is well below the width.
  void MulShort(TZqElem& r, const TZqElem& a, const TZqElem& b, int bBits);
  void Sqr(TZqElem& r, const TZqElem& a);                    // R := A²; R may be A
  // With the Teichmüller modulus only: R := σ(A), and R := α·D + β − σ(D)
  // (the residual of σ(D) = α·D + β) with a single reduction.
  void Frobenius(TZqElem& r, const TZqElem& a);
  void FrobeniusResidual(TZqElem& r, const TZqElem& alpha, const TZqElem& d, const TZqElem& beta);
  // Tr(A) = sum of A's coefficients times the traces of the powers of the
  // class of x (power sums of the roots of P~): Words words into t.
  void Trace(std::uint64_t* t, const TZqElem& a) const;

 private:
  void BuildTraces();
  void BuildTracesDense(const std::vector<std::uint64_t>& rev);
  void Reduce(TZqElem& r);  // r := product buffer reduced, at the current width
  void ReduceDense();       // the product buffer's low N coefficients := it mod T~
  void Inflate(const TZqElem& a);  // the product buffer := A(x^2)

  std::int32_t n_ = 0;
  int w_ = 1;
  std::vector<std::int32_t> exps_;
  std::vector<std::uint64_t> traces_;  // N power sums, zq::MaxWords words each
  std::vector<std::uint64_t> prod_;    // 2N − 1 coefficients
  std::vector<std::uint64_t> scratch_;
  // The Teichmüller modulus: T~ − x^N and the inverse of x^N·T~(1/x)
  // modulo x^(N−1), each at every width up to the one of the set-up
  // (entry w − 1: N coefficients of w words).
  bool dense_ = false;
  int denseWords_ = 0;
  std::vector<std::vector<std::uint64_t>> tLow_, tInv_;
  std::vector<std::uint64_t> wide_;  // Barrett's operands and products
};

}  // namespace rara
