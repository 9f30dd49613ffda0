// Exponential, logarithm, sine and cosine, arc tangent of reals. Each routine
// works with guard bits and puts the caller's precision back on every exit;
// series stop at the first term below the guard (that term is still added).
#include <algorithm>
#include <string_view>

#include "floats/float_internal.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

using namespace float_detail;

namespace {

constexpr std::int32_t SeriesBits = TFloat::GuardBits;

// More guard bits for a routine whose intermediate cancels about `lost` bits;
// small losses stay inside the ordinary guard.
void WidenFor(std::int64_t lost) {
  if (lost > SeriesBits / 2) TFloat::IncPrecision(static_cast<std::int32_t>(std::min<std::int64_t>(lost, TFloat::MaxPrecision)));
}

// ---- Series in fixed point ----
// The series below add terms that shrink quickly. Each term is kept as an
// integer T standing for T·2^-f, with f a few bits beyond the working
// precision: a term then carries only the bits above the last one that counts
// in the sum, so the products shrink as the terms do, and dividing a term by
// a small integer is a word division of an integer that is getting shorter.
// Each step truncates by less than two units of 2^-f; the extra bits of f
// cover the sum of those over all terms.

// Bits beyond the working precision: room for the truncations of up to P
// terms, with two to spare.
std::int32_t FixedExtra() {
  std::int32_t g = 2;
  for (std::int64_t n = Precision; n != 0; n >>= 1) ++g;
  return g;
}

// out := a·2^f truncated toward zero (sign kept).
void ToFixed(TInteger& out, const TReal& a, std::int32_t f) {
  IAssign(out, a.Mantissa());
  const std::int64_t s = static_cast<std::int64_t>(a.Exponent()) + f;
  if (s >= 0)
    IShl(out, static_cast<std::int32_t>(s));
  else
    IShr(out, static_cast<std::int32_t>(std::min<std::int64_t>(-s, TInteger::MaxBitSize)));
}

// The value S·2^-f as a real in normal form.
void FromFixed(TReal& a, TInteger& s, std::int32_t f, std::string_view name) {
  ISwap(M(a), s);
  Normalize(a, -static_cast<std::int64_t>(f), name);
}

// t := t·x·2^-f, truncated. The bits of x below 2^cut move the product by
// less than t·2^cut·2^-f < 1/4 unit: x is cut to about the length of t.
void MulFixed(TInteger& t, const TInteger& x, std::int32_t f, TInteger& scratch) {
  const std::int32_t cut = f - t.BitSize() - 2;
  if (cut <= 0) {
    IMul(t, x);
    IShr(t, f);
  } else if (cut >= x.BitSize()) {
    t.Clear();
  } else {
    IAssign(scratch, x);
    IShr(scratch, cut);
    IMul(t, scratch);
    IShr(t, f - cut);
  }
}

// The scale for a sum led by a term of magnitude position `lead`: the extra
// bits below the last one of P kept relative to the sum when it is below 1.
std::int32_t FixedScale(std::int64_t lead, std::string_view name) {
  const std::int64_t f = static_cast<std::int64_t>(Precision) + FixedExtra() - std::min<std::int64_t>(lead, 0);
  if (f > TInteger::MaxBitSize) RaiseOverflow(name);  // only near the largest precisions
  return static_cast<std::int32_t>(f);
}

// IsEpsilon(T·2^-f, SeriesBits) at the working precision.
bool FixedNegligible(const TInteger& t, std::int32_t f) {
  return t.IsZero() || static_cast<std::int64_t>(t.BitSize()) - f < static_cast<std::int64_t>(SeriesBits) - Precision;
}

// sum := x + x³/3 + x⁵/5 + ... (alternating: x - x³/3 + ...) for 0 < x < 1,
// stopping after the first negligible term. The powers run in fixed point and
// each is divided into the sum.
void OddSeries(TReal& sum, const TReal& x, bool alternating, std::string_view name) {
  // When x³ lies below the last bit kept of x, so do all the terms after x.
  if (2 * x.Pos() < -(static_cast<std::int64_t>(Precision) + FixedExtra())) {
    XAssign(sum, x);
    return;
  }
  const std::int32_t f = FixedScale(x.Pos(), name);
  TUVInteger x2, power, total, q, scratch;
  ToFixed(*power, x, f);
  IAssign(*total, *power);
  IAssign(*x2, *power);
  ISqr(*x2);
  IShr(*x2, f);
  for (std::int64_t k = 1;; ++k) {
    RuvBreak();
    MulFixed(*power, *x2, f, *scratch);
    IAssign(*q, *power);
    IDiv(*q, 2 * k + 1);
    if (alternating && (k & 1)) ISub(*total, *q); else IAdd(*total, *q);
    if (FixedNegligible(*q, f)) break;
  }
  FromFixed(sum, *total, f, name);
}

bool IsAbsOne(const TReal& a) {
  const TInteger& m = a.Mantissa();
  if (m.IsZero()) return false;
  const std::int32_t b = m.BitSize();
  return m.LowBit() == b - 1 && static_cast<std::int64_t>(a.Exponent()) == 1 - static_cast<std::int64_t>(b);
}

// sin and cos of x at the current precision (no negligibility pre-check).
// nearZero receives how many leading bits the sine cancels: the position of
// the reduced argument or of pi minus it, whichever is smaller (0 when the
// argument is negligible).
void SinCosCore(const TReal& x, TReal& s, TReal& c, std::int64_t& nearZero) {
  TReal b(x);
  XAbs(b);
  bool odd = false, flipSin = false;
  TReal pi;
  XPi(pi);
  if (XCmp(b, pi) >= 0) {
    TReal q(b);
    XDiv(q, pi);
    odd = XTrunc(q);
    XMul(q, pi);
    XSub(b, q);
    if (b.Sign() < 0) {
      // The quotient came out one too large by truncation: sin(-t) = -sin t.
      XAbs(b);
      flipSin = true;
    }
  }
  if (IsEpsilon(b, SeriesBits)) {
    s.SetZero();
    XSet(c, std::int64_t{odd ? -1 : 1});
    nearZero = 0;
    return;
  }
  {
    TReal rest(pi);
    XSub(rest, b);
    nearZero = rest.IsZero() ? b.Pos() : std::min(b.Pos(), rest.Pos());
  }
  // cos(b/4) - 1 = -u²/2! + u⁴/4! - ...
  TReal u2(b);
  MulPow2(u2, -2, "XSinCos");
  XSqr(u2);
  // In fixed point; the terms are kept positive and their signs alternate.
  const std::int32_t f = FixedScale(1, "XSinCos");
  TUVInteger fu2, term, total, scratch;
  ToFixed(*fu2, u2, f);
  IAssign(*term, *fu2);
  IShr1(*term);
  IAssign(*total, *term);
  INeg(*total);
  for (std::int64_t j = 2;; ++j) {
    RuvBreak();
    MulFixed(*term, *fu2, f, *scratch);
    IDiv(*term, (2 * j - 1) * (2 * j));
    if (j & 1) ISub(*total, *term); else IAdd(*total, *term);
    if (FixedNegligible(*term, f)) break;
  }
  TReal sum;
  FromFixed(sum, *total, f, "XSinCos");
  const TReal one(std::int64_t{1});
  XAdd(sum, one);
  // Two double-angle steps: cos 2t = 2cos²t - 1.
  for (int i = 0; i < 2; ++i) {
    XSqr(sum);
    XMul2(sum);
    XSub(sum, one);
  }
  XAssign(c, sum);
  XSqr(sum);
  XNeg(sum);
  XAdd(sum, one);
  XSqrRoot(sum);
  XSwap(s, sum);
  if (odd) {
    XNeg(s);
    XNeg(c);
  }
  if (flipSin) XNeg(s);
  if (x.Sign() < 0) XNeg(s);
}

}  // namespace

