// The Weber class polynomial modulo 2: class invariants of the reduced forms
// from Weber's functions and Dedekind's eta product, multiplied together as
// real linear and quadratic factors, then rounded and reduced modulo 2.
#include "engine/weber.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

using i64 = std::int64_t;

i64 ISqrt64(i64 n) {
  if (n <= 0) return 0;
  i64 r = static_cast<i64>(std::sqrt(static_cast<long double>(n)));
  while (r * r > n) --r;
  while ((r + 1) * (r + 1) <= n) ++r;
  return r;
}

i64 Gcd64(i64 a, i64 b) {
  while (b != 0) {
    const i64 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// The polynomial built so far: c[0..pos-1] below an implicit leading 1.
class TWeberProduct {
 public:
  void Reset(std::int32_t h) {
    h_ = std::max(h, 0);
    pos_ = 0;
    c_ = std::make_unique<TReal[]>(static_cast<std::size_t>(h_));
  }

  std::int32_t Degree() const noexcept { return pos_; }
  const TReal& Coef(std::int32_t j) const noexcept { return c_[j]; }
  TReal& Coef(std::int32_t j) noexcept { return c_[j]; }

  // Multiplies by X + ρ, ρ = -Re z.
  void MulLinear(const TComplex& z) {
    Grow(1);
    TReal* c = c_.get();
    XAssign(rho_, z.Re());
    XNeg(rho_);
    XAssign(c[pos_ - 1], rho_);        // ρ·1 on X^(pos-1), plus c[pos-2] below
    for (std::int32_t j = pos_ - 2; j >= 0; --j) {
      XAdd(c[j + 1], c[j]);            // X·c[j] lands on j+1
      XMul(c[j], rho_);                // ρ·c[j] stays on j
    }
  }

  // Multiplies by X² + σX + μ, σ = -2 Re z, μ = |z|², k = old degree >= 1.
  void MulQuadratic(const TComplex& z) {
    Grow(2);
    TReal* c = c_.get();
    const std::int32_t k = pos_ - 2;
    XAssign(sigma_, z.Re());
    XMul2(sigma_);
    XNeg(sigma_);
    XNorm(mu_, z);
    // c[k+1] := σ + c[k-1]
    XAssign(c[k + 1], sigma_);
    XAdd(c[k + 1], c[k - 1]);
    // c[k] := μ + σ·c[k-1] + c[k-2]
    XAssign(c[k], sigma_);
    XMul(c[k], c[k - 1]);
    XAdd(c[k], mu_);
    if (k >= 2) XAdd(c[k], c[k - 2]);
    // c[j] := μ·c[j] + σ·c[j-1] + c[j-2], downwards so the old values are read
    for (std::int32_t j = k - 1; j >= 1; --j) {
      XAssign(tmp_, sigma_);
      XMul(tmp_, c[j - 1]);
      XMul(c[j], mu_);
      XAdd(c[j], tmp_);
      if (j >= 2) XAdd(c[j], c[j - 2]);
    }
    XMul(c[0], mu_);                   // c[0] := μ·c[0]
  }

 private:
  void Grow(std::int32_t by) {
    pos_ += by;
    if (pos_ > h_) RaiseRuv("GetWeberPolyMod2: Internal error 2");
  }

  std::int32_t h_ = 0;
  std::int32_t pos_ = 0;
  std::unique_ptr<TReal[]> c_;
  TReal tmp_, rho_, sigma_, mu_;
};

}  // namespace

namespace {

// Scratch reals for the complex products of the series, kept across calls
// so that the hot loop allocates nothing.
struct TSeriesScratch {
  TReal t1, t2;
};

// z := z·w with four real products into kept temporaries (w not z).
void MulInto(TComplex& z, const TComplex& w, TSeriesScratch& s) {
  XAssign(s.t1, z.Re());
  XMul(s.t1, w.Im());   // re·w.im
  XAssign(s.t2, z.Im());
  XMul(s.t2, w.Im());   // im·w.im
  XMul(z.Re(), w.Re());
  XSub(z.Re(), s.t2);   // re·w.re - im·w.im
  XMul(z.Im(), w.Re());
  XAdd(z.Im(), s.t1);   // im·w.re + re·w.im
}

void EulerSeries(TComplex& z, TSeriesScratch& scratch) {
  TComplex sum, term, u, v, z2;
  XSet(term, 1, 0);
  XAssign(u, z);
  XNeg(u);
  XAssign(v, z);
  XAssign(z2, z);
  XSqr(z2);
  // Terms -z, -z², +z⁵, +z⁷, ...: u and v step through the two pentagonal
  // exponent sequences.
  for (;;) {
    RuvBreak();
    MulInto(term, u, scratch);
    if (IsEpsilon(term, 32)) break;
    XAdd(sum, term);
    MulInto(term, v, scratch);
    if (IsEpsilon(term, 32)) break;
    XAdd(sum, term);
    MulInto(u, z2, scratch);
    MulInto(v, z, scratch);
  }
  TReal one(std::int64_t{1});
  XAdd(sum.Re(), one);
  XSwap(z, sum);
}

// z := e^w · P(num)/P(s²) for Weber function kind 0, 1 or 2 at the form
// (a, b), where w is the exponent of the function's q-power prefactor
// plus iπ·o/24. The prefactors (1/s)^(1/24) and (64s)^(1/12) are written
// as exponentials of π(±√D ∓ ib)/(24a) directly: for 0 <= b <= a/2 the
// principal branch of the root is exactly this one.
void WeberWithRoot(TComplex& z, int kind, i64 a, i64 b, i64 d, i64 o) {
  TReal pi, sqrtD;
  XPi(pi);
  XSet(sqrtD, d);
  XSqrRoot(sqrtD);
  // s := exp(π(-√D + ib)/a)
  TComplex s;
  XAssign(s.Re(), sqrtD);
  XMul(s.Re(), pi);
  XDiv(s.Re(), a);
  XNeg(s.Re());
  XSet(s.Im(), b);
  XMul(s.Im(), pi);
  XDiv(s.Im(), a);
  XExp(s);
  if (s.IsZero()) {
    z.SetZero();
    return;
  }
  TComplex pre;
  XAssign(pre.Re(), sqrtD);
  XMul(pre.Re(), pi);
  if (kind == 2) {
    // (64 s)^(1/12) = √2 · exp(π(-√D + ib)/(12a))
    XNeg(pre.Re());
    XDiv(pre.Re(), 12 * a);
    XSet(pre.Im(), 2 * b + o * a);
  } else {
    // (1/s)^(1/24) = exp(π(√D - ib)/(24a))
    XDiv(pre.Re(), 24 * a);
    XSet(pre.Im(), o * a - b);
  }
  XMul(pre.Im(), pi);
  XDiv(pre.Im(), 24 * a);
  XExp(pre);

  TComplex num, den;
  XAssign(den, s);
  XSqr(den);  // s² = q
  if (kind == 2) {
    XAssign(num, den);
    XSqr(num);  // s⁴
  } else {
    XAssign(num, s);
    if (kind == 0) XNeg(num);
  }
  TSeriesScratch scratch;
  EulerSeries(num, scratch);
  EulerSeries(den, scratch);
  XMul(pre, num);
  XDiv(pre, den);
  XSwap(z, pre);
}

}  // namespace

void EulerProduct(TComplex& z) {
  TSeriesScratch scratch;
  EulerSeries(z, scratch);
}

void WeberFunction(TComplex& z, int kind, std::int32_t a, std::int32_t b, std::int32_t d) {
  if (kind < 0 || kind > 2) {
    z.SetZero();
    return;
  }
  WeberWithRoot(z, kind, a, b, d, 0);
  if (kind == 2) {
    TReal root2(std::int64_t{2});
    XSqrRoot(root2);
    XMul(z.Re(), root2);
    XMul(z.Im(), root2);
  }
}

void WeberClassInvariant(TComplex& z, std::int32_t a, std::int32_t b, std::int32_t c,
                         std::int32_t d, std::int32_t g3, const TReal& r) {
  const bool aOdd = (a & 1) != 0;
  const bool cOdd = (c & 1) != 0;
  const bool both = aOdd && cOdd;
  const int kind = both ? 0 : (cOdd ? 2 : 1);
  const i64 a64 = a, c64 = c;
  const i64 e = aOdd ? (a64 * a64 - 1) / 8 : (c64 * c64 - 1) / 8;
  const bool negate = both && (e & 1) != 0;
  // The 48th root of unity exp(iπ·o/24).
  const i64 a1 = a64 % 48, c1 = c64 % 48;
  i64 l;
  if (both)
    l = a1 * a1 * c1 + a1 - c1;
  else if (cOdd)
    l = a1 - a1 * c1 * c1 - c1;
  else
    l = a1 - a1 * c1 * c1 + 2 * c1;
  l %= 48;
  const i64 o = ((static_cast<i64>(b) % 48) * l) % 48;
  // The root of unity joins the prefactor's exponential; for f2 the √2 of
  // the function and r = √(1/2) cancel.
  WeberWithRoot(z, kind, a, b, d, o);
  if (kind != 2) {
    XMul(z.Re(), r);
    XMul(z.Im(), r);
  }
  if (negate) XNeg(z);
  if (g3 == 3) XPow(z, 3);
}

namespace {

// Steps shared by both entry points: the precision, then the product of the
// factors of all reduced forms.
void BuildWeberProduct(TWeberProduct& product, std::int32_t d, std::int32_t h,
                       std::int32_t& progress, long double ratio) {
  if (d % 8 != 7) RaiseRuv("GetWeberPolyMod2: Internal error 1");
  // The largest coefficient has about √D bits; small D still need h.
  long double m = std::trunc(std::sqrt(2.71829L * d));
  m = std::max(m, static_cast<long double>(h));
  const long double bits = std::trunc(ratio * m);
  TFloat::SetPrecision(
      static_cast<std::int32_t>(std::clamp<long double>(bits, 0, TFloat::MaxPrecision)));

  TReal r;
  XSet(r, 1, 2);
  XSqrRoot(r);
  product.Reset(h);
  progress = h;
  const std::int32_t g3 = d % 3 == 0 ? 3 : 1;
  TComplex z;

  // The reduced forms in the order of the class-number count.
  const i64 bmax = static_cast<i64>(std::sqrt(static_cast<long double>(d) / 3));
  for (i64 b = 0; b <= bmax; ++b) {
    RuvBreak();
    const i64 n = d + b * b;
    const i64 amax = ISqrt64(n);
    for (i64 a = std::max<i64>(2 * b, 1); a <= amax; ++a) {
      if (n % a != 0) continue;
      const i64 c = n / a;
      if (Gcd64(Gcd64(a, 2 * b), c) != 1) continue;
      RuvBreak();
      WeberClassInvariant(z, static_cast<std::int32_t>(a), static_cast<std::int32_t>(b),
                          static_cast<std::int32_t>(c), d, g3, r);
      if (b == 0 || 2 * b == a || a == c) {
        progress -= 1;
        product.MulLinear(z);
      } else {
        progress -= 2;
        product.MulQuadratic(z);
      }
    }
  }
}

}  // namespace

void GetWeberPolyMod2(TGF2Poly& w, std::int32_t d, std::int32_t h, std::int32_t& progress,
                      long double ratio) {
  TWeberProduct product;
  BuildWeberProduct(product, d, h, progress, ratio);
  const std::int32_t pos = product.Degree();
  w.SetMonomial(pos);
  for (std::int32_t i = pos - 1; i >= 0; --i) {
    TReal& x = product.Coef(i);
    XRound(x);  // floor(x + 1/2)
    if (XTrunc(x)) w.SetCoef(i, true);
  }
}

void GetWeberPolyInt(std::vector<TInteger>& coefs, std::int64_t& worstPos, std::int32_t d,
                     std::int32_t h, std::int32_t& progress, long double ratio) {
  TWeberProduct product;
  BuildWeberProduct(product, d, h, progress, ratio);
  const std::int32_t pos = product.Degree();
  coefs.clear();
  coefs.reserve(static_cast<std::size_t>(pos) + 1);
  worstPos = INT64_MIN;
  TReal x, diff;
  for (std::int32_t i = 0; i < pos; ++i) {
    XAssign(x, product.Coef(i));
    XAssign(diff, x);
    XRound(x);
    XSub(diff, x);
    if (!diff.IsZero()) worstPos = std::max(worstPos, diff.Pos());
    coefs.emplace_back();
    XToInteger(x, coefs.back());
  }
  coefs.emplace_back(std::int64_t{1});
}

}  // namespace rara
