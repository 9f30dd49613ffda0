// TGF2N arithmetic: addition, product, square, inversion by the binary
// extended Euclid, powers and random elements (the reduction is in
// gf2n_reduce.cpp).
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "gf2/gf2_kernel_limits.h"
#include "gf2/gf2_kernels.h"
#include "gf2/gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

using gf2_limits::FixedWords;

// Words of an element of degree below N.
inline std::int32_t ElementWords(std::int32_t n) noexcept { return ((n - 1) >> 5) + 1; }

}  // namespace

// ---------------------------------------------------------------- checks

void TGF2N::CheckDegree(const TGF2Poly& a, const char* op) const {
  if (checkDegrees_ && a.Degree() >= n_)
    RaiseInvalidArg(ClassName() + "." + op, "A field element should have a degree less than the field degree");
}

void TGF2N::RaiseNotIrreducible(const char* op) const {
  RaiseRuv(ClassName() + "." + op + "\r\nField initialized with a non-irreducible polynomial");
}

// ---------------------------------------------------------------- products

void TGF2N::MulStd(TGF2Poly& a, const TGF2Poly& b) const {
  if (&a == &b) {
    SqrStd(a);
    return;
  }
  const std::int32_t nw = ElementWords(n_);
  if (a.IsZero() || b.IsZero()) {
    a.Clear();
    return;
  }
  // Longer operands (unchecked degrees) would overflow the fold.
  if (nw > FixedWords || a.Degree() >= n_ || b.Degree() >= n_) {
    GF2Mul(a, b);
    ReduceStd(a);
    return;
  }
  // Both fit the fixed-size kernels: product and reduction on the stack.
  std::uint32_t x[FixedWords] = {}, y[FixedWords] = {}, r[2 * FixedWords];
  std::memcpy(x, a.Words(), static_cast<std::size_t>(a.Count()) * 4);
  std::memcpy(y, b.Words(), static_cast<std::size_t>(b.Count()) * 4);
  KMul(r, x, y, nw, false);
  StoreProduct(a, r, nw);
}

// A := the reduced product held in R[0..2w) (R is clobbered).
void TGF2N::StoreProduct(TGF2Poly& a, std::uint32_t* r, std::int32_t nw) const {
  ReduceProduct(r);
  std::int32_t count = nw;
  while (count > 0 && r[count - 1] == 0) --count;
  a.SetSize(0, false);
  if (count > 0) {
    a.SetSize(count, false);
    std::memcpy(a.Words(), r, static_cast<std::size_t>(count) * 4);
  }
  a.Normalize(true);
}

void TGF2N::SqrStd(TGF2Poly& a) const {
  const std::int32_t nw = ElementWords(n_);
  if (nw > FixedWords || a.Degree() >= n_) {
    GF2Sqr(a);
    ReduceStd(a);
    return;
  }
  if (a.IsZero()) return;
  // Spread on the stack, then the same reduction as a product.
  std::uint32_t r[2 * FixedWords];
  GF2Spread(r, a.Words(), a.Count());
  for (std::int32_t i = 2 * a.Count(); i < 2 * nw; ++i) r[i] = 0;
  StoreProduct(a, r, nw);
}

void TGF2N::RotateUp(TGF2Poly& a) const {
  GF2MulX(a);
  if (a.Coef(n_)) {
    a.SetCoef(n_, false);
    a.SetCoef(0, true);
  }
}

void TGF2N::RotateDown(TGF2Poly& a) const {
  const bool low = a.Coef(0);
  GF2DivXk(a, 1);
  if (low) a.SetCoef(n_ - 1, true);
}

void TGF2N::Add(TGF2Poly& a, const TGF2Poly& b) const {
  CheckDegree(a, "Add");
  CheckDegree(b, "Add");
  GF2Add(a, b);
}

void TGF2N::Mul(TGF2Poly& a, const TGF2Poly& b) const {
  CheckDegree(a, "Mul");
  CheckDegree(b, "Mul");
  if (basisType_ == btStandard) {
    MulStd(a, b);
    return;
  }
  if (&a == &b) {
    RotateUp(a);
    return;
  }
  TUVPoly c(b);
  ToStandard(a);
  ToStandard(*c);
  MulStd(a, *c);
  ToNormal(a);
}

void TGF2N::Sqr(TGF2Poly& a) const {
  CheckDegree(a, "Sqr");
  if (basisType_ == btStandard)
    SqrStd(a);
  else
    RotateUp(a);
}

// ---------------------------------------------------------------- inversion