void XExp(TReal& a) {
  if (IsEpsilon(a, SeriesBits)) {
    XSet(a, std::int64_t{1});
    return;
  }
  TReal result;
  {
    TGuardedPrecision guard;
    // The pos(A) + 32 squarings below double the error of the series as many
    // times, which would eat the whole guard: carry pos(A) + 16 bits more.
    TFloat::IncPrecision(
        static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(a.Pos(), 0) + 16, TFloat::MaxPrecision)));
    TReal x(a);
    const bool negative = x.Sign() < 0;
    XAbs(x);
    // Scale below 2^-32 so that the series converges in few terms.
    std::int64_t c = x.Pos() + SeriesBits;
    if (c > 0)
      MulPow2(x, -c, "XExp");
    else
      c = 0;
    // 1 + x + x²/2! + ..., each term the previous one times x over k.
    const std::int32_t f = FixedScale(1, "XExp");
    TUVInteger fx, term, total, scratch;
    ToFixed(*fx, x, f);
    term->SetInt64(1);
    IShl(*term, f);
    IAssign(*total, *term);
    for (std::int64_t k = 1;; ++k) {
      RuvBreak();
      MulFixed(*term, *fx, f, *scratch);
      IDiv(*term, k);
      IAdd(*total, *term);
      if (FixedNegligible(*term, f)) break;
    }
    TReal sum;
    FromFixed(sum, *total, f, "XExp");
    for (std::int64_t i = 0; i < c; ++i) {
      RuvBreak();
      XSqr(sum);
    }
    if (negative) XInv(sum);
    guard.Restore();
    XAssign(result, sum);
  }
  XSwap(a, result);
}

