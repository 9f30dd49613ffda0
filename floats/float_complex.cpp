// Complex numbers: arithmetic, exponential, principal logarithm, powers and
// roots, built on the real routines.
#include <algorithm>

#include "floats/float_internal.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

using namespace float_detail;

void XSet(TComplex& z, std::int64_t re, std::int64_t im) {
  XSet(z.Re(), re);
  XSet(z.Im(), im);
}

void XAssign(TComplex& z, const TComplex& w) {
  XAssign(z.Re(), w.Re());
  XAssign(z.Im(), w.Im());
}

void XSwap(TComplex& z, TComplex& w) noexcept {
  XSwap(z.Re(), w.Re());
  XSwap(z.Im(), w.Im());
}

void XNeg(TComplex& z) noexcept {
  XNeg(z.Re());
  XNeg(z.Im());
}

void XConj(TComplex& z) noexcept { XNeg(z.Im()); }

void XNorm(TReal& r, const TComplex& z) {
  TReal t(z.Im());
  XSqr(t);
  TReal n(z.Re());
  XSqr(n);
  XAdd(n, t);
  XSwap(r, n);
}

void XAbs(TReal& r, const TComplex& z) {
  XNorm(r, z);
  XSqrRoot(r);
}

bool IsEpsilon(const TComplex& z, std::int32_t bits) {
  if (bits > Precision) RaiseInvalidArg("TComplex.IsEpsilon", "Bits > Precision");
  return IsEpsilon(z.Re(), bits) && IsEpsilon(z.Im(), bits);
}

void XAdd(TComplex& z, const TComplex& w) {
  if (&z == &w) {
    XMul2(z);
    return;
  }
  XAdd(z.Re(), w.Re());
  XAdd(z.Im(), w.Im());
}

void XSub(TComplex& z, const TComplex& w) {
  if (&z == &w) {
    z.SetZero();
    return;
  }
  XSub(z.Re(), w.Re());
  XSub(z.Im(), w.Im());
}

void XMul(TComplex& z, const TComplex& w) {
  if (&z == &w) {
    XSqr(z);
    return;
  }
  // (a + bi)(c + di): ac, bd and (a + b)(c + d).
  TReal& a = z.Re();
  TReal& b = z.Im();
  TReal ac(a), bd(b), cross(a), t(w.Re());
  XMul(ac, w.Re());
  XMul(bd, w.Im());
  XAdd(cross, b);
  XAdd(t, w.Im());
  XMul(cross, t);
  XSub(cross, ac);
  XSub(cross, bd);  // ad + bc
  XSub(ac, bd);     // ac - bd
  XSwap(a, ac);
  XSwap(b, cross);
}

void XMul2(TComplex& z) {
  XMul2(z.Re());
  XMul2(z.Im());
}

void XSqr(TComplex& z) {
  // (a + bi)² = (a + b)(a - b) + 2abi
  TReal& a = z.Re();
  TReal& b = z.Im();
  TReal sum(a), diff(a);
  XAdd(sum, b);
  XSub(diff, b);
  XMul(sum, diff);
  XMul(b, a);
  XMul2(b);
  XSwap(a, sum);
}

void XInv(TComplex& z) {
  if (z.IsZero()) RaiseDivByZero("XInv");
  // conj(z) / |z|²
  TReal n;
  XNorm(n, z);
  XDiv(z.Re(), n);
  XDiv(z.Im(), n);
  XNeg(z.Im());
}

void XDiv(TComplex& z, const TComplex& w) {
  if (w.IsZero()) RaiseDivByZero("XDiv");
  if (&z == &w) {
    XSet(z, 1, 0);
    return;
  }
  TComplex inv(w);
  XInv(inv);
  XMul(z, inv);
}

void XDiv(TComplex& z, std::int64_t n) {
  if (n == 0) RaiseDivByZero("XDiv");
  XDiv(z.Re(), n);
  XDiv(z.Im(), n);
}

void XDiv(TComplex& z, const TReal& r) {
  if (r.IsZero()) RaiseDivByZero("XDiv");
  XDiv(z.Re(), r);
  XDiv(z.Im(), r);
}

void XExp(TComplex& z) {
  TComplex result;
  {
    TGuardedPrecision guard;
    // e^a·(cos b + i sin b)
    TReal r(z.Re());
    XExp(r);
    TReal s, c;
    XSinCos(z.Im(), s, c);
    XMul(c, r);
    XMul(s, r);
    guard.Restore();
    XAssign(result.Re(), c);
    XAssign(result.Im(), s);
  }
  XSwap(z, result);
}

void XLog(TComplex& z) {
  TComplex result;
  {
    TGuardedPrecision guard;
    TReal r;
    XNorm(r, z);
    if (r.IsZero()) RaiseInvalidArg("XLog", "Log of |X| = 0");
    {
      // Near the unit circle ln|z| is small and the truncated squares would
      // decide it: recompute the norm with the bits it cancels (at most the
      // width of the parts, beyond which it is exact).
      TReal d(r);
      XSub(d, TReal(std::int64_t{1}));
      const std::int64_t lost = d.IsZero() ? Precision : std::min<std::int64_t>(-d.Pos(), Precision);
      if (lost > TFloat::GuardBits / 2) {
        TFloat::IncPrecision(static_cast<std::int32_t>(lost) + TFloat::GuardBits);
        XNorm(r, z);
      }
    }
    XSqrRoot(r);
    XLog(r);
    TReal angle(z.Im());
    XArcTan2(angle, z.Re());
    guard.Restore();
    XAssign(result.Re(), r);
    XAssign(result.Im(), angle);
  }
  XSwap(z, result);
}

namespace {

// z := exp(log(z)·a/b) with guard bits; b != 0, a != 0.
void PowFraction(TComplex& z, std::int64_t a, std::int64_t b) {
  if (z.IsZero() && (a < 0) == (b < 0)) return;  // 0 to a positive power
  TComplex result;
  {
    TGuardedPrecision guard;
    TComplex w(z);
    XLog(w);
    MulInt64(w.Re(), a, "XPow");
    MulInt64(w.Im(), a, "XPow");
    XDiv(w, b);
    XExp(w);
    guard.Restore();
    XAssign(result, w);
  }
  XSwap(z, result);
}

}  // namespace

void XPow(TComplex& z, std::int32_t a, std::int32_t b) {
  if (b == 0) RaiseDivByZero("XPow");
  if (a == 0) {
    XSet(z, 1, 0);
    return;
  }
  PowFraction(z, a, b);
}

void XRoot(TComplex& z, std::int32_t n) {
  if (n == 0) RaiseDivByZero("XRoot");
  PowFraction(z, 1, n);
}

void XPow(TComplex& z, std::int32_t n) {
  if (n == 0) {
    XSet(z, 1, 0);
    return;
  }
  if (z.IsZero()) {
    if (n < 0) RaiseDivByZero("XInv");  // 1/0
    return;
  }
  std::uint32_t e = n < 0 ? 0u - static_cast<std::uint32_t>(n) : static_cast<std::uint32_t>(n);
  TComplex base(z);
  if (n < 0) XInv(base);
  TComplex acc;
  if (e & 1u)
    XAssign(acc, base);
  else
    XSet(acc, 1, 0);
  e >>= 1;
  while (e != 0) {
    RuvBreak();
    XSqr(base);
    if (e & 1u) XMul(acc, base);
    e >>= 1;
  }
  XSwap(z, acc);
}

}  // namespace rara
