// Point counts: the canonical-lift trace, its last bits found by a
// baby-step giant-step search on the curve, confirmed on random points; and
// the plain count over tiny fields through logarithm tables.
#include "curves/ec_point_count.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "curves/ec_gf2n.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "padic/agm_trace.h"

namespace rara {

namespace {

// Below this degree the plain count is both cheap and certain.
constexpr std::int32_t PlainBelow = 13;

void CheckCoefs(const TGF2N& field, const TGF2Poly& a, const TGF2Poly& b, const char* name) {
  if (b.IsZero() || b.Degree() >= field.N()) RaiseInvalidArg(name, "Invalid B coefficient");
  if (a.Degree() >= field.N()) RaiseInvalidArg(name, "Invalid A coefficient");
}

std::uint32_t ToStandardWord(const TGF2N& field, const TGF2Poly& e) {
  TUVPoly s(e);
  if (field.BasisType() == btNormal) TGF2N::ApplyMatrix(*s, *field.N2S());
  return s->IsZero() ? 0u : s->Words()[0];
}

// GF(2^n) for n <= 20 in one word, standard basis of P.
struct TSmallField {
  int N;
  std::uint32_t P;  // with the x^N bit

  std::uint32_t Mul(std::uint32_t a, std::uint32_t b) const {
    std::uint64_t r = 0;
    for (int i = 0; i < N; ++i)
      if ((b >> i) & 1u) r ^= static_cast<std::uint64_t>(a) << i;
    for (int i = 2 * N - 2; i >= N; --i)
      if ((r >> i) & 1u) r ^= static_cast<std::uint64_t>(P) << (i - N);
    return static_cast<std::uint32_t>(r);
  }
  std::uint32_t Pow(std::uint32_t a, std::uint64_t e) const {
    std::uint32_t r = 1;
    while (e != 0) {
      if (e & 1u) r = Mul(r, a);
      a = Mul(a, a);
      e >>= 1;
    }
    return r;
  }
};


// Bits of t that the search on the curve finds instead of the lift. Each
// such bit saves one step of the lift at its widest, the costliest, and
// doubles the range of the search, which costs about 2^(d/2 + 1/2) affine
// additions; the figures balance the two on this library's arithmetic.
int SearchBits(std::int32_t n) {
  if (n < 64) return 0;
  return std::min(20, 12 + n / 40);
}

std::uint64_t XKey(const TGF2Poly& x) {
  std::uint64_t k = 0;
  for (std::int32_t i = 0; i < x.Count() && i < 2; ++i) k |= static_cast<std::uint64_t>(x.Words()[i]) << (32 * i);
  return k;
}

bool SamePoint(const TGF2NEPoint& p, const TGF2NEPoint& q) {
  return GF2Equal(p.X(), q.X()) && GF2Equal(p.Y(), q.Y());
}

// The j in [0, j_max] with [first + 2^bits·j]P = O, when exactly one exists
// (false for none or several, as when P has a small order). Baby steps
// B_i = [i]R for 1 <= i <= s, R = [2^bits]P, found by their x-coordinates,
// which [−i]R shares; giant steps T_g = −[first + (s + g(2s + 1))·2^bits]P,
// so that T_g = [δ]R, |δ| <= s, gives j = s + g(2s + 1) + δ.
bool SearchCount(std::int64_t& j, TGF2NECurve& curve, const TGF2NEPoint& p, const TInteger& first, int bits,
                 std::int64_t jMax) {
  std::int64_t s = 1;
  while (2 * s * s < jMax + 1) s *= 2;
  TGF2NEPoint r(p);
  TUVInteger k;
  k->SetBit(static_cast<std::uint32_t>(bits), true);
  curve.Mul(r, *k, true);
  if (r.IsZero()) return false;
  std::vector<TGF2NEPoint> baby;
  baby.reserve(static_cast<std::size_t>(s));
  std::unordered_multimap<std::uint64_t, std::int64_t> index;
  TGF2NEPoint b(r);
  for (std::int64_t i = 1; i <= s; ++i) {
    if ((i & 255) == 0) RuvBreak();
    // [i]R = O or [i]R = ±[i']R for i' < i: R has a small order.
    if (b.IsZero()) return false;
    const auto range = index.equal_range(XKey(b.X()));
    for (auto it = range.first; it != range.second; ++it)
      if (GF2Equal(baby[static_cast<std::size_t>(it->second - 1)].X(), b.X())) return false;
    baby.emplace_back(b);
    index.emplace(XKey(b.X()), i);
    curve.Add(b, r);
  }
  // b = [s + 1]R; the giant step is [2s + 1]R.
  TGF2NEPoint step(b);
  curve.Add(step, baby[static_cast<std::size_t>(s - 1)]);
  curve.Neg(step);
  TGF2NEPoint t(p);
  IAssign(*k, first);
  TUVInteger sr;
  sr->SetInt64(s);
  IShl(*sr, bits);
  IAdd(*k, *sr);
  curve.Mul(t, *k, true);
  curve.Neg(t);
  int found = 0;
  for (std::int64_t g = 0; g * (2 * s + 1) <= jMax + s; ++g) {
    if ((g & 255) == 0) RuvBreak();
    const std::int64_t centre = s + g * (2 * s + 1);
    std::int64_t delta = 0;
    bool hit = t.IsZero();
    if (!hit) {
      const auto range = index.equal_range(XKey(t.X()));
      for (auto it = range.first; it != range.second && !hit; ++it) {
        const TGF2NEPoint& q = baby[static_cast<std::size_t>(it->second - 1)];
        if (!GF2Equal(q.X(), t.X())) continue;
        hit = true;
        delta = SamePoint(q, t) ? it->second : -it->second;
      }
    }
    if (hit && centre + delta >= 0 && centre + delta <= jMax) {
      j = centre + delta;
      if (++found > 1) return false;
    }
    curve.Add(t, step);
  }
  return found == 1;
}

}  // namespace

void ECPointCountPlain(TInteger& count, const TGF2N& field, const TGF2Poly& a, const TGF2Poly& b) {
  const int n = field.N();
  if (n > ECPlainMaxDegree) RaiseInvalidArg("ECPointCountPlain", "Field degree out of range");
  CheckCoefs(field, a, b, "ECPointCountPlain");
  const TSmallField f{n, field.FieldPoly().Words()[0]};
  const std::uint32_t order = (1u << n) - 1u;  // of the multiplicative group

  // A generator g: g^(order/r) != 1 for every prime r dividing the order.
  std::vector<std::uint32_t> primes;
  std::uint32_t rest = order;
  for (std::uint32_t r = 3; r * r <= rest; r += 2)
    if (rest % r == 0) {
      primes.push_back(r);
      while (rest % r == 0) rest /= r;
    }
  if (rest > 1) primes.push_back(rest);
  std::uint32_t g = 2;
  for (;; ++g) {
    bool generates = true;
    for (std::uint32_t r : primes) generates = generates && f.Pow(g, order / r) != 1;
    if (generates) break;
  }
  std::vector<std::uint32_t> exps(order), logs(order + 1u);
  std::uint32_t x = 1;
  for (std::uint32_t i = 0; i < order; ++i) {
    exps[i] = x;
    logs[x] = i;
    x = f.Mul(x, g);
  }
  // Tr is linear: Tr(x) is the parity of x & traceMask.
  std::uint32_t traceMask = 0;
  for (int i = 0; i < n; ++i) {
    std::uint32_t y = 1u << i, tr = 0;
    for (int j = 0; j < n; ++j) {
      tr ^= y;
      y = f.Mul(y, y);
    }
    if (tr == 1u) traceMask |= 1u << i;
  }
  const std::uint32_t as = ToStandardWord(field, a);
  const std::uint32_t bs = ToStandardWord(field, b);
  // For x = g^i, B/x² = g^(log B − 2i).
  std::uint64_t total = 2;
  std::uint32_t k = logs[bs];
  for (std::uint32_t i = 0; i < order; ++i) {
    if ((i & 0xFFFFu) == 0) RuvBreak();
    const std::uint32_t c = exps[i] ^ as ^ exps[k];
    if ((std::popcount(c & traceMask) & 1) == 0) total += 2;
    k = k >= 2 ? k - 2 : k + order - 2;
  }
  count.SetInt64(static_cast<std::int64_t>(total));
}

void ECPointCount(TInteger& count, const TGF2N& field, const TGF2Poly& a, const TGF2Poly& b) {
  const std::int32_t n = field.N();
  CheckCoefs(field, a, b, "ECPointCount");
  if (n > AGMMaxDegree) RaiseInvalidArg("ECPointCount", "Field degree out of range");
  if (n < PlainBelow) {
    ECPointCountPlain(count, field, a, b);
    return;
  }
  TUVPoly bs(b);
  if (field.BasisType() == btNormal) TGF2N::ApplyMatrix(*bs, *field.N2S());
  TGF2NECurve curve;
  curve.SetField(&field);
  curve.SetCoefs(&a, &b);
  const bool twist = field.Trace(a);
  // #E = 2^N + 1 − t, and 2^N + 1 + t for the twist by an A of trace 1.
  TUVInteger c, t;
  bool known = false;
  if (const int d = SearchBits(n); d > 0) {
    // The lift gives #E modulo 2^bits; the search finds it among the values
    // of that class in the Hasse interval |#E − 2^N − 1| <= 2^(N/2+1) (taken
    // a little wider for odd N).
    const int bits = n / 2 + 4 - d;
    AGMTraceMod(*t, bits, field.FieldPoly(), *bs);
    c->SetBit(static_cast<std::uint32_t>(n), true);
    IAdd(*c, 1);
    if (twist)
      IAdd(*c, *t);
    else
      ISub(*c, *t);
    TUVInteger lo, h, m;
    h->SetBit(static_cast<std::uint32_t>((n + 1) / 2 + 1), true);
    lo->SetBit(static_cast<std::uint32_t>(n), true);
    IAdd(*lo, 1);
    ISub(*lo, *h);
    m->SetBit(static_cast<std::uint32_t>(bits), true);
    ISub(*c, *lo);
    IMod(*c, *m);
    IAdd(*c, *lo);  // the least count >= lo of the class
    // j_max = (lo + 2h − first) div 2^bits, below 2^(d+2).
    TUVInteger span(*lo);
    IAdd(*span, *h);
    IAdd(*span, *h);
    ISub(*span, *c);
    IShr(*span, bits);
    std::int64_t jMax = 0;
    for (std::int32_t i = span->ByteSize() - 1; i >= 0; --i)
      jMax = (jMax << 8) | span->Byte(static_cast<std::uint32_t>(i));
    for (int attempt = 0; attempt < 3 && !known; ++attempt) {
      TGF2NEPoint p;
      curve.GetRndPoint(p);
      std::int64_t j = 0;
      if (SearchCount(j, curve, p, *c, bits, jMax)) {
        TUVInteger step;
        step->SetInt64(j);
        IShl(*step, bits);
        IAdd(*c, *step);
        known = true;
      }
    }
  }
  if (!known) {
    AGMTrace(*t, field.FieldPoly(), *bs);
    c->Clear();
    c->SetBit(static_cast<std::uint32_t>(n), true);
    IAdd(*c, 1);
    if (twist)
      IAdd(*c, *t);
    else
      ISub(*c, *t);
  }

  for (int i = 0; i < 2; ++i) {
    TGF2NEPoint p;
    curve.GetRndPoint(p);
    curve.Mul(p, *c, true);
    if (!p.IsZero()) RaiseRuv("ECPointCount\r\nThe count failed the point check");
  }
  IAssign(count, *c);
}

}  // namespace rara
