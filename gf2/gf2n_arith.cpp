// TGF2N arithmetic: reduction modulo the field polynomial (word shifts for
// trinomials and pentanomials, the shifted-divisor table otherwise), addition,
// product, square, inversion by the binary extended Euclid, powers and random
// elements.
#include <bit>
#include <cstring>
#include <vector>

#include "gf2/gf2_kernels.h"
#include "gf2/gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

constexpr std::int32_t FixedWords = 16;

inline std::int32_t TopDegree(const std::uint32_t* w, std::int32_t count) noexcept {
  while (count > 0 && w[count - 1] == 0) --count;
  if (count == 0) return -1;
  return 32 * (count - 1) + static_cast<std::int32_t>(std::bit_width(w[count - 1])) - 1;
}

// W ^= T·x^off (off >= 0); the caller guarantees the words exist.
inline void XorAt(std::uint32_t* w, std::int32_t off, std::uint32_t t) noexcept {
  const std::int32_t q = off >> 5;
  const int s = off & 31;
  w[q] ^= t << s;
  if (s != 0) w[q + 1] ^= t >> (32 - s);
}

// W[0..count) := W mod (x^N + sum of x^k[i] + 1) for the sparse P whose
// middle exponents k[0..nk) satisfy N - k >= 32: every bit folded from a word
// lands in lower words, so one downward pass over whole words suffices.
void ReduceSparseWords(std::uint32_t* w, std::int32_t count, std::int32_t n, const std::int32_t* k, int nk) noexcept {
  const std::int32_t wn = n >> 5;
  const int bn = n & 31;
  for (std::int32_t i = count - 1; i > wn; --i) {
    const std::uint32_t t = w[i];
    if (t == 0) continue;
    w[i] = 0;
    const std::int32_t base = 32 * i - n;
    XorAt(w, base, t);
    for (int j = 0; j < nk; ++j) XorAt(w, base + k[j], t);
  }
  if (wn < count) {
    const std::uint32_t t = w[wn] >> bn;
    if (t != 0) {
      w[wn] &= (1u << bn) - 1u;
      w[0] ^= t;
      for (int j = 0; j < nk; ++j) XorAt(w, k[j], t);
    }
  }
}

// The same for any sparse P, one bit at a time from the top.
void ReduceSparseBits(std::uint32_t* w, std::int32_t count, std::int32_t n, const std::int32_t* k, int nk) noexcept {
  for (std::int32_t a = 32 * count - 1; a >= n; --a) {
    if (((w[a >> 5] >> (a & 31)) & 1u) == 0) continue;
    w[a >> 5] ^= 1u << (a & 31);
    const std::int32_t b = a - n;
    w[b >> 5] ^= 1u << (b & 31);
    for (int j = 0; j < nk; ++j) {
      const std::int32_t c = b + k[j];
      w[c >> 5] ^= 1u << (c & 31);
    }
  }
}

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

// ---------------------------------------------------------------- reduction

void TGF2N::ReduceStd(TGF2Poly& a) const {
  const std::int32_t d = a.Degree();
  if (d < n_) return;
  if (redKind_ == RedGeneral) {
    try {
      GF2ReduceByTable(a, *shiftTable_, nullptr);
    } catch (...) {
      a.Clear();
      throw;
    }
    a.Normalize(true);
    return;
  }
  const std::int32_t* k = redKind_ == RedTrinomial ? red_ + 3 : red_ + 1;
  const int nk = redKind_ == RedTrinomial ? 1 : 3;
  // The word pass needs room for the spill of the top word's fold.
  if (n_ - k[0] >= 32)
    ReduceSparseWords(a.Words(), a.Count(), n_, k, nk);
  else
    ReduceSparseBits(a.Words(), a.Count(), n_, k, nk);
  a.Normalize(true);
}

void TGF2N::Reduce(TGF2Poly& a) const { ReduceStd(a); }

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
  if (nw > FixedWords || a.Count() > nw || b.Count() > nw) {
    GF2Mul(a, b);
    ReduceStd(a);
    return;
  }
  // Both fit the fixed-size kernels: product and reduction on the stack.
  std::uint32_t x[FixedWords] = {}, y[FixedWords] = {}, r[2 * FixedWords];
  std::memcpy(x, a.Words(), static_cast<std::size_t>(a.Count()) * 4);
  std::memcpy(y, b.Words(), static_cast<std::size_t>(b.Count()) * 4);
  KMul(r, x, y, nw, false);
  if (redKind_ == RedGeneral) {
    a.SetSize(2 * nw, false);
    std::memcpy(a.Words(), r, static_cast<std::size_t>(2 * nw) * 4);
    a.Normalize(false);
    ReduceStd(a);
    return;
  }
  const std::int32_t* k = redKind_ == RedTrinomial ? red_ + 3 : red_ + 1;
  const int nk = redKind_ == RedTrinomial ? 1 : 3;
  if (n_ - k[0] >= 32)
    ReduceSparseWords(r, 2 * nw, n_, k, nk);
  else
    ReduceSparseBits(r, 2 * nw, n_, k, nk);
  std::int32_t count = nw;
  while (count > 0 && r[count - 1] == 0) --count;
  a.SetSize(0, false);
  if (count == 0) {
    a.Normalize(true);
    return;
  }
  a.SetSize(count, false);
  std::memcpy(a.Words(), r, static_cast<std::size_t>(count) * 4);
  a.Normalize(true);
}

