// Integer multiplication, squaring and powering. Below the Karatsuba
// thresholds (limb counts S and M) the schoolbook kernels run; above them the
// split recursion runs on raw limb arrays in one scratch block per call, with
// the same splits and the same products as the integer-level description.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/int_kernels.h"
#include "integers/integers.h"
#include "integers/secure_wipe.h"
#include "integers/settings.h"
#include "integers/thresholds.h"

namespace rara {

namespace {

using u32 = std::uint32_t;

std::int32_t Trim(const u32* a, std::int32_t n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}

void Zero(u32* r, std::int32_t n) {
  if (n > 0) std::memset(r, 0, sizeof(u32) * static_cast<std::size_t>(n));
}

void Copy(u32* r, const u32* a, std::int32_t n) {
  if (n > 0) std::memcpy(r, a, sizeof(u32) * static_cast<std::size_t>(n));
}

// r[0..n) += x[0..nx), nx <= n; the carry must not leave r.
void AddInto(u32* r, std::int32_t n, const u32* x, std::int32_t nx) {
  u32 c = limb::Add(r, r, x, nx);
  limb::AddWord(r + nx, n - nx, c);
}

// r[0..n) -= x[0..nx), nx <= n; r >= x.
void SubFrom(u32* r, std::int32_t n, const u32* x, std::int32_t nx) {
  u32 b = limb::Sub(r, r, x, nx);
  limb::SubWord(r + nx, n - nx, b);
}

// r := x + y (nx >= 1 or ny >= 1); returns the trimmed length (<= max + 1).
std::int32_t AddUneven(u32* r, const u32* x, std::int32_t nx, const u32* y, std::int32_t ny) {
  if (nx < ny) {
    std::swap(x, y);
    std::swap(nx, ny);
  }
  u32 c = limb::Add(r, x, y, ny);
  Copy(r + ny, x + ny, nx - ny);
  r[nx] = limb::AddWord(r + ny, nx - ny, c);
  return Trim(r, nx + 1);
}

// Scratch limbs needed by the recursion for operands of at most n limbs: per
// level two sums or a difference, the middle product and its sum.
std::int64_t ScratchLimbs(std::int64_t n, std::int32_t threshold) {
  std::int64_t total = 16;
  while (n > threshold) {
    total += 3 * n + 16;
    n = n / 2 + 2;
  }
  return total;
}

// r[0..na+nb) := a·b, na and nb >= 1 with non-zero top limbs; ws is scratch.
void MulRec(u32* r, const u32* a, std::int32_t na, const u32* b, std::int32_t nb, u32* ws,
            std::int32_t m) {
  RuvBreak();
  if (na <= m || nb <= m) {
    if (na >= nb)
      limb::Mul(r, a, na, b, nb);
    else
      limb::Mul(r, b, nb, a, na);
    return;
  }
  std::int32_t h = std::max(na, nb) / 2;
  if (na > h && nb > h) {
    // Three products: A0·B0, A1·B1 and (A1+A0)·(B1+B0).
    std::int32_t na0 = Trim(a, h), nb0 = Trim(b, h);
    std::int32_t na1 = na - h, nb1 = nb - h;
    if (na0 > 0 && nb0 > 0) {
      MulRec(r, a, na0, b, nb0, ws, m);
      Zero(r + na0 + nb0, 2 * h - na0 - nb0);
    } else {
      Zero(r, 2 * h);
    }
    MulRec(r + 2 * h, a + h, na1, b + h, nb1, ws, m);
    u32* sa = ws;
    std::int32_t nsa = AddUneven(sa, a + h, na1, a, na0);
    u32* sb = sa + nsa + 1;
    std::int32_t nsb = AddUneven(sb, b + h, nb1, b, nb0);
    u32* t = sb + nsb + 1;
    std::int32_t nt = nsa + nsb;
    MulRec(t, sa, nsa, sb, nsb, t + nt, m);
    // T - A0·B0 - A1·B1 = A1·B0 + A0·B1, added at limb h.
    if (na0 > 0 && nb0 > 0) SubFrom(t, nt, r, na0 + nb0);
    SubFrom(t, nt, r + 2 * h, na1 + nb1);
    nt = Trim(t, nt);
    AddInto(r + h, na + nb - h, t, nt);
    return;
  }
  // One operand is split: X = X1·2^(32h) + X0, the other Y is whole.
  const u32* x = a;
  const u32* y = b;
  std::int32_t nx = na, ny = nb;
  if (nb > h) {
    std::swap(x, y);
    std::swap(nx, ny);
  }
  std::int32_t nx0 = Trim(x, h), nx1 = nx - h;
  Zero(r, h);
  MulRec(r + h, x + h, nx1, y, ny, ws, m);
  if (nx0 > 0) {
    MulRec(ws, x, nx0, y, ny, ws + nx0 + ny, m);
    AddInto(r, na + nb, ws, nx0 + ny);
  }
}

// r[0..2n) := a², n >= 1 with a non-zero top limb; ws is scratch.
void SqrRec(u32* r, const u32* a, std::int32_t n, u32* ws, std::int32_t s) {
  RuvBreak();
  if (n <= s) {
    limb::Sqr(r, a, n);
    return;
  }
  std::int32_t h = n / 2;
  std::int32_t n0 = Trim(a, h), n1 = n - h;
  const u32* a1 = a + h;
  if (n0 > 0) {
    SqrRec(r, a, n0, ws, s);
    Zero(r + 2 * n0, 2 * h - 2 * n0);
  } else {
    Zero(r, 2 * h);
  }
  SqrRec(r + 2 * h, a1, n1, ws, s);
  // D = |A1 - A0| (n1 >= h >= n0); D² = A1² + A0² - 2·A1·A0 whatever the sign.
  u32* d = ws;
  std::int32_t nd;
  if (n1 > n0 || limb::Cmp(a1, a, n1) >= 0) {
    u32 borrow = limb::Sub(d, a1, a, n0);
    Copy(d + n0, a1 + n0, n1 - n0);
    limb::SubWord(d + n0, n1 - n0, borrow);
    nd = Trim(d, n1);
  } else {
    limb::Sub(d, a, a1, n0);
    nd = Trim(d, n0);
  }
  // Middle term 2·A1·A0 = A1² + A0² - D², added at limb h.
  std::int32_t nm = 2 * n1 + 1;
  u32* mid = d + n1;
  Copy(mid, r + 2 * h, 2 * n1);
  mid[2 * n1] = 0;
  if (n0 > 0) AddInto(mid, nm, r, 2 * n0);
  if (nd > 0) {
    u32* t = mid + nm;
    SqrRec(t, d, nd, t + 2 * nd, s);
    SubFrom(mid, nm, t, 2 * nd);
  }
  nm = Trim(mid, nm);
  AddInto(r + h, 2 * n - h, mid, nm);
}

// The recursion's scratch block, wiped before release under SecureWipe.
class TScratch {
 public:
  explicit TScratch(std::int64_t n) : n_(n) {
    p_ = static_cast<u32*>(std::malloc(sizeof(u32) * static_cast<std::size_t>(n)));
    if (p_ == nullptr) throw std::bad_alloc();
  }
  ~TScratch() {
    if (SecureWipe) SecureZero(p_, sizeof(u32) * static_cast<std::size_t>(n_));
    std::free(p_);
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  u32* get() const { return p_; }

 private:
  u32* p_;
  std::int64_t n_;
};

// A pool integer that receives a product and is then exchanged into the
// result. If an error or abort passes first, its half-written limbs are
// trimmed back to a valid value before it returns to the pool.
class TProductHold {
 public:
  TProductHold() : item_(&UVGet()) {}
  ~TProductHold() {
    if (!done_) item_->Normalize();
    UVBack(item_);
  }
  TProductHold(const TProductHold&) = delete;
  TProductHold& operator=(const TProductHold&) = delete;
  TInteger& get() const { return *item_; }
  void Done() { done_ = true; }

