// The Weber class polynomial modulo 2: class invariants of the reduced forms
// from Weber's functions and Dedekind's eta product, multiplied together as
// real linear and quadratic factors, then rounded and reduced modulo 2.
#include "engine/weber.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/form_math.h"
#include "engine/weber_fixed.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/words.h"

namespace rara {

namespace {

using i64 = std::int64_t;

using weber_fixed::TFactorCoef;
using weber_fixed::Word;

// out[0..v) |= |mantissa of x|·2^shift, truncated (out zero on entry).
void MagnitudeWords(const TReal& x, std::int64_t shift, Word* out, std::int32_t v) {
  TUVInteger t(x.Mantissa());
  if (shift >= 0)
    IShl(*t, static_cast<std::int32_t>(shift));
  else
    IShr(*t, static_cast<std::int32_t>(std::min<std::int64_t>(-shift, TInteger::MaxBitSize)));
  words::PackLimbs(out, t->Limbs(), std::min(t->Size(), 2 * v));
}

// The polynomial built so far: c[0..pos-1] below an implicit leading 1, in
// fixed point. Each c[j] is a two's-complement integer of w words standing
// for c[j]·2^-F, with F common to all of them, so an update is an integer
// multiply-add and one shift, and the words are kept across updates. w is a
// word more than the working precision; F drops (all words shifted right)
// whenever the next factor could overflow the largest coefficient, so the
// largest one always keeps at least P significant bits, as a real would.
class TWeberProduct {
 public:
  void Reset(std::int32_t h) {
    h_ = std::max(h, 0);
    pos_ = 0;
    vp_ = (TFloat::Precision() + 63) / 64;
    w_ = vp_ + 1;
    f_ = 64 * static_cast<std::int64_t>(w_) - 8;
    maxBits_ = 0;
    c_.assign(static_cast<std::size_t>(h_) * static_cast<std::size_t>(w_), 0);
    SetOne();
  }

  std::int32_t Degree() const noexcept { return pos_; }
  std::int32_t Words() const noexcept { return w_; }
  std::int64_t Scale() const noexcept { return f_; }
  Word* Coef(std::int32_t j) noexcept { return c_.data() + static_cast<std::size_t>(j) * w_; }

  // Multiplies by X + ρ, ρ = -Re z.
  void MulLinear(const TComplex& z) {
    Grow(1);
    XAssign(rho_, z.Re());
    XNeg(rho_);
    const TFactorCoef rho = Prepare(rho_, rho_);
    const TFactorCoef none{nullptr, rho.v, false};
    Word* s = scratch_.data();
    std::int32_t top = Step(Coef(pos_ - 1), one_.data(), rho, nullptr, none, nullptr, s);  // ρ·1
    for (std::int32_t j = pos_ - 2; j >= 0; --j) {
      weber_fixed::Add(Coef(j + 1), Coef(j), w_);             // X·c[j] lands on j+1
      top = std::max(top, weber_fixed::BitLength(Coef(j + 1), w_));
      top = std::max(top, Step(Coef(j), Coef(j), rho, nullptr, none, nullptr, s));  // ρ·c[j]
    }
    maxBits_ = top;
  }

  // Multiplies by X² + σX + μ, σ = -2 Re z, μ = |z|², k = old degree >= 1.
  void MulQuadratic(const TComplex& z) {
    Grow(2);
    const std::int32_t k = pos_ - 2;
    XAssign(sigma_, z.Re());
    XMul2(sigma_);
    XNeg(sigma_);
    XNorm(mu_, z);
    TFactorCoef mu, sigma;
    Prepare(mu_, sigma_, mu, sigma);
    Word* s = scratch_.data();
    const Word* one = one_.data();
    // c[k+1] := σ + c[k-1]
    std::int32_t top = Step(Coef(k + 1), nullptr, mu, one, sigma, Coef(k - 1), s);
    // c[k] := μ + σ·c[k-1] + c[k-2]
    top = std::max(top, Step(Coef(k), one, mu, Coef(k - 1), sigma, k >= 2 ? Coef(k - 2) : nullptr, s));
    // c[j] := μ·c[j] + σ·c[j-1] + c[j-2], downwards so the old values are read
    for (std::int32_t j = k - 1; j >= 1; --j)
      top = std::max(top, Step(Coef(j), Coef(j), mu, Coef(j - 1), sigma, j >= 2 ? Coef(j - 2) : nullptr, s));
    // c[0] := μ·c[0]
    top = std::max(top, Step(Coef(0), Coef(0), mu, nullptr, sigma, nullptr, s));
    maxBits_ = top;
  }

