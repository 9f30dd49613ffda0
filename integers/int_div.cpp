// Integer division: the long division kernel over 32-bit limbs, the word
// division kernels, the division family with its rounding conventions, the
// integer square root and the word gcd.
#include <bit>
#include <cstdint>
#include <limits>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/int_kernels.h"
#include "integers/integers.h"
#include "integers/words.h"

namespace rara {

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// ---- Raw limb kernels (no allocation, no aliasing, sizes from the caller) ----

// u[0..n) -= q * v[0..n), two limbs per step as one 64-bit word (the limb
// order in memory is the word's own on little-endian machines); returns the
// borrow limb still to be subtracted at u[n]. Same result as limb::MulSub.
u32 MulSubPairs(u32* u, const u32* v, int n, u32 q) {
  if constexpr (!words::kLimbPairs) {
    return limb::MulSub(u, v, n, q);
  } else {
    // Product carry plus borrow, below 2^32.
    u64 carry = words::MulSubPairs(u, v, n / 2, q, 0);
    const int i = n & ~1;
    if (i < n) {
      const u64 p = static_cast<u64>(v[i]) * q + carry;
      const u32 lo = static_cast<u32>(p);
      carry = (p >> 32) + (u[i] < lo ? 1u : 0u);
      u[i] -= lo;
    }
    return static_cast<u32>(carry);
  }
}

// u[0..n] -= q * v[0..n-1]; returns true when the result went below zero.
bool SubMulLimbs(u32* u, const u32* v, int n, u32 q) {
  const u32 borrow = MulSubPairs(u, v, n, q);
  const u32 x = u[n];
  u[n] = x - borrow;
  return borrow > x;
}

// u[0..n] += v[0..n-1]; the carry out of u[n] is dropped (it cancels the
// borrow of the subtraction this undoes).
void AddBackLimbs(u32* u, const u32* v, int n) { u[n] += limb::Add(u, u, v, n); }

// a[0..n-1] := a div w in place, returns a mod w. w != 0.
u32 DivWordLimbs(u32* a, int n, u32 w) {
  u64 r = 0;
  for (int i = n - 1; i >= 0; --i) {
    u64 cur = (r << 32) | a[i];
    a[i] = static_cast<u32>(cur / w);
    r = cur % w;
  }
  return static_cast<u32>(r);
}

// a[0..n-1] mod w. w != 0.
u32 ModWordLimbs(const u32* a, int n, u32 w) {
  u64 r = 0;
  for (int i = n - 1; i >= 0; --i) r = ((r << 32) | a[i]) % w;
  return static_cast<u32>(r);
}

// ---- Long division ----

// What an abort in the middle of a division clears: the dividend and the
// quotient are half-updated and must not be mistaken for results.
struct TDivAbort {
  TInteger* dividend;
  TInteger* quotient;
};

void ClearDivision(void* context) {
  auto* c = static_cast<TDivAbort*>(context);
  if (c->dividend != nullptr) c->dividend->Clear();
  if (c->quotient != nullptr) c->quotient->Clear();
}

// Quotient loop over a normalized divisor vn (n >= 2 limbs, top bit set) and
// a dividend un of len limbs whose top n limbs are below vn. Leaves the
// remainder in un[0..n-1] (zeros above) and, when q is given, the quotient
// limbs in q[0..len-n-1].
void DivLoop(u32* un, int len, const u32* vn, int n, u32* q, TDivAbort* abortState) {
  const u32 w1 = vn[n - 1];
  const u32 w2 = vn[n - 2];
  for (int j = len - n - 1; j >= 0; --j) {
    const u32 top = un[j + n];
    const u32 next = un[j + n - 1];
    u64 qhat;
    u64 rhat;
    if (top == w1) {
      qhat = 0xFFFFFFFFu;
      rhat = static_cast<u64>(w1) + next;  // >= 2^32 ends the correction at once
    } else {
      const u64 num = (static_cast<u64>(top) << 32) | next;
      qhat = num / w1;
      rhat = num % w1;
    }
    const u32 third = un[j + n - 2];
    while (rhat <= 0xFFFFFFFFu && qhat * w2 > ((rhat << 32) | third)) {
      --qhat;
      rhat += w1;
    }
    if (SubMulLimbs(un + j, vn, n, static_cast<u32>(qhat))) {
      AddBackLimbs(un + j, vn, n);
      --qhat;
    }
    if (q != nullptr) q[j] = static_cast<u32>(qhat);
    RuvBreakThen(&ClearDivision, abortState);
  }
}

// |U| div |V| into *quot (when given) and |U| mod |V| into U (when wantRem;
// otherwise U is cleared). Needs Size(V) >= 2 and |U| > |V|. V may be *quot
// (it is copied first), never U. U keeps its sign flag; the quotient's sign
// is the caller's. Returns true when the remainder is zero.
bool DivKernel(TInteger& u, const TInteger& v, TInteger* quot, bool wantRem) {
  const int n = v.Size();
  const int m = u.Size();
  TUVInteger vcopy(v);
  u32* vn = vcopy->Limbs();
  const int d = std::countl_zero(vn[n - 1]);
  if (d != 0) limb::Shl(vn, vn, n, static_cast<unsigned>(d));

  // Room for the limb the shift may add and for one more above it.
  u.SetSize(m + 2, false);
  u32* un = u.Limbs();
  int len = m;
  if (d != 0) {
    un[m] = limb::Shl(un, un, m, static_cast<unsigned>(d));
    if (un[m] != 0) len = m + 1;
  }
  if (un[len - 1] >= vn[n - 1]) ++len;

  u32* qn = nullptr;
  if (quot != nullptr) {
    quot->SetSize(0, false);
    quot->SetSize(m - n + 2, false);
    qn = quot->Limbs();
  }

  TDivAbort abortState{&u, quot};
  DivLoop(un, len, vn, n, qn, &abortState);

  if (quot != nullptr) quot->Normalize();
  bool remZero = true;
  for (int i = 0; i < n; ++i) {
    if (un[i] != 0) {
      remZero = false;
      break;
    }
  }
  if (!wantRem) {
    u.Clear();
    return remZero;
  }
  if (d != 0) limb::Shr(un, un, n, static_cast<unsigned>(d));
  u.SetSize(n, false);
  u.Normalize();
  return remZero;
}

// Lowers the size by one limb after the top limb became zero; storage
// shrinks only when the new size is a multiple of 8.
void DropTopLimb(TInteger& a) {
  const int s = a.Size() - 1;
  a.SetSize(s, s % 8 == 0);
}

u64 AbsU64(std::int64_t n) { return n < 0 ? u64{0} - static_cast<u64>(n) : static_cast<u64>(n); }

// Low 64 bits of the magnitude, with the sign of the integer.
std::int64_t ToInt64(const TInteger& a) {
  u64 v = a.Size() == 0 ? 0 : a.Limbs()[0];
  if (a.Size() > 1) v |= static_cast<u64>(a.Limbs()[1]) << 32;
  return a.Negative() ? static_cast<std::int64_t>(u64{0} - v) : static_cast<std::int64_t>(v);
}

void SetSigned(TInteger& a, bool negative) {
  a.SetNegativeRaw(negative && a.Size() != 0);
}

}  // namespace