void XLog(TReal& a) {
  if (a.Sign() <= 0) RaiseInvalidArg("XLog", "X <= 0");
  if (a.IsOne()) {
    a.SetZero();
    return;
  }
  TReal result;
  {
    TGuardedPrecision guard;
    const TReal one(std::int64_t{1});
    {
      // Close to 1 the logarithm is small and the square roots below lose
      // its leading bits: carry that many more.
      TReal d(a);
      XSub(d, one);
      if (!d.IsZero() && d.Pos() < 0) WidenFor(-d.Pos());
    }
    TReal x(a);
    const bool inverted = x.Pos() <= 0;
    if (inverted) XInv(x);
    std::int64_t c = 0;
    while (x.Pos() > 1) {
      RuvBreak();
      XSqrRoot(x);
      ++c;
    }
    for (int i = 0; i < 4; ++i) XSqrRoot(x);
    // ln x = 2·atanh(y), y = (x - 1)/(x + 1) = y + y³/3 + y⁵/5 + ...
    TReal y(x), t(x);
    XSub(y, one);
    XAdd(t, one);
    XDiv(y, t);
    TReal sum;
    OddSeries(sum, y, false, "XLog");
    MulPow2(sum, c + 5, "XLog");
    if (inverted) XNeg(sum);
    guard.Restore();
    XAssign(result, sum);
  }
  XSwap(a, result);
}

void XSinCos(const TReal& x, TReal& sin, TReal& cos) {
  if (&sin == &cos) RaiseDuplicatePtr("XSinCos", "Sin,Cos");
  if (IsEpsilon(x, SeriesBits)) {
    sin.SetZero();
    XSet(cos, std::int64_t{1});
    return;
  }
  TReal s, c;
  {
    TGuardedPrecision guard;
    // Reducing a large argument by multiples of pi cancels its integer bits.
    if (x.Pos() > 0) WidenFor(x.Pos());
    std::int64_t nearZero = 0;
    SinCosCore(x, s, c, nearZero);
    // sin from sqrt(1 - cos²) loses twice the leading zero bits of a small
    // sine; a small cosine loses its own. Redo with that many more bits.
    std::int64_t lost = std::max<std::int64_t>(0, -2 * nearZero);
    if (!c.IsZero()) lost = std::max<std::int64_t>(lost, -c.Pos());
    if (lost > SeriesBits / 2) {
      WidenFor(lost + SeriesBits);
      SinCosCore(x, s, c, nearZero);
    }
    guard.Restore();
    Normalize(s, "XSinCos");
    Normalize(c, "XSinCos");
  }
  XSwap(sin, s);
  XSwap(cos, c);
}

void XArcTan(TReal& a) {
  if (a.IsZero()) return;
  if (IsAbsOne(a)) {
    const bool negative = a.Sign() < 0;
    XPi(a);
    MulPow2(a, -2, "XArcTan");
    if (negative) XNeg(a);
    return;
  }
  TReal result;
  {
    TGuardedPrecision guard;
    const TReal one(std::int64_t{1});
    TReal x(a);
    const bool negative = x.Sign() < 0;
    XAbs(x);
    const bool reciprocal = XGreater(x, one);
    if (reciprocal) XInv(x);
    // Halve the angle until |x| < 1/16: x := x / (1 + sqrt(1 + x²)).
    std::int64_t c = 0;
    TReal t;
    while (x.Pos() >= -3) {
      RuvBreak();
      XAssign(t, x);
      XSqr(t);
      XAdd(t, one);
      XSqrRoot(t);
      XAdd(t, one);
      XDiv(x, t);
      ++c;
    }
    // x - x³/3 + x⁵/5 - ...
    TReal sum;
    OddSeries(sum, x, true, "XArcTan");
    MulPow2(sum, c, "XArcTan");
    if (reciprocal) {
      TReal halfPi;
      XPi(halfPi);
      MulPow2(halfPi, -1, "XArcTan");
      XSub(halfPi, sum);
      XSwap(sum, halfPi);
    }
    if (negative) XNeg(sum);
    guard.Restore();
    XAssign(result, sum);
  }
  XSwap(a, result);
}

void XArcTan2(TReal& y, const TReal& x) {
  const int sx = x.Sign(), sy = y.Sign();
  TReal result;
  if (sx == 0) {
    if (sy != 0) {
      XPi(result);
      MulPow2(result, -1, "XArcTan2");
      if (sy < 0) XNeg(result);
    }
  } else {
    TGuardedPrecision guard;
    TReal q(y);
    XDiv(q, x);
    XArcTan(q);
    if (sx < 0) {
      TReal pi;
      XPi(pi);
      // Zero carries no sign: atan2(0, x < 0) = pi.
      if (sy >= 0) XAdd(q, pi); else XSub(q, pi);
    }
    guard.Restore();
    XAssign(result, q);
  }
  XSwap(y, result);
}

}  // namespace rara
