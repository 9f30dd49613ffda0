// Exponential, logarithm, sine and cosine, arc tangent of reals. Each routine
// works with guard bits and puts the caller's precision back on every exit;
// series stop at the first term below the guard (that term is still added).
#include <algorithm>
#include <cmath>
#include <string_view>
#include <deque>
#include <vector>

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

// log2|a| for a != 0, from the top two words of the mantissa.
double Log2Abs(const TReal& a) {
  const TInteger& m = a.Mantissa();
  const std::int32_t n = m.Size();
  double top = static_cast<double>(m.Limbs()[n - 1]) * 4294967296.0;
  if (n >= 2) top += static_cast<double>(m.Limbs()[n - 2]);
  return std::log2(top) + 32.0 * (n - 2) + a.Exponent();
}

// sum := x + x³/3 + x⁵/5 + ... (alternating: x - x³/3 + ...) for 0 < x < 1,
// up to the first negligible term: x times the series in z = x² with
// coefficients 1/(2k+1), by rectangular splitting as below (each term a word
// division of a power of z at its block's scale).
void OddSeries(TReal& sum, const TReal& x, bool alternating, std::string_view name) {
  // When x³ lies below the last bit kept of x, so do all the terms after x.
  const std::int32_t extra = FixedExtra();
  if (2 * x.Pos() < -(static_cast<std::int64_t>(Precision) + extra)) {
    XAssign(sum, x);
    return;
  }
  const std::int32_t f = FixedScale(1, name);
  // The term count from the sizes of x^(2k+1)/(2k+1) in log2.
  const double lx = Log2Abs(x);
  const double edge = static_cast<double>(SeriesBits) - 1.0 - Precision - 1e-3;
  auto logTerm = [lx](std::int64_t k) { return (2 * k + 1) * lx - std::log2(static_cast<double>(2 * k + 1)); };
  std::int64_t n = 1;
  while (logTerm(n) >= edge) ++n;
  std::int64_t m = 1;
  while (m * m < n) ++m;

  std::deque<TUVInteger> powers;
  auto pw = [&powers](std::int64_t i) -> TInteger& { return *powers[static_cast<std::size_t>(i)]; };
  for (std::int64_t i = 0; i <= m; ++i) powers.emplace_back();
  TUVInteger scratch, acc, next, part;
  pw(0).SetInt64(1);
  IShl(pw(0), f);
  // z at scale f, from x at scale f + extra bits for its square.
  ToFixed(pw(1), x, f);
  ISqr(pw(1));
  IShr(pw(1), f);
  for (std::int64_t i = 2; i <= m; ++i) {
    RuvBreak();
    IAssign(pw(i), pw(i - 1));
    MulFixed(pw(i), pw(1), f, *scratch);
  }
  // Block b starts at z^(bm)/(2bm+1), relative to x.
  auto scaleOf = [&](std::int64_t b) {
    const double drop = std::floor(-(logTerm(b * m) - lx)) - 4;
    return drop <= 0 ? f : static_cast<std::int32_t>(std::max<double>(f - drop, 0));
  };
  const std::int64_t blocks = n / m;
  std::int32_t accScale = 0;
  for (std::int64_t b = blocks; b >= 0; --b) {
    RuvBreak();
    const std::int32_t fb = scaleOf(b);
    if (b == blocks) {
      acc->Clear();
    } else {
      const std::int32_t cut = std::max<std::int32_t>(0, f - fb - 3);
      IAssign(*part, pw(m));
      IShr(*part, cut);
      IMul(*acc, *part);
      IShr(*acc, accScale + f - cut - fb);
    }
    accScale = fb;
    const std::int64_t len = b == blocks ? n - blocks * m + 1 : m;
    for (std::int64_t i = len - 1; i >= 0; --i) {
      // acc += ±z^i/(2k+1), k = bm + i
      const std::int64_t k = b * m + i;
      IAssign(*next, pw(i));
      IShr(*next, f - fb);
      IDiv(*next, 2 * k + 1);
      if (alternating && (k & 1)) ISub(*acc, *next); else IAdd(*acc, *next);
    }
  }
  // sum := x·acc
  TReal factor;
  FromFixed(factor, *acc, accScale, name);
  XAssign(sum, x);
  XMul(sum, factor);
}