// ---- Word kernels ----

std::uint32_t IDivWord(TInteger& a, std::uint32_t w) {
  if (w == 0) RaiseDivByZero("IDivWord");
  if (a.Size() == 0) return 0;
  const u32 r = DivWordLimbs(a.Limbs(), a.Size(), w);
  if (a.Limbs()[a.Size() - 1] == 0) DropTopLimb(a);
  return r;
}

std::uint32_t IModWord(const TInteger& a, std::uint32_t w) {
  if (w == 0) RaiseDivByZero("IModWord");
  return ModWordLimbs(a.Limbs(), a.Size(), w);
}

std::uint32_t IGcdWord(std::uint32_t a, std::uint32_t b) {
  while (b != 0) {
    const u32 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// ---- Division family ----

bool IDiv(TInteger& a, const TInteger& b) {
  if (b.IsZero()) RaiseDivByZero("IDiv");
  RuvBreak();
  if (a.IsZero()) return true;
  const int c = ICmpAbs(a, b);
  if (c < 0) {
    a.Clear();
    return false;
  }
  const bool negative = a.Negative() != b.Negative();
  if (c == 0) {
    if (negative) a.SetMinusOne(); else a.SetOne();
    return true;
  }
  if (b.Size() == 1) {
    const u32 r = IDivWord(a, b.Limbs()[0]);
    SetSigned(a, negative);
    return r == 0;
  }
  TUVInteger rest(b);
  ISwap(a, *rest);
  const bool exact = DivKernel(*rest, a, &a, false);
  SetSigned(a, negative);
  return exact;
}

std::int64_t IDiv(TInteger& a, std::int64_t n) {
  if (n == 0) RaiseDivByZero("IDiv");
  if (a.IsZero()) return 0;
  const bool oldNegative = a.Negative();
  const u64 an = AbsU64(n);
  if (an > 0xFFFFFFFFu) {
    TUVInteger divisor;
    divisor->SetInt64(n);
    IRemDiv(a, *divisor);
    ISwap(a, *divisor);
    return ToInt64(*divisor);  // the remainder carries the old sign of A
  }
  if (an == 1) {
    if (n < 0) INeg(a);
    return 0;
  }
  const u32 r = IDivWord(a, static_cast<u32>(an));
  if (n < 0 && !a.IsZero()) INeg(a);
  return oldNegative ? -static_cast<std::int64_t>(r) : static_cast<std::int64_t>(r);
}

void IMod(TInteger& a, const TInteger& b) {
  if (b.IsZero()) RaiseDivByZero("IMod");
  RuvBreak();
  if (a.IsZero()) return;
  const int c = ICmpAbs(a, b);
  if (c > 0) {
    if (b.Size() == 1) {
      const bool negative = a.Negative();
      const u32 r = ModWordLimbs(a.Limbs(), a.Size(), b.Limbs()[0]);
      a.SetInt64(r);
      SetSigned(a, negative);
    } else {
      DivKernel(a, b, nullptr, true);
    }
  } else if (c == 0) {
    a.Clear();
  }
  if (!a.IsZero() && a.Negative() != b.Negative()) IAdd(a, b);
}

std::int64_t IMod(const TInteger& a, std::int64_t n) {
  if (n == 0) RaiseDivByZero("IMod");
  const u64 an = AbsU64(n);
  if (an > 0xFFFFFFFFu) {
    TUVInteger x(a);
    TUVInteger divisor;
    divisor->SetInt64(n);
    IMod(*x, *divisor);
    return ToInt64(*x);
  }
  const u64 r = ModWordLimbs(a.Limbs(), a.Size(), static_cast<u32>(an));
  if (r == 0) return 0;
  const auto sr = static_cast<std::int64_t>(r);
  if (!a.Negative()) return n > 0 ? sr : n + sr;
  return n > 0 ? n - sr : -sr;
}

void IRemDiv(TInteger& a, TInteger& b) {
  if (&a == &b) RaiseDuplicatePtr("IRemDiv", "A,B");
  if (b.IsZero()) RaiseDivByZero("IRemDiv");
  RuvBreak();
  if (a.IsZero()) {
    b.Clear();
    return;
  }
  const int c = ICmpAbs(a, b);
  const bool negative = a.Negative() != b.Negative();
  if (c > 0) {
    if (b.Size() == 1) {
      const bool remNegative = a.Negative();
      const u32 r = IDivWord(a, b.Limbs()[0]);
      ISwap(a, b);
      SetSigned(b, negative);
      a.SetInt64(r);
      SetSigned(a, remNegative);
    } else {
      DivKernel(a, b, &b, true);
      SetSigned(b, negative);
    }
  } else if (c == 0) {
    if (negative) b.SetMinusOne(); else b.SetOne();
    a.Clear();
  } else {
    b.Clear();
  }
}

void IModDiv(TInteger& a, TInteger& b) {
  if (&a == &b) RaiseDuplicatePtr("IModDiv", "A,B");
  if (b.IsZero()) RaiseDivByZero("IModDiv");
  if (a.Negative() == b.Negative()) {
    IRemDiv(a, b);
    return;
  }
  TUVInteger oldB(b);
  IRemDiv(a, b);
  if (!a.IsZero()) {
    IAdd(a, *oldB);
    IDec(b);
  }
}

// ---- Square root ----

void ISqrRoot(TInteger& a) {
  if (a.Negative()) RaiseInvalidArg("ISqrRoot", "A < 0");
  RuvBreak();
  if (a.IsZero()) return;
  if (a.Size() == 1) {
    const u32 v = a.Limbs()[0];
    if (v < 2) return;
    u32 x = v / 2;
    for (;;) {
      const u32 y = static_cast<u32>((static_cast<u64>(x) + v / x) / 2);
      if (y >= x) break;
      x = y;
    }
    a.SetInt64(x);
    return;
  }
  // Newton from above: 2^ceil(bits/2) exceeds the root, and the iterates
  // fall strictly until they reach it.
  TUVInteger x;
  TUVInteger y;
  x->Clear();
  x->SetBit(static_cast<std::uint32_t>((a.BitSize() + 1) / 2), true);
  for (;;) {
    IAssign(*y, a);
    IDiv(*y, *x);
    IAdd(*y, *x);
    IShr1(*y);
    if (ICmpAbs(*y, *x) >= 0) break;
    ISwap(*x, *y);
  }
  IAssign(a, *x);
}

}  // namespace rara
