// TGF2N operations that depend on the basis: conversion by the N2S / S2N
// matrices, the absolute trace, the half-trace, square roots and the
// quadratic equation R^2 + A·R = B.
#include <bit>
#include <cstring>

#include "gf2/gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"

namespace rara {

namespace {

inline std::int32_t ElementWordsOf(std::int32_t n) noexcept { return ((n - 1) >> 5) + 1; }

// ACC[0..limbs) ^= the table entry of every nibble of A[0..na) below x^N.
// L > 0 fixes the limb count so the inner sum unrolls.
template <int L>
void SumNibbleEntries(std::uint64_t* acc, const std::uint64_t* table, const std::uint32_t* aw, std::int32_t na,
                      std::int32_t n, std::int32_t groups, std::int32_t limbs) {
  if constexpr (L > 0) limbs = L;
  for (std::int32_t w = 0; w < na; ++w) {
    std::uint32_t bits = aw[w];
    if (w == ElementWordsOf(n) - 1 && (n & 31) != 0) bits &= (1u << (n & 31)) - 1u;
    const std::int32_t last = groups - 8 * w < 8 ? groups - 8 * w : 8;
    const std::uint64_t* base = table + static_cast<std::size_t>(8 * w) * 16 * static_cast<std::size_t>(limbs);
    for (std::int32_t p = 0; p < last; ++p) {
      const std::uint64_t* e = base + (static_cast<std::size_t>(p) * 16 + ((bits >> (4 * p)) & 15u)) * limbs;
      for (std::int32_t k = 0; k < limbs; ++k) acc[k] ^= e[k];
    }
  }
}

}  // namespace

void TGF2N::ApplyMatrix(TGF2Poly& a, const TGF2SqrMatrix& m) {
  const std::int32_t dim = m.Dimension();
  TUVPoly r;
  r->SetSize(((dim - 1) >> 5) + 1, false);
  std::uint32_t* rw = r->Words();
  const std::uint32_t* aw = a.Words();
  const std::int32_t na = a.Count();
  for (std::int32_t i = 0; i < dim; ++i) {
    const TGF2Poly& row = m.Row(i);
    const std::int32_t n = row.Count() < na ? row.Count() : na;
    const std::uint32_t* w = row.Words();
    std::uint32_t acc = 0;
    for (std::int32_t j = 0; j < n; ++j) acc ^= w[j] & aw[j];
    if (std::popcount(acc) & 1) rw[i >> 5] |= 1u << (i & 31);
  }
  r->Normalize(true);
  GF2Swap(a, *r);
}

void TGF2N::ApplyFlat(TGF2Poly& a, const std::vector<std::uint64_t>& m) const {
  const std::int32_t limbs = (n_ >> 6) + 1;
  std::uint64_t small[8] = {};
  std::vector<std::uint64_t> large;
  std::uint64_t* acc = small;
  if (limbs > 8) {
    large.assign(static_cast<std::size_t>(limbs), 0);
    acc = large.data();
  }
  // Bits of A beyond the matrix columns meet zero entries: dropped.
  const std::uint32_t* aw = a.Words();
  const std::int32_t na = a.Count() < ElementWordsOf(n_) ? a.Count() : ElementWordsOf(n_);
  const std::int32_t groups = (n_ + 3) / 4;
  switch (limbs) {
    case 1: SumNibbleEntries<1>(acc, m.data(), aw, na, n_, groups, limbs); break;
    case 2: SumNibbleEntries<2>(acc, m.data(), aw, na, n_, groups, limbs); break;
    case 3: SumNibbleEntries<3>(acc, m.data(), aw, na, n_, groups, limbs); break;
    case 4: SumNibbleEntries<4>(acc, m.data(), aw, na, n_, groups, limbs); break;
    case 5: SumNibbleEntries<5>(acc, m.data(), aw, na, n_, groups, limbs); break;
    case 6: SumNibbleEntries<6>(acc, m.data(), aw, na, n_, groups, limbs); break;
    default: SumNibbleEntries<0>(acc, m.data(), aw, na, n_, groups, limbs); break;
  }
  const std::int32_t words = ElementWordsOf(n_);
  a.SetSize(0, false);
  a.SetSize(words, false);
  std::uint32_t* rw = a.Words();
  for (std::int32_t i = 0; i < words; ++i) rw[i] = static_cast<std::uint32_t>(acc[i >> 1] >> (32 * (i & 1)));
  a.Normalize(true);
}

// ---------------------------------------------------------------- trace

bool TGF2N::Trace(const TGF2Poly& a) const {
  CheckDegree(a, "Trace");
  RuvBreak();
  if (a.IsZero()) return false;
  if (hasNormalBasis_) {
    if (basisType_ == btNormal) return GF2Parity(a);
    TUVPoly c(a);
    ToNormal(*c);
    return GF2Parity(*c);
  }
  // T = A + A^2 + ... + A^(2^(N-1)) by Horner's rule: T := T^2 + A.
  TUVPoly t(a);
  for (std::int32_t i = 1; i < n_; ++i) {
    SqrStd(*t);
    GF2Add(*t, a);
  }
  if (t->IsZero()) return false;
  if (t->IsOne()) return true;
  RaiseNotIrreducible("Trace");
}

void TGF2N::HalfTrace(TGF2Poly& a) const {
  if ((n_ & 1) == 0) RaiseInvalidCall(ClassName() + ".HalfTrace", "Field polynomial degree should be odd");
  CheckDegree(a, "HalfTrace");
  RuvBreak();
  const std::int32_t rounds = (n_ - 1) / 2;
  if (basisType_ == btStandard && !hasNormalBasis_) {
    TUVPoly t(a);
    for (std::int32_t i = 0; i < rounds; ++i) {
      SqrStd(a);
      SqrStd(a);
      GF2Add(a, *t);
    }
    return;
  }
  const bool convert = basisType_ == btStandard;
  if (convert) ToNormal(a);
  TUVPoly t(a);
  for (std::int32_t i = 0; i < rounds; ++i) {
    GF2Rol(a, n_, 2);
    GF2Add(a, *t);
  }
  if (convert) ToStandard(a);
}

// ---------------------------------------------------------------- square root

void TGF2N::SqrRoot(TGF2Poly& a) const {
  CheckDegree(a, "SqrRoot");
  RuvBreak();
  if (a.IsZero()) return;
  if (basisType_ == btNormal) {
    RotateDown(a);
    return;
  }
  if (a.IsOne()) return;
  // sqrt(A) = E + sqrt(t)·O, where A = E^2 + x·O^2.
  TUVPoly o(a);
  GF2DivXk(*o, 1);
  GF2SqrRoot(*o, false);
  GF2SqrRoot(a, false);
  MulStd(*o, basisConst_);
  GF2Add(a, *o);
}

// ---------------------------------------------------------------- z^2 + z = C

bool TGF2N::SolveNormal(TGF2Poly& r, const TGF2Poly& c) const {
  r.Clear();
  if (GF2Parity(c)) return false;
  if (c.IsZero()) return true;
  // z_0 = 0, z_j = z_(j-1) + c_j: squaring shifts the coordinates up by one.
  r.SetSize(((n_ - 1) >> 5) + 1, false);
  std::uint32_t* rw = r.Words();
  bool bit = false;
  for (std::int32_t j = 1; j < n_; ++j) {
    bit ^= c.Coef(j);
    if (bit) rw[j >> 5] |= 1u << (j & 31);
  }
  r.Normalize(true);
  return true;
}

bool TGF2N::SolveStandard(TGF2Poly& r, const TGF2Poly& c) const {
  if ((n_ & 1) != 0) {
    r.Assign(c);
    // HalfTrace checks the degree, which the caller has done already.
    const std::int32_t rounds = (n_ - 1) / 2;
    if (!hasNormalBasis_) {
      TUVPoly t(c);
      for (std::int32_t i = 0; i < rounds; ++i) {
        SqrStd(r);
        SqrStd(r);
        GF2Add(r, *t);
      }
    } else {
      ToNormal(r);
      TUVPoly t(r);
      for (std::int32_t i = 0; i < rounds; ++i) {
        GF2Rol(r, n_, 2);
        GF2Add(r, *t);
      }
      ToStandard(r);
    }
  } else {
    // With Tr(T) = 1, R = sum over i of (T^(2^1) + ... + T^(2^i))·C^(2^(N-1-i))
    // solves z^2 + z = C whenever Tr(C) = 0.
    TUVPoly t, w, q;
    bool first = true;
    // Half of all elements have trace 1 when P is irreducible; a long run
    // of failures means the trace map is zero and the search would not end.
    for (int attempt = 0;; ++attempt) {
      if (attempt == 128) RaiseNotIrreducible("SolveQuad");
      r.Clear();
      if (first && traceOneDeg_ >= 0)
        t->SetMonomial(traceOneDeg_);
      else
        Rnd(*t);
      first = false;
      w->Assign(*t);
      for (std::int32_t i = 1; i < n_; ++i) {
        SqrStd(*w);
        q->Assign(*w);
        GF2Add(*w, *t);
        MulStd(*q, c);
        SqrStd(r);
        GF2Add(r, *q);
      }
      if (!w->IsZero()) break;
      RuvBreak();
    }
  }
  TUVPoly check(r);
  SqrStd(*check);
  GF2Add(*check, r);
  GF2Add(*check, c);
  if (!check->IsZero()) {
    r.Clear();
    return false;
  }
  return true;
}

bool TGF2N::SolveQuad(TGF2Poly& r, const TGF2Poly& a, const TGF2Poly& b) const {
  if (&r == &a || &r == &b) RaiseDuplicatePtr(ClassName() + ".SolveQuad", "R,A,B");
  CheckDegree(a, "SolveQuad");
  CheckDegree(b, "SolveQuad");
  RuvBreak();
  if (a.IsZero()) {
    r.Assign(b);
    SqrRoot(r);
    return true;
  }
  if (b.IsZero()) {
    r.Clear();
    return true;
  }
  TUVPoly c(a);
  bool solved;
  if (basisType_ == btNormal) {
    // C := B / A^2, computed in the standard basis.
    RotateUp(*c);
    ToStandard(*c);
    TUVPoly d(b);
    ToStandard(*d);
    InvCore(*c);
    MulStd(*c, *d);
    ToNormal(*c);
    solved = SolveNormal(r, *c);
    if (solved) Mul(r, a);
  } else {
    InvCore(*c);
    SqrStd(*c);
    MulStd(*c, b);
    solved = SolveStandard(r, *c);
    if (solved) MulStd(r, a);
  }
  return solved;
}

}  // namespace rara