// Series 1 + u·s/d(1) + u²/(d(1)d(2)) + ..., each term the previous one
// times s·u/d(j) (s = ±1), for 0 < u < 1 and d(j) growing: the exponential
// (d(j) = j) and the cosine in u = t² (d(j) = (2j-1)2j, s = -1).
//
// Summed up to the first term below the guard, but by rectangular
// splitting: with the powers u..u^m at hand the terms go in blocks of m, each
// block by Horner's rule from its top, where one step is a word division by
// d(j) and an addition; the blocks are joined by one product by u^m. That
// is m + n/m products in place of n. Each block works at the bits its weight
// (the size of its first term) leaves significant.
template <typename D>
void RatioSeries(TReal& sum, const TReal& u, bool alternating, D d, std::string_view name) {
  const std::int32_t f = FixedScale(1, name);
  // The terms' sizes in log2 decide how many there are: the first one below
  // 2^(32-P), i.e. with pos < 32 - P. Near the edge, one more is taken.
  const double lu = Log2Abs(u);
  const double edge = static_cast<double>(SeriesBits) - 1.0 - Precision - 1e-3;
  std::int64_t n = 1;
  for (double l = lu - std::log2(static_cast<double>(d(1))); l >= edge; ++n)
    l += lu - std::log2(static_cast<double>(d(n + 1)));
  std::int64_t m = 1;
  while (m * m < n) ++m;
  if (m > n) m = n;

  // Powers u^0..u^m at full scale.
  std::deque<TUVInteger> powers;  // pooled scratch, stays in place as it grows
  auto pw = [&powers](std::int64_t i) -> TInteger& { return *powers[static_cast<std::size_t>(i)]; };
  for (std::int64_t i = 0; i <= m; ++i) powers.emplace_back();
  pw(0).SetInt64(1);
  IShl(pw(0), f);
  ToFixed(pw(1), u, f);
  TUVInteger scratch, acc, next, part;
  for (std::int64_t i = 2; i <= m; ++i) {
    RuvBreak();
    IAssign(pw(i), pw(i - 1));
    MulFixed(pw(i), pw(1), f, *scratch);
  }

  // Scale of block b: its first term weighs 2^w, so 2^-f of the sum is
  // 2^(-f-w) of the block (a few bits kept over).
  std::vector<double> weight;  // log2 of the first term of each block
  {
    double l = 0;
    for (std::int64_t j = 0; j <= n; ++j) {
      if (j % m == 0) weight.push_back(l);
      l += lu - std::log2(static_cast<double>(d(j + 1)));
    }
  }
  auto scaleOf = [&](std::int64_t b) {
    const double drop = std::floor(-weight[static_cast<std::size_t>(b)]) - 4;
    return drop <= 0 ? f : static_cast<std::int32_t>(std::max<double>(f - drop, 0));
  };

  const std::int64_t blocks = n / m;  // blocks 0..blocks; the last may be short
  std::int32_t accScale = 0;
  for (std::int64_t b = blocks; b >= 0; --b) {
    RuvBreak();
    const std::int32_t fb = scaleOf(b);
    // acc := u^m·(the blocks above), at scale fb.
    if (b == blocks) {
      acc->Clear();
    } else {
      // The bits of u^m below 2^cut move the product by under 1/4 unit.
      const std::int32_t cut = std::max<std::int32_t>(0, f - fb - 3);
      IAssign(*part, pw(m));
      IShr(*part, cut);
      IMul(*acc, *part);
      IShr(*acc, accScale + f - cut - fb);
    }
    accScale = fb;
    const std::int64_t len = b == blocks ? n - blocks * m + 1 : m;
    for (std::int64_t i = len; i >= 1; --i) {
      const std::int64_t j = b * m + i;
      // acc := u^(i-1) + s·acc/d(j)
      if (!acc->IsZero()) IDiv(*acc, d(j));
      IAssign(*next, pw(i - 1));
      IShr(*next, f - fb);
      if (alternating) ISub(*next, *acc); else IAdd(*next, *acc);
      ISwap(*acc, *next);
    }
  }
  FromFixed(sum, *acc, accScale, name);
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
  TReal u2(b);
  MulPow2(u2, -2, "XSinCos");
  XSqr(u2);
  // cos(b/4) = 1 - u²/2! + u⁴/4! - ..., u² = (b/4)².
  TReal sum;
  RatioSeries(sum, u2, true, [](std::int64_t j) { return (2 * j - 1) * (2 * j); }, "XSinCos");
  const TReal one(std::int64_t{1});
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
  // |A| >= 2^32 puts e^|A| at or above 2^(1.44·2^32), beyond the exponent
  // range at any precision: the squarings below would overflow anyway, after
  // pos(A) + 32 of them at a precision raised by pos(A) bits (or the raise
  // itself would fail first). Report that overflow at once.
  if (a.Pos() > 32) RaiseOverflow("XSqr");
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
    TReal sum;
    RatioSeries(sum, x, false, [](std::int64_t k) { return k; }, "XExp");
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
