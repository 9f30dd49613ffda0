// Exponential, logarithm, sine and cosine, arc tangent of reals. Each routine
// works with guard bits and puts the caller's precision back on every exit;
// series stop at the first term below the guard (that term is still added).
#include <algorithm>

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
  TReal term(u2), sum;
  XNeg(term);
  MulPow2(term, -1, "XSinCos");
  XAssign(sum, term);
  for (std::int64_t j = 2;; ++j) {
    RuvBreak();
    XMul(term, u2);
    XDiv(term, (2 * j - 1) * (2 * j));
    XNeg(term);
    XAdd(sum, term);
    if (IsEpsilon(term, SeriesBits)) break;
  }
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
    const TReal one(std::int64_t{1});
    TReal sum(one), term(one);
    for (std::int64_t k = 1;; ++k) {
      RuvBreak();
      XMul(term, x);
      XDiv(term, k);
      XAdd(sum, term);
      if (IsEpsilon(term, SeriesBits)) break;
    }
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
    TReal y2(y), sum(y), term(y), q;
    XSqr(y2);
    for (std::int64_t k = 1;; ++k) {
      RuvBreak();
      XMul(term, y2);
      XAssign(q, term);
      XDiv(q, 2 * k + 1);
      XAdd(sum, q);
      if (IsEpsilon(q, SeriesBits)) break;
    }
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
    TReal x2(x), sum(x), term(x), q;
    XSqr(x2);
    for (std::int64_t k = 1;; ++k) {
      RuvBreak();
      XMul(term, x2);
      XAssign(q, term);
      XDiv(q, 2 * k + 1);
      if (k & 1) XSub(sum, q); else XAdd(sum, q);
      if (IsEpsilon(q, SeriesBits)) break;
    }
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