 private:
  void Grow(std::int32_t by) {
    pos_ += by;
    if (pos_ > h_) RaiseRuv("GetWeberPolyMod2: Internal error 2");
    RuvBreak();
  }

  std::int32_t Step(Word* r, const Word* x, TFactorCoef m, const Word* y, TFactorCoef s,
                    const Word* z, Word* scratch) {
    return weber_fixed::Step(r, x, m, y, s, z, w_, k_, scratch);
  }

  // one_ := 1 at the current scale.
  void SetOne() {
    one_.assign(static_cast<std::size_t>(w_), 0);
    if (f_ >= 0) one_[static_cast<std::size_t>(f_ / 64)] = Word{1} << (f_ % 64);
  }

  // The factor coefficients a and b as integers at one scale 2^-k with
  // P bits for the larger, after lowering F so that the product fits:
  // |new c| <= (|a| + |b| + 1)·max|c| (the leading 1 included).
  void Prepare(const TReal& a, const TReal& b, TFactorCoef& ca, TFactorCoef& cb) {
    std::int64_t lead = 1;
    for (const TReal* x : {&a, &b})
      if (!x->IsZero()) lead = std::max(lead, x->Pos());
    const std::int64_t need = std::max<std::int64_t>(maxBits_, f_ + 1) + lead + 2;
    const std::int64_t cap = 64 * static_cast<std::int64_t>(w_) - 2;
    if (need > cap) {
      // Room for some growth, so that this happens every few dozen bits only.
      const std::int64_t by = need - cap + 32;
      for (std::int32_t j = 0; j < pos_; ++j) weber_fixed::ShiftRight(Coef(j), w_, by);
      f_ -= by;
      maxBits_ = static_cast<std::int32_t>(std::max<std::int64_t>(maxBits_ - by + 1, 0));
      SetOne();
    }
    std::int32_t v = vp_;
    std::int64_t k = 64 * static_cast<std::int64_t>(vp_) - lead;
    if (k < 0) {
      // A factor wider than the precision (only for a far too low ratio).
      v = static_cast<std::int32_t>((lead + 63) / 64);
      k = 0;
    }
    k_ = static_cast<std::int32_t>(k);
    factor_.assign(2 * static_cast<std::size_t>(v), 0);
    scratch_.resize(3 * (static_cast<std::size_t>(w_) + v + 1));
    ToWords(a, factor_.data(), v);
    ToWords(b, factor_.data() + v, v);
    ca = {factor_.data(), v, a.Sign() < 0};
    cb = {factor_.data() + v, v, b.Sign() < 0};
  }
  TFactorCoef Prepare(const TReal& a, const TReal& b) {
    TFactorCoef ca, cb;
    Prepare(a, b, ca, cb);
    return ca;
  }

  void ToWords(const TReal& x, Word* out, std::int32_t v) {
    if (!x.IsZero()) MagnitudeWords(x, static_cast<std::int64_t>(x.Exponent()) + k_, out, v);
  }

  std::int32_t h_ = 0;
  std::int32_t pos_ = 0;
  std::int32_t vp_ = 0;       // words of the working precision
  std::int32_t w_ = 0;        // words of a coefficient
  std::int64_t f_ = 0;        // the common scale F
  std::int32_t k_ = 0;        // scale of the current factor's coefficients
  std::int32_t maxBits_ = 0;  // bound on the bit length of every |c[j]|
  std::vector<Word> c_, one_, factor_, scratch_;
  TReal rho_, sigma_, mu_;
};

// Bit `bit` of the two's-complement a[0..w) (sign-extended above).
bool WordBit(const Word* a, std::int32_t w, std::int64_t bit) {
  if (bit >= 64 * static_cast<std::int64_t>(w)) return (a[w - 1] >> 63) != 0;
  return ((a[bit / 64] >> (bit % 64)) & 1u) != 0;
}

// out := the two's-complement a[0..w).
void WordsToInteger(const Word* a, std::int32_t w, TInteger& out) {
  std::vector<Word> mag(a, a + w);
  const bool neg = (a[w - 1] >> 63) != 0;
  if (neg) {
    for (Word& x : mag) x = ~x;
    for (Word& x : mag)
      if (++x != 0) break;
  }
  std::vector<unsigned char> bytes(static_cast<std::size_t>(w) * 8);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<unsigned char>(mag[i / 8] >> (8 * (i % 8)));
  out.SetDigits(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  if (neg) INeg(out);
}

}  // namespace

namespace {

// Scratch reals for the complex products of the series, kept across calls
// so that the hot loop allocates nothing.
// ---- The series in fixed point ----
// For |z| well below 1 every quantity of the series lies below 4 in
// magnitude, so all of them are kept as integers at one scale 2^-q, q the
// working precision plus guard bits: a complex product is four word
// products and two rounding shifts, and the products shrink with the terms
// (their leading zero words are skipped).

struct TFixedComplex {
  std::vector<Word> re, im;
};

// The same number as the magnitudes and signs of a factor.
struct TFixedFactor {
  std::vector<Word> re, im;
  bool reNeg = false, imNeg = false;
};

struct TFixedSeries {
  std::int32_t w = 0;   // words of every value
  std::int32_t q = 0;   // the scale
  TFixedComplex sum, term, u, v, z, z2, t;
  TFixedFactor f;
  std::vector<Word> scratch;