namespace {

// Binary extended Euclid for fields of up to four limbs (N < 256), every
// vector in registers and every step free of branches but the loop test:
// U = P, V = A, G1 = 0, G2 = 1 on entry (BUF: four vectors of NL limbs);
// keeping U = G1·A and V = G2·A mod P, while deg U >= 1: if deg U < deg V
// the pairs swap, then U += V·x^j and G1 += G2·x^j, j = deg U - deg V.
// Returns the final degree of U; G1 (the inverse when it is 0) goes back
// to the first vector of BUF.
template <int NL>
std::int32_t EuclidFixed(std::uint64_t* buf, std::int32_t n) {
  std::uint64_t u[NL], v[NL], g1[NL], g2[NL];
  for (int i = 0; i < NL; ++i) {
    u[i] = buf[i];
    v[i] = buf[NL + i];
    g1[i] = buf[2 * NL + i];
    g2[i] = buf[3 * NL + i];
  }
  auto degree = [](const std::uint64_t* x) {
    std::int32_t d = -1;
    for (int i = 0; i < NL; ++i)
      d = x[i] != 0 ? 64 * i + static_cast<std::int32_t>(std::bit_width(x[i])) - 1 : d;
    return d;
  };
  // Y += X·x^j for 0 <= j < 64·NL, by selects of the limb shift.
  auto addShifted = [](std::uint64_t* y, const std::uint64_t* x, std::int32_t q, int sh) {
    const int back = 63 - sh;
    std::uint64_t w[NL + 1];
    w[0] = 0;
    for (int i = 0; i < NL; ++i) {
      std::uint64_t t = 0;
      for (int k = 0; k <= i; ++k) t = (i - k == q) ? x[k] : t;
      w[i + 1] = t;
    }
    for (int i = 0; i < NL; ++i) y[i] ^= (w[i + 1] << sh) | ((w[i] >> 1) >> back);
  };
  std::int32_t du = n, dv = degree(v);
  const bool poll = RuvBreakActive();
  std::uint32_t rounds = 0;
  while (du >= 1) {
    const std::uint64_t mask = 0 - static_cast<std::uint64_t>(du < dv);
    for (int i = 0; i < NL; ++i) {
      const std::uint64_t s = (u[i] ^ v[i]) & mask;
      u[i] ^= s;
      v[i] ^= s;
      const std::uint64_t t = (g1[i] ^ g2[i]) & mask;
      g1[i] ^= t;
      g2[i] ^= t;
    }
    const std::int32_t dm = (du ^ dv) & static_cast<std::int32_t>(mask);
    du ^= dm;
    dv ^= dm;
    const std::int32_t j = du - dv;
    addShifted(u, v, j >> 6, j & 63);
    addShifted(g1, g2, j >> 6, j & 63);
    du = degree(u);
    if (poll && (++rounds & 63u) == 0) RuvBreak();
  }
  for (int i = 0; i < NL; ++i) buf[i] = g1[i];
  return du;
}

}  // namespace