 private:
  TInteger* item_;
  bool done_ = false;
};

// Products whose limbs and scratch fit this many limbs are built on the stack
// and copied into the result, which keeps its block when it is large enough.
constexpr std::int32_t kStackLimbs = 2048;

// Wipes a stack buffer on scope exit under SecureWipe.
class TStackWipe {
 public:
  TStackWipe(u32* p, std::int64_t n) : p_(p), n_(n) {}
  ~TStackWipe() {
    if (SecureWipe) SecureZero(p_, sizeof(u32) * static_cast<std::size_t>(n_));
  }
  TStackWipe(const TStackWipe&) = delete;
  TStackWipe& operator=(const TStackWipe&) = delete;

 private:
  u32* p_;
  std::int64_t n_;
};

// a := the n-limb product in p (at most one leading zero limb), with sign.
void StoreProduct(TInteger& a, const u32* p, std::int32_t n, bool negative) {
  if (p[n - 1] == 0) --n;
  a.SetSize(n, false);
  Copy(a.Limbs(), p, n);
  a.SetNegativeRaw(negative);
}

// a := a·b with b given as bn >= 2 normalized limbs that are not a's; a != 0.
void MulLimbs(TInteger& a, const u32* bl, std::int32_t bn, bool bneg) {
  std::int32_t na = a.Size();
  std::int32_t n = na + bn;
  bool negative = a.Negative() != bneg;
  std::int32_t m = KaratsubaMulThreshold.load(std::memory_order_relaxed);
  bool karatsuba = na > m && bn > m;
  std::int64_t scratch = karatsuba ? ScratchLimbs(std::max(na, bn), m) : 0;
  if (n + scratch <= kStackLimbs) {
    u32 buf[kStackLimbs];
    TStackWipe wipe(buf, n + scratch);
    MulRec(buf, a.Limbs(), na, bl, bn, buf + n, m);
    StoreProduct(a, buf, n, negative);
    return;
  }
  TProductHold hold;
  TInteger& r = hold.get();
  r.SetSize(n, false);
  if (karatsuba) {
    TScratch ws(scratch);
    MulRec(r.Limbs(), a.Limbs(), na, bl, bn, ws.get(), m);
  } else {
    MulRec(r.Limbs(), a.Limbs(), na, bl, bn, nullptr, m);
  }
  if (r.Limbs()[n - 1] == 0) r.SetSize(n - 1, false);
  r.SetNegativeRaw(negative);
  ISwap(a, r);
  hold.Done();
}

}  // namespace

void IMulWord(TInteger& a, std::uint32_t w) {
  if (a.Size() == 0) return;
  if (w == 0) {
    a.Clear();
    return;
  }
  std::int32_t n = a.Size();
  u32 c = limb::MulWord(a.Limbs(), a.Limbs(), n, w);
  if (c != 0) {
    a.SetSize(n + 1, false);
    a.Limbs()[n] = c;
  }
}

void IMul(TInteger& a, std::int64_t n) {
  if (a.Size() == 0) return;
  if (n == 0) {
    a.Clear();
    return;
  }
  if (n < 0) INeg(a);
  // Magnitude in unsigned arithmetic: -2^63 has magnitude 2^63.
  std::uint64_t mag = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  if (mag >> 32 != 0) {
    const u32 l[2] = {static_cast<u32>(mag), static_cast<u32>(mag >> 32)};
    MulLimbs(a, l, 2, false);
  } else if (mag != 1) {
    IMulWord(a, static_cast<u32>(mag));
  }
}

void IMul(TInteger& a, const TInteger& b) {
  if (&a == &b) {
    ISqr(a);
    return;
  }
  RuvBreak();
  if (a.Size() == 0) return;
  if (b.Size() == 0) {
    a.Clear();
    return;
  }
  if (b.Size() == 1) {
    bool negative = a.Negative() != b.Negative();
    IMulWord(a, b.Limbs()[0]);
    a.SetNegativeRaw(negative);
    return;
  }
  MulLimbs(a, b.Limbs(), b.Size(), b.Negative());
}

void ISqr(TInteger& a) {
  RuvBreak();
  std::int32_t n = a.Size();
  a.SetNegativeRaw(false);
  if (n == 0) return;
  if (n == 1) {
    std::uint64_t v = static_cast<std::uint64_t>(a.Limbs()[0]) * a.Limbs()[0];
    if (v >> 32 != 0) a.SetSize(2, false);
    a.Limbs()[0] = static_cast<u32>(v);
    if (v >> 32 != 0) a.Limbs()[1] = static_cast<u32>(v >> 32);
    return;
  }
  std::int32_t s = KaratsubaSqrThreshold.load(std::memory_order_relaxed);
  std::int64_t scratch = n > s ? ScratchLimbs(n, s) : 0;
  if (2 * n + scratch <= kStackLimbs) {
    u32 buf[kStackLimbs];
    TStackWipe wipe(buf, 2 * n + scratch);
    SqrRec(buf, a.Limbs(), n, buf + 2 * n, s);
    StoreProduct(a, buf, 2 * n, false);
    return;
  }
  TProductHold hold;
  TInteger& r = hold.get();
  r.SetSize(2 * n, false);
  if (n > s) {
    TScratch ws(scratch);
    SqrRec(r.Limbs(), a.Limbs(), n, ws.get(), s);
  } else {
    limb::Sqr(r.Limbs(), a.Limbs(), n);
  }
  if (r.Limbs()[2 * n - 1] == 0) r.SetSize(2 * n - 1, false);
  r.SetNegativeRaw(false);
  ISwap(a, r);
  hold.Done();
}

void IPow(TInteger& a, std::uint32_t e) {
  RuvBreak();
  if (e == 0) {
    a.SetOne();
    return;
  }
  if (a.Size() == 0) return;
  std::int32_t t = a.LowBit();
  if (t > 0) IShr(a, t);
  if (!a.IsOne()) {
    TUVInteger base(a);
    for (int i = std::bit_width(e) - 2; i >= 0; --i) {
      ISqr(a);
      if (((e >> i) & 1u) != 0) IMul(a, *base);
    }
  }
  if (t > 0) {
    std::uint64_t shift = static_cast<std::uint64_t>(t) * e;
    if (shift >= (std::uint64_t{1} << 31)) RaiseOverflow("IPow");
    IShl(a, static_cast<std::int32_t>(shift));
  }
}

}  // namespace rara