  void Resize(TFixedComplex& x) const {
    x.re.assign(static_cast<std::size_t>(w), 0);
    x.im.assign(static_cast<std::size_t>(w), 0);
  }

  static void Magnitude(const std::vector<Word>& x, std::vector<Word>& mag, bool& neg) {
    mag = x;
    neg = (x.back() >> 63) != 0;
    if (neg) {
      for (Word& m : mag) m = ~m;
      for (Word& m : mag)
        if (++m != 0) break;
    }
  }

  // x := x·y, rounded at the scale (y not x).
  void Mul(TFixedComplex& x, const TFixedComplex& y) {
    Magnitude(y.re, f.re, f.reNeg);
    Magnitude(y.im, f.im, f.imNeg);
    const TFactorCoef yr{f.re.data(), w, f.reNeg}, yi{f.im.data(), w, f.imNeg};
    const TFactorCoef minusYi{f.im.data(), w, !f.imNeg};
    // re := x.re·y.re - x.im·y.im; im := x.re·y.im + x.im·y.re
    weber_fixed::Step(t.re.data(), x.re.data(), yr, x.im.data(), minusYi, nullptr, w, q, scratch.data());
    weber_fixed::Step(x.im.data(), x.re.data(), yi, x.im.data(), yr, nullptr, w, q, scratch.data());
    std::swap(x.re, t.re);
  }