void TGF2N::InvCore(TGF2Poly& a) const {
  if (a.IsOne()) return;
  // A may be longer than P when degrees are not checked: start from A mod P.
  TUVPoly reduced;
  const TGF2Poly* src = &a;
  if (a.Degree() >= n_) {
    reduced->Assign(a);
    ReduceStd(*reduced);
    if (reduced->IsZero()) return;
    src = &reduced.get();
  }
  // Binary extended Euclid on 64-bit limbs: U = G1·a, V = G2·a (mod P).
  // U and V never exceed deg P, G1 and G2 stay below it, and each loop
  // touches only the limbs in use.
  const std::int32_t nl = (n_ >> 6) + 1;
  std::uint64_t small[4 * 9];
  std::vector<std::uint64_t> large;
  std::uint64_t* buf = small;
  if (4 * nl > 4 * 9) {
    large.assign(4 * static_cast<std::size_t>(nl), 0);
    buf = large.data();
  } else {
    std::fill(small, small + 4 * nl, 0);
  }
  std::uint64_t* u = buf;
  std::uint64_t* v = u + nl;
  std::uint64_t* g1 = v + nl;
  std::uint64_t* g2 = g1 + nl;
  auto load = [](std::uint64_t* dst, const TGF2Poly& p) {
    const std::uint32_t* w = p.Words();
    for (std::int32_t i = 0; i < p.Count(); ++i) dst[i >> 1] |= static_cast<std::uint64_t>(w[i]) << (32 * (i & 1));
  };
  load(u, fieldPoly_);
  load(v, *src);
  g2[0] = 1;
  if (nl <= 4) {
    std::int32_t d = 0;
    switch (nl) {
      case 1: d = EuclidFixed<1>(buf, n_); break;
      case 2: d = EuclidFixed<2>(buf, n_); break;
      case 3: d = EuclidFixed<3>(buf, n_); break;
      default: d = EuclidFixed<4>(buf, n_); break;
    }
    if (d < 0) RaiseNotIrreducible("Inv");
    a.SetSize(0, false);
    a.SetSize(2 * nl, false);
    std::uint32_t* w = a.Words();
    for (std::int32_t i = 0; i < 2 * nl; ++i) w[i] = static_cast<std::uint32_t>(buf[i >> 1] >> (32 * (i & 1)));
    a.Normalize(true);
    ReduceStd(a);
    return;
  }
  auto degree = [](const std::uint64_t* x, std::int32_t top) {
    while (top >= 0 && x[top] == 0) --top;
    return top < 0 ? -1 : 64 * top + static_cast<std::int32_t>(std::bit_width(x[top])) - 1;
  };
  std::int32_t du = n_, dv = degree(v, nl - 1);
  // Limb counts of G1 and G2 in use.
  std::int32_t l1 = 0, l2 = 1;
  const bool poll = RuvBreakActive();
  std::uint32_t rounds = 0;
  while (du >= 1) {
    if (du < dv) {
      std::swap(u, v);
      std::swap(g1, g2);
      std::swap(du, dv);
      std::swap(l1, l2);
    }
    const std::int32_t j = du - dv;
    const std::int32_t q = j >> 6;
    const int sh = j & 63;
    const std::int32_t lu = (du >> 6) + 1;
    const std::int32_t lg = l2 + q + 1 < nl ? l2 + q + 1 : nl;
    // U += V·x^j, G1 += G2·x^j.
    if (sh == 0) {
      for (std::int32_t i = q; i < lu; ++i) u[i] ^= v[i - q];
      for (std::int32_t i = q; i < lg; ++i) g1[i] ^= g2[i - q];
    } else {
      u[q] ^= v[0] << sh;
      for (std::int32_t i = q + 1; i < lu; ++i) u[i] ^= (v[i - q] << sh) | (v[i - q - 1] >> (64 - sh));
      g1[q] ^= g2[0] << sh;
      for (std::int32_t i = q + 1; i < lg; ++i) {
        const std::uint64_t hi = i - q < nl ? g2[i - q] << sh : 0;
        g1[i] ^= hi | (g2[i - q - 1] >> (64 - sh));
      }
    }
    if (lg > l1) l1 = lg;
    while (l1 > 0 && g1[l1 - 1] == 0) --l1;
    du = degree(u, lu - 1);
    if (poll && (++rounds & 63u) == 0) RuvBreak();
  }
  if (du < 0) RaiseNotIrreducible("Inv");
  a.SetSize(0, false);
  a.SetSize(2 * l1, false);
  std::uint32_t* w = a.Words();
  for (std::int32_t i = 0; i < 2 * l1; ++i) w[i] = static_cast<std::uint32_t>(g1[i >> 1] >> (32 * (i & 1)));
  a.Normalize(true);
  ReduceStd(a);
}

bool TGF2N::IsZeroBeyondN(const TGF2Poly& a) const {
  TUVPoly c(a);
  if (basisType_ == btStandard)
    ReduceStd(*c);
  else
    ToStandard(*c);
  return c->IsZero();
}

bool TGF2N::Inv(TGF2Poly& a) const {
  CheckDegree(a, "Inv");
  if (a.IsZero()) return false;
  if (a.Degree() >= n_ && IsZeroBeyondN(a)) return false;
  if (basisType_ == btStandard) {
    InvCore(a);
    return true;
  }
  ToStandard(a);
  InvCore(a);
  ToNormal(a);
  return true;
}

// ---------------------------------------------------------------- powers

void TGF2N::PowStd(TGF2Poly& a, std::uint64_t e) const {
  if (e < 2) return;
  TUVPoly base(a);
  for (int bit = std::bit_width(e) - 2; bit >= 0; --bit) {
    SqrStd(a);
    if ((e >> bit) & 1u) MulStd(a, *base);
  }
}

bool TGF2N::Pow(TGF2Poly& a, std::int64_t e) const {
  CheckDegree(a, "Pow");
  RuvBreak();
  if (e == 0) {
    Set1(a);
    return true;
  }
  if (a.IsZero()) return e > 0;
  if (e < 0 && a.Degree() >= n_ && IsZeroBeyondN(a)) return false;
  if (Is1(a)) return true;
  // The magnitude of the most negative exponent does not fit int64.
  const std::uint64_t m = e < 0 ? 0 - static_cast<std::uint64_t>(e) : static_cast<std::uint64_t>(e);
  const bool normal = basisType_ == btNormal;
  if (normal) ToStandard(a);
  if (e < 0) InvCore(a);
  PowStd(a, m);
  if (normal) ToNormal(a);
  return true;
}

// ---------------------------------------------------------------- constants

bool TGF2N::Is1(const TGF2Poly& a) const {
  CheckDegree(a, "Is1");
  return basisType_ == btStandard ? a.IsOne() : GF2Equal(a, basisConst_);
}

void TGF2N::Set1(TGF2Poly& a) const {
  if (basisType_ == btStandard)
    a.SetOne();
  else
    a.Assign(basisConst_);
}

void TGF2N::SetX(TGF2Poly& a) const {
  if (basisType_ == btStandard)
    a.SetX();
  else
    a.SetOne();
}

void TGF2N::Rnd(TGF2Poly& a) const { GF2Rnd(a, n_ - 1, false); }

}  // namespace rara
