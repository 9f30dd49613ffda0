// The four operations, doubling, squaring, inverse and square root of reals.
// Each result is exact before the final truncation to P bits.
#include <algorithm>

#include "floats/float_internal.h"
#include "integers/errors.h"

namespace rara {

using namespace float_detail;

void XAdd(TReal& a, const TReal& b) {
  if (&a == &b) {
    if (!a.IsZero()) SetExponent(a, static_cast<std::int64_t>(a.Exponent()) + 1, "XAdd");
    Normalize(a, "XAdd");
    return;
  }
  if (b.IsZero()) {
    Normalize(a, "XAdd");
    return;
  }
  if (a.IsZero()) {
    XAssign(a, b);
    return;
  }
  const std::int64_t pa = a.Pos(), pb = b.Pos();
  const std::int64_t d = pa > pb ? pa - pb : pb - pa;
  if (d > Precision) {
    // The smaller operand is below the last kept bit: the larger one stands.
    if (pb > pa) XAssign(a, b); else Normalize(a, "XAdd");
    return;
  }
  // Exact sum at the smaller exponent, built aside so that an overflow
  // leaves a as it was.
  const std::int64_t diff = static_cast<std::int64_t>(a.Exponent()) - b.Exponent();
  if (diff > TInteger::MaxBitSize || diff < -static_cast<std::int64_t>(TInteger::MaxBitSize))
    RaiseOverflow("XAdd");
  if (diff >= 0) {
    TUVInteger t(a.Mantissa());
    IShl(*t, static_cast<std::int32_t>(diff));
    IAdd(*t, b.Mantissa());
    NormalizeInto(a, *t, b.Exponent(), "XAdd");
  } else {
    TUVInteger t(b.Mantissa());
    IShl(*t, static_cast<std::int32_t>(-diff));
    IAdd(*t, a.Mantissa());
    NormalizeInto(a, *t, a.Exponent(), "XAdd");
  }
}

void XSub(TReal& a, const TReal& b) {
  if (&a == &b) {
    a.SetZero();
    return;
  }
  // -(-a + b): truncation stays symmetric about zero.
  XNeg(a);
  XAdd(a, b);
  XNeg(a);
}

void XMul(TReal& a, const TReal& b) {
  if (&a == &b) {
    XSqr(a);
    return;
  }
  if (a.IsZero() || b.IsZero()) {
    a.SetZero();
    return;
  }
  const std::int64_t e = static_cast<std::int64_t>(a.Exponent()) + b.Exponent();
  if (e < INT32_MIN || e > INT32_MAX) RaiseOverflow("XMul");
  TUVInteger t(a.Mantissa());
  IMul(*t, b.Mantissa());
  NormalizeInto(a, *t, e, "XMul");
}

void XMul2(TReal& a) {
  if (a.IsZero()) return;
  SetExponent(a, static_cast<std::int64_t>(a.Exponent()) + 1, "XMul2");
}

void XMulPow2(TReal& a, std::int64_t k) { MulPow2(a, k, "XMulPow2"); }

void XSqr(TReal& a) {
  if (a.IsZero()) return;
  const std::int64_t e = 2 * static_cast<std::int64_t>(a.Exponent());
  if (e < INT32_MIN || e > INT32_MAX) RaiseOverflow("XSqr");
  TUVInteger t(a.Mantissa());
  ISqr(*t);
  NormalizeInto(a, *t, e, "XSqr");
}

void XDiv(TReal& a, const TReal& b) {
  if (b.IsZero()) RaiseDivByZero("XDiv");
  if (&a == &b) {
    XSet(a, std::int64_t{1});
    return;
  }
  if (a.IsZero()) return;
  const std::int32_t bb = b.Mantissa().BitSize();
  // Enough dividend bits for a P-bit quotient even when a is short.
  const std::int32_t shift = bb + std::max<std::int32_t>(0, Precision - a.Mantissa().BitSize());
  const std::int64_t e = static_cast<std::int64_t>(a.Exponent()) - shift - b.Exponent();
  TUVInteger t(a.Mantissa());
  IShl(*t, shift);
  IDiv(*t, b.Mantissa());
  NormalizeInto(a, *t, e, "XDiv");
}

void XDiv(TReal& a, std::int64_t n) {
  if (n == 0) RaiseDivByZero("XDiv");
  if (a.IsZero()) return;
  const std::int32_t shift = 63 + std::max<std::int32_t>(0, Precision - a.Mantissa().BitSize());
  const std::int64_t e = static_cast<std::int64_t>(a.Exponent()) - shift;
  TUVInteger t(a.Mantissa());
  IShl(*t, shift);
  IDiv(*t, n);
  NormalizeInto(a, *t, e, "XDiv");
}

void XInv(TReal& a) {
  if (a.IsZero()) RaiseDivByZero("XInv");
  TReal one(std::int64_t{1});
  XDiv(one, a);
  XSwap(a, one);
}

namespace {

// x := floor(sqrt(x)), x >= 0. The root of the top half, scaled up, is good
// to half the bits; one Newton step from above doubles that and lands at
// most a few units over the floor. Costs about two full divisions instead of
// a Newton run from a power of two.
void FloorSqrt(TInteger& x) {
  const std::int32_t n = x.BitSize();
  if (n <= 128) {
    ISqrRoot(x);
    return;
  }
  const std::int32_t t = n / 4;
  TUVInteger r(x);
  IShr(*r, 2 * t);
  FloorSqrt(*r);
  IInc(*r);
  IShl(*r, t);  // r > sqrt(x)
  TUVInteger q(x);
  IDiv(*q, *r);
  IAdd(*r, *q);
  IShr1(*r);    // still >= floor(sqrt(x))
  TUVInteger sq;
  for (;;) {
    IAssign(*sq, *r);
    ISqr(*sq);
    if (ICmpAbs(*sq, x) <= 0) break;
    IDec(*r);
  }
  ISwap(x, *r);
}

}  // namespace

void XSqrRoot(TReal& a) {
  if (a.Sign() < 0) RaiseInvalidArg("XSqrRoot", "X must be >= 0");
  if (a.IsZero()) return;
  TInteger& m = M(a);
  const std::int32_t bits = m.BitSize();
  // k bits appended make m·2^k about 2P bits long, so the root has P bits.
  std::int64_t k = bits >= Precision ? bits : 2 * static_cast<std::int64_t>(Precision) - bits;
  std::int64_t e = static_cast<std::int64_t>(a.Exponent()) - k;
  if (e & 1) {
    ++e;
    --k;
  }
  IShl(m, static_cast<std::int32_t>(k));
  FloorSqrt(m);
  Normalize(a, e / 2, "XSqrRoot");
}

}  // namespace rara
