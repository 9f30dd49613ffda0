// Irreducibility (d/2 squarings modulo P with coprimality tests), normality
// (rank of the Frobenius conjugates), square-free part, and factoring by
// distinct-degree then equal-degree (trace map) splitting.
#include "gf2/gf2_factor.h"

#include <string>

#include "gf2/gf2_kernel_limits.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

// Each equal-degree try splits with probability at least 1/2, so this many
// failures in a row mean the random source is broken, not bad luck.
constexpr std::int32_t MaxSplitTries = 256;

using gf2_limits::BarrettMinModulus;
using gf2_limits::IrreducibleBatchRounds;
using gf2_limits::IrreducibleEarlyRounds;
using gf2_limits::TableMinModulus;

// Reduction modulo a polynomial F that is used for many squarings and
// products: the table of shifted copies, and for large F the quotient
// Mu = x^(2d) div F, are built once per modulus instead of once per division.
class TModulus {
 public:
  explicit TModulus(const TGF2Poly& f) : f_(f) { Rebuild(); }

  // Call after the modulus changed.
  void Rebuild() {
    degree_ = f_.Degree();
    useTable_ = degree_ >= TableMinModulus;
    if (useTable_) table_.Build(f_);
    useBarrett_ = degree_ >= BarrettMinModulus;
    if (useBarrett_) {
      mu_->SetMonomial(2 * degree_);
      GF2Div(*mu_, f_);
    }
  }

  void Reduce(TGF2Poly& x) const {
    const std::int32_t dx = x.Degree();
    if (dx < degree_) return;
    if (useBarrett_ && dx < 2 * degree_) {
      // With X = X1·x^d + X0, Q = (X1·Mu) div x^d is exactly X div F for
      // deg X < 2d, so X + Q·F is the remainder.
      TUVPoly qp(x);
      TGF2Poly& q = *qp;
      GF2DivXk(q, degree_);
      GF2Mul(q, *mu_);
      GF2DivXk(q, degree_);
      GF2Mul(q, f_);
      GF2Add(x, q);
    } else if (useTable_) {
      GF2ReduceByTable(x, table_, nullptr);
    } else {
      GF2Mod(x, f_);
    }
  }

  // x := x^2 mod f, for x already reduced.
  void SqrMod(TGF2Poly& x) const {
    GF2Sqr(x);
    Reduce(x);
  }

 private:
  const TGF2Poly& f_;
  std::int32_t degree_ = -1;
  TGF2ShiftTable table_;
  TUVPoly mu_;
  bool useTable_ = false;
  bool useBarrett_ = false;
};

// P is consumed; R := R times the product of the distinct factors of P.
void SquareFreeStep(TGF2Poly& p, TGF2Poly& r) {
  // A := gcd(P, P'); P div A keeps the factors of odd multiplicity, once each.
  TUVPoly ap(p);
  TGF2Poly& a = *ap;
  GF2Derivative(a);
  GF2Gcd(a, p);
  GF2Div(p, a);
  // Strip those factors from A: what is left has even multiplicities only.
  TUVPoly bp(a);
  TGF2Poly& b = *bp;
  GF2Gcd(b, p);
  while (!b.IsOne()) {
    GF2Div(a, b);
    b.Assign(a);
    GF2Gcd(b, p);
  }
  if (!a.IsOne()) {
    GF2SqrRoot(a, false);
    SquareFreeStep(a, r);
  }
  GF2Mul(r, p);
}

// F is a product of distinct irreducible factors of degree i; appends them
// to V. F is consumed.
void EqualDegreeSplit(TGF2Poly& f, std::int32_t i, TGF2PolyVector& v) {
  if (f.Degree() <= i) {
    v.NewCell(f);
    return;
  }
  TUVPoly rp, gp;
  TGF2Poly& r = *rp;
  TGF2Poly& g = *gp;
  {
    const TModulus m(f);
    std::int32_t tries = 0;
    do {
      if (++tries > MaxSplitTries)
        RaiseRuv("GF2Factor\r\nNo random split found in " + std::to_string(MaxSplitTries) +
                 " tries: the random generator gives no usable numbers");
      RuvBreak();
      // deg R < 2i <= deg F: every pair of factors sees a uniformly random
      // pair of residues, so each try splits with probability at least 1/2.
      GF2Rnd(r, 2 * i - 1, false);
      g.Assign(r);
      // G := R + R^2 + ... + R^(2^(i-1)): the trace of R in each factor's
      // field, 0 or 1 independently per factor.
      for (std::int32_t k = 1; k < i; ++k) {
        m.SqrMod(r);
        GF2Add(g, r);
      }
      GF2Gcd(g, f);
    } while (g.IsOne() || GF2Equal(g, f));
  }
  GF2Div(f, g);
  EqualDegreeSplit(g, i, v);
  EqualDegreeSplit(f, i, v);
}

// True when no irreducible factor divides F twice: gcd(F, F') = 1 (a
// square has F' = 0 and gcd F). deg F >= 1.
bool IsSquareFree(const TGF2Poly& f) {
  TUVPoly ap(f);
  TGF2Poly& a = *ap;
  GF2Derivative(a);
  return GF2Gcd(a, f);
}