  // IsEpsilon(x, 32) for both parts: below 2^(31-P).
  bool Negligible(const TFixedComplex& x, std::int32_t p) const {
    const std::int32_t limit = q + 31 - p;
    return weber_fixed::BitLength(x.re.data(), w) <= limit && weber_fixed::BitLength(x.im.data(), w) <= limit;
  }
};

// out := x·2^q as w words of two's complement, truncated toward zero.
void ToFixed(const TReal& x, std::int32_t q, std::vector<Word>& out) {
  std::fill(out.begin(), out.end(), 0);
  if (x.IsZero()) return;
  MagnitudeWords(x, static_cast<std::int64_t>(x.Exponent()) + q, out.data(), static_cast<std::int32_t>(out.size()));
  if (x.Sign() < 0) {
    for (Word& m : out) m = ~m;
    for (Word& m : out)
      if (++m != 0) break;
  }
}

void FromFixed(TReal& x, const std::vector<Word>& a, std::int32_t q) {
  TUVInteger t;
  WordsToInteger(a.data(), static_cast<std::int32_t>(a.size()), *t);
  XSet(x, *t);
  XMulPow2(x, -static_cast<std::int64_t>(q));
}

void EulerSeriesFixed(TComplex& z, TFixedSeries& f) {
  const std::int32_t p = TFloat::Precision();
  f.q = p + TFloat::GuardBits;
  f.w = (f.q + 4 + 63) / 64;
  f.scratch.resize(3 * (2 * static_cast<std::size_t>(f.w) + 1));
  for (TFixedComplex* x : {&f.sum, &f.term, &f.u, &f.v, &f.z, &f.z2, &f.t}) f.Resize(*x);
  ToFixed(z.Re(), f.q, f.z.re);
  ToFixed(z.Im(), f.q, f.z.im);
  f.term.re[static_cast<std::size_t>(f.q / 64)] = Word{1} << (f.q % 64);  // 1
  f.u = f.z;
  for (std::vector<Word>* part : {&f.u.re, &f.u.im}) {  // -z
    for (Word& m : *part) m = ~m;
    for (Word& m : *part)
      if (++m != 0) break;
  }
  f.v = f.z;
  f.z2 = f.z;
  f.Mul(f.z2, f.z);
  // Terms -z, -z², +z⁵, +z⁷, ...: u and v step through the two pentagonal
  // exponent sequences.
  for (;;) {
    RuvBreak();
    f.Mul(f.term, f.u);
    if (f.Negligible(f.term, p)) break;
    weber_fixed::Add(f.sum.re.data(), f.term.re.data(), f.w);
    weber_fixed::Add(f.sum.im.data(), f.term.im.data(), f.w);
    f.Mul(f.term, f.v);
    if (f.Negligible(f.term, p)) break;
    weber_fixed::Add(f.sum.re.data(), f.term.re.data(), f.w);
    weber_fixed::Add(f.sum.im.data(), f.term.im.data(), f.w);
    f.Mul(f.u, f.z2);
    f.Mul(f.v, f.z);
  }
  // 1 + sum
  std::vector<Word> one(static_cast<std::size_t>(f.w), 0);
  one[static_cast<std::size_t>(f.q / 64)] = Word{1} << (f.q % 64);
  weber_fixed::Add(f.sum.re.data(), one.data(), f.w);
  FromFixed(z.Re(), f.sum.re, f.q);
  FromFixed(z.Im(), f.sum.im, f.q);
}

// Scratch for the series, kept across calls so that the hot loop
// allocates nothing.
struct TSeriesScratch {
  TReal t1, t2;
  TFixedSeries fixed;
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

void EulerSeriesReal(TComplex& z, TSeriesScratch& scratch) {
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

// z := Π(1 - zⁿ): in fixed point when both parts are below 1/2 (so that
// the partial sums stay below 4), else in floating point.
void EulerSeries(TComplex& z, TSeriesScratch& scratch) {
  const bool small = (z.Re().IsZero() || z.Re().Pos() < 0) && (z.Im().IsZero() || z.Im().Pos() < 0);
  if (small) {
    EulerSeriesFixed(z, scratch.fixed);
    return;
  }
  EulerSeriesReal(z, scratch);
}

// π and π√D with guard bits, taken once per polynomial.
struct TWeberConstants {
  TReal pi, piSqrtD;

  explicit TWeberConstants(i64 d) {
    TPrecisionGuard guard;
    TFloat::IncPrecision(TFloat::GuardBits);
    XPi(pi);
    XSet(piSqrtD, d);
    XSqrRoot(piSqrtD);
    XMul(piSqrtD, pi);
  }
};

// z := e^w · P(num)/P(s²) for Weber function kind 0, 1 or 2 at the form
// (a, b), where w is the exponent of the function's q-power prefactor
// plus iπ·o/24. The prefactors (1/s)^(1/24) and (64s)^(1/12) are written
// as exponentials of π(±√D ∓ ib)/(24a) directly: for 0 <= b <= a/2 the
// principal branch of the root is exactly this one. s = e^{iπτ} itself is a
// power of the prefactor, so one exponential serves both.
void WeberWithRoot(TComplex& z, int kind, i64 a, i64 b, i64 o, const TWeberConstants& k) {
  TComplex pre, s;
  {
    // The power multiplies the prefactor's error by 24: guard bits for it.
    TPrecisionGuard guard;
    TFloat::IncPrecision(TFloat::GuardBits);
    XAssign(pre.Re(), k.piSqrtD);
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
    XMul(pre.Im(), k.pi);
    XDiv(pre.Im(), 24 * a);
    XExp(pre);
    // s := exp(π(-√D + ib)/a): pre^12·(-i)^o for f2, pre^-24·(-1)^o otherwise.
    XAssign(s, pre);
    if (kind == 2) {
      XPow(s, 12);
      switch (((o % 4) + 4) % 4) {
        case 1:  // ·(-i)
          XSwap(s.Re(), s.Im());
          XNeg(s.Im());
          break;
        case 2:
          XNeg(s);
          break;
        case 3:  // ·i
          XSwap(s.Re(), s.Im());
          XNeg(s.Re());
          break;
        default:
          break;
      }
    } else {
      XPow(s, -24);
      if (o % 2 != 0) XNeg(s);
    }
    guard.Restore();
    for (TReal* x : {&pre.Re(), &pre.Im(), &s.Re(), &s.Im()}) XAssign(*x, *x);  // back to P bits
  }
  if (s.IsZero()) {
    z.SetZero();
    return;
  }

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

// The class invariant with the constants at hand.
void ClassInvariant(TComplex& z, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t g3,
                    const TReal& r, const TWeberConstants& k) {
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
  WeberWithRoot(z, kind, a, b, o, k);
  if (kind != 2) {
    XMul(z.Re(), r);
    XMul(z.Im(), r);
  }
  if (negate) XNeg(z);
  if (g3 == 3) XPow(z, 3);
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
  const TWeberConstants k(d);
  WeberWithRoot(z, kind, a, b, 0, k);
  if (kind == 2) {
    TReal root2(std::int64_t{2});
    XSqrRoot(root2);
    XMul(z.Re(), root2);
    XMul(z.Im(), root2);
  }
}

void WeberClassInvariant(TComplex& z, std::int32_t a, std::int32_t b, std::int32_t c,
                         std::int32_t d, std::int32_t g3, const TReal& r) {
  const TWeberConstants k(d);
  ClassInvariant(z, a, b, c, g3, r, k);
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
  const TWeberConstants constants(d);
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
      if (Gcd3(a, 2 * b, c) != 1) continue;
      RuvBreak();
      ClassInvariant(z, static_cast<std::int32_t>(a), static_cast<std::int32_t>(b),
                     static_cast<std::int32_t>(c), g3, r, constants);
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

// floor(c·2^-F + 1/2) for coefficient i, the integer XRound gives: c is
// moved to c + 2^(F-1) and the result is that shifted down by F.
void RoundCoef(TWeberProduct& product, std::int32_t i) {
  const std::int64_t f = product.Scale();
  if (f <= 0) return;
  Word* c = product.Coef(i);
  const std::int32_t w = product.Words();
  std::vector<Word> half(static_cast<std::size_t>(w), 0);
  half[static_cast<std::size_t>((f - 1) / 64)] = Word{1} << ((f - 1) % 64);
  weber_fixed::Add(c, half.data(), w);
}

}  // namespace

void GetWeberPolyMod2(TGF2Poly& w, std::int32_t d, std::int32_t h, std::int32_t& progress,
                      long double ratio) {
  TWeberProduct product;
  BuildWeberProduct(product, d, h, progress, ratio);
  const std::int32_t pos = product.Degree();
  const std::int64_t f = product.Scale();
  w.SetMonomial(pos);
  for (std::int32_t i = pos - 1; i >= 0; --i) {
    RoundCoef(product, i);
    // Odd rounded value: bit F of the shifted coefficient (an integer
    // scaled up by 2^-F, F < 0, is even).
    if (f >= 0 && WordBit(product.Coef(i), product.Words(), f)) w.SetCoef(i, true);
  }
}

void GetWeberPolyInt(std::vector<TInteger>& coefs, std::int64_t& worstPos, std::int32_t d,
                     std::int32_t h, std::int32_t& progress, long double ratio) {
  TWeberProduct product;
  BuildWeberProduct(product, d, h, progress, ratio);
  const std::int32_t pos = product.Degree();
  const std::int64_t f = product.Scale();
  coefs.clear();
  coefs.reserve(static_cast<std::size_t>(pos) + 1);
  // Nothing below the last kept bit 2^-F can be told: a distance that comes
  // out as zero is only known to be below it, and once F has dropped to 0 or
  // less (a precision far too low for the size of the coefficients) not even
  // the units are known, so that is what gets reported, never "all exact".
  worstPos = 1 - f;
  TInteger exact, back;
  for (std::int32_t i = 0; i < pos; ++i) {
    WordsToInteger(product.Coef(i), product.Words(), exact);
    RoundCoef(product, i);
    coefs.emplace_back();
    TInteger& rounded = coefs.back();
    WordsToInteger(product.Coef(i), product.Words(), rounded);
    if (f > 0) {
      // The shift of c + 2^(F-1) by F, floored.
      const bool neg = rounded.Negative();
      const std::int32_t low = rounded.LowBit();
      IShr(rounded, static_cast<std::int32_t>(f));
      if (neg && low >= 0 && low < f) IDec(rounded);
      // distance = c - rounded·2^F
      IAssign(back, rounded);
      IShl(back, static_cast<std::int32_t>(f));
      ISub(exact, back);
      if (!exact.IsZero()) worstPos = std::max<std::int64_t>(worstPos, exact.BitSize() - f);
    } else {
      IShl(rounded, static_cast<std::int32_t>(-f));
    }
  }
  coefs.emplace_back(std::int64_t{1});
}

}  // namespace rara