void TGF2N::SqrStd(TGF2Poly& a) const {
  GF2Sqr(a);
  ReduceStd(a);
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
  ApplyMatrix(a, *n2s_);
  ApplyMatrix(*c, *n2s_);
  MulStd(a, *c);
  ApplyMatrix(a, *s2n_);
}

void TGF2N::Sqr(TGF2Poly& a) const {
  CheckDegree(a, "Sqr");
  if (basisType_ == btStandard)
    SqrStd(a);
  else
    RotateUp(a);
}

// ---------------------------------------------------------------- inversion

void TGF2N::InvCore(TGF2Poly& a) const {
  if (a.IsOne()) return;
  // Binary extended Euclid on word arrays: U = G1·a, V = G2·a (mod P).
  // Every value stays below x^(N+1) apart from the shifted addends, which
  // never exceed the degree of the value they are added to.
  const std::int32_t nw = fieldPoly_.Count() + 1;
  std::vector<std::uint32_t> buf(4 * static_cast<std::size_t>(nw), 0);
  std::uint32_t* u = buf.data();
  std::uint32_t* v = u + nw;
  std::uint32_t* g1 = v + nw;
  std::uint32_t* g2 = g1 + nw;
  std::memcpy(u, fieldPoly_.Words(), static_cast<std::size_t>(fieldPoly_.Count()) * 4);
  // A may be longer than P when degrees are not checked: start from A mod P.
  if (a.Count() >= nw || a.Degree() >= n_) {
    TUVPoly t(a);
    ReduceStd(*t);
    if (t->IsZero()) return;
    std::memcpy(v, t->Words(), static_cast<std::size_t>(t->Count()) * 4);
  } else {
    std::memcpy(v, a.Words(), static_cast<std::size_t>(a.Count()) * 4);
  }
  g2[0] = 1;
  std::int32_t du = n_, dv = TopDegree(v, nw);
  const bool poll = RuvBreakActive();
  std::uint32_t rounds = 0;
  while (du >= 1) {
    if (du < dv) {
      std::swap(u, v);
      std::swap(g1, g2);
      std::swap(du, dv);
    }
    const std::int32_t j = du - dv;
    if (j == 0) {
      for (std::int32_t i = 0; i < nw; ++i) {
        u[i] ^= v[i];
        g1[i] ^= g2[i];
      }
    } else {
      const std::int32_t q = j >> 5;
      const int s = j & 31;
      // U += V·x^j, G1 += G2·x^j, from the top word down.
      if (s == 0) {
        for (std::int32_t i = nw - 1; i >= q; --i) {
          u[i] ^= v[i - q];
          g1[i] ^= g2[i - q];
        }
      } else {
        for (std::int32_t i = nw - 1; i > q; --i) {
          u[i] ^= (v[i - q] << s) | (v[i - q - 1] >> (32 - s));
          g1[i] ^= (g2[i - q] << s) | (g2[i - q - 1] >> (32 - s));
        }
        u[q] ^= v[0] << s;
        g1[q] ^= g2[0] << s;
      }
    }
    du = TopDegree(u, (du >> 5) + 1);
    if (poll && (++rounds & 63u) == 0) RuvBreak();
  }
  if (du < 0) RaiseNotIrreducible("Inv");
  const std::int32_t count = (TopDegree(g1, nw) >> 5) + 1;
  a.SetSize(0, false);
  a.SetSize(count, false);
  std::memcpy(a.Words(), g1, static_cast<std::size_t>(count) * 4);
  a.Normalize(true);
  ReduceStd(a);
}

bool TGF2N::Inv(TGF2Poly& a) const {
  CheckDegree(a, "Inv");
  if (a.IsZero()) return false;
  if (basisType_ == btStandard) {
    InvCore(a);
    return true;
  }
  ApplyMatrix(a, *n2s_);
  InvCore(a);
  ApplyMatrix(a, *s2n_);
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
  if (Is1(a)) return true;
  // The magnitude of the most negative exponent does not fit int64.
  const std::uint64_t m = e < 0 ? 0 - static_cast<std::uint64_t>(e) : static_cast<std::uint64_t>(e);
  const bool normal = basisType_ == btNormal;
  if (normal) ApplyMatrix(a, *n2s_);
  if (e < 0) InvCore(a);
  PowStd(a, m);
  if (normal) ApplyMatrix(a, *s2n_);
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