// Distinct-degree phase on a square-free F (consumed): after round i,
// X = x^(2^i) mod F and gcd(X + x, F) collects the factors of degree i
// still in F; several of them are split by the equal-degree phase.
void SplitSquareFree(TGF2Poly& f, TGF2PolyVector& v) {
  TModulus m(f);
  TUVPoly xp, gp;
  TGF2Poly& x = *xp;
  TGF2Poly& g = *gp;
  x.SetX();
  for (std::int32_t i = 0;;) {
    if (f.Degree() < 2 * i) break;
    ++i;
    m.SqrMod(x);
    g.Assign(x);
    GF2AddX(g);
    GF2Gcd(g, f);
    if (g.IsOne()) continue;
    GF2Div(f, g);
    m.Rebuild();
    m.Reduce(x);
    if (i < g.Degree())
      EqualDegreeSplit(g, i, v);
    else
      v.NewCell(g);
  }
  if (!f.IsOne()) v.NewCell(f);
}

}  // namespace

bool GF2IsIrreducible(const TGF2Poly& p) {
  RuvBreak();
  const std::int32_t d = p.Degree();
  if (d < 2) return d == 1;
  // Cheap rejections: x divides P, x+1 divides P, P is a square.
  if ((p.Words()[0] & 1u) == 0) return false;
  if (!GF2Parity(p)) return false;
  if (GF2IsSquare(p)) return false;
  // After round i, X = x^(2^i) mod P; gcd(X + x, P) = 1 means P has no factor
  // of degree dividing i. A reducible P has a factor of degree <= d/2.
  //
  // The gcd costs far more than a product modulo P, so after the first
  // rounds (where small factors of random inputs show up) the values X + x
  // are multiplied together and tested by one gcd per batch: P is coprime
  // to the product exactly when it is coprime to every factor, so the answer
  // is the same.
  const TModulus m(p);
  TUVPoly xp, accp;
  TGF2Poly& x = *xp;
  TGF2Poly& acc = *accp;
  x.SetX();
  acc.SetOne();
  std::int32_t pending = 0;
  for (std::int32_t i = 1; i <= d / 2; ++i) {
    m.SqrMod(x);
    GF2AddX(x);
    if (i <= IrreducibleEarlyRounds) {
      if (!GF2IsCoprime(x, p)) return false;
    } else {
      GF2Mul(acc, x);
      m.Reduce(acc);
      if (++pending == IrreducibleBatchRounds || i == d / 2) {
        if (!GF2IsCoprime(acc, p)) return false;
        acc.SetOne();
        pending = 0;
      }
    }
    GF2AddX(x);
  }
  return true;
}

bool GF2IsNormal(const TGF2Poly& p) {
  if (!GF2IsIrreducible(p)) return false;
  const std::int32_t d = p.Degree();
  // Row b holds x^(2^b) mod P: the transpose of the matrix of conjugates
  // by columns, with the same rank and far cheaper to fill.
  TGF2SqrMatrix mat;
  mat.SetDimension(d);
  TUVPoly xp;
  TGF2Poly& x = *xp;
  x.SetX();
  if (d < 2) GF2Mod(x, p);
  mat.Row(0).Assign(x);
  const TModulus m(p);
  for (std::int32_t b = 1; b < d; ++b) {
    m.SqrMod(x);
    mat.Row(b).Assign(x);
  }
  return mat.IsRegular();
}

void GF2SquareFree(TGF2Poly& p) {
  RuvBreak();
  if (p.Degree() < 1) return;
  TUVPoly rp;
  TGF2Poly& r = *rp;
  r.SetOne();
  SquareFreeStep(p, r);
  GF2Swap(p, r);
  p.Normalize(true);
}

void GF2Factor(const TGF2Poly& p, TGF2PolyVector& v, bool squareFreeFirst) {
  // P is copied before V is emptied: it may be one of V's cells.
  TUVPoly fp(p);
  TGF2Poly& f = *fp;
  v.Size(0);
  RuvBreak();
  const std::int32_t d = f.Degree();
  if (d <= 1) {
    if (d == 1) v.NewCell(f);
    return;
  }
  if (squareFreeFirst) {
    GF2SquareFree(f);
    if (f.Degree() <= 1) {
      if (f.Degree() == 1) v.NewCell(f);
      return;
    }
  } else if (!IsSquareFree(f)) {
    // The phases below assume distinct factors (a repeated factor reaches
    // the trace map with the wrong degree, which never splits it): split the
    // square-free part and give each factor its multiplicity in P.
    TUVPoly sp(f);
    GF2SquareFree(*sp);
    TGF2PolyVector distinct;
    SplitSquareFree(*sp, distinct);
    TUVPoly qp, rp;
    TGF2Poly& q = *qp;
    TGF2Poly& r = *rp;
    for (std::int32_t k = 0; k < distinct.Count(); ++k) {
      const TGF2Poly& g = distinct.Cell(k);
      for (;;) {
        r.Assign(f);
        GF2Mod(r, g);
        if (!r.IsZero()) break;
        q.Assign(f);
        GF2Div(q, g);
        GF2Swap(f, q);
        v.NewCell(g);
      }
    }
    return;
  }
  SplitSquareFree(f, v);
}

}  // namespace rara
