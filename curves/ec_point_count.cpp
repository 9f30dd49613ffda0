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

// #E = 2^N + 1 - t, or 2^N + 1 + t on the twist (Tr(A) = 1).
void CountFromTrace(TInteger& c, int n, const TInteger& t, bool twist) {
  c.Clear();
  c.SetBit(static_cast<std::uint32_t>(n), true);
  IAdd(c, 1);
  if (twist)
    IAdd(c, t);
  else
    ISub(c, t);
}

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
// such bit saves one step of the sequential lift at its widest, the
// costliest, and doubles the range of the search, which costs about
// 2^(d/2 + 1/2) additions of points at about nine field products each; the
// figures balance the two on this library's arithmetic. Newton's lift gains
// bits more cheaply, and fewer are left to the search (16 measured best,
// against 10 to 26, at 283, 409 and 571).
int SearchBits(std::int32_t n) {
  if (n < 64) return 0;
  if (n >= AGMNewtonFrom) return 16;
  return std::min(22, 12 + n / 25);
}

std::uint64_t XKey(const TGF2Poly& x) {
  std::uint64_t k = 0;
  for (std::int32_t i = 0; i < x.Count() && i < 2; ++i) k |= static_cast<std::uint64_t>(x.Words()[i]) << (32 * i);
  return k;
}

bool SamePoint(const TGF2NEPoint& p, const TGF2NEPoint& q) {
  return GF2Equal(p.X(), q.X()) && GF2Equal(p.Y(), q.Y());
}

// P_i := P_i + Q for every i with one field inversion for all of them
// (Montgomery's trick: the inverses of the denominators x_i + x_Q from the
// inverse of their product). The P_i that are O or share Q's x-coordinate
// take the curve's own addition.
void AddToAll(std::vector<TGF2NEPoint>& p, const TGF2NEPoint& q, const TGF2NECurve& curve, const TGF2N& f,
              const TGF2Poly& a) {
  const std::size_t n = p.size();
  std::vector<TGF2Poly> den(n), before(n);
  std::vector<char> batch(n, 0);
  TGF2Poly acc, inv, lambda, x3, t;
  f.Set1(acc);
  bool any = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (q.IsZero() || p[i].IsZero() || GF2Equal(p[i].X(), q.X())) continue;
    batch[i] = 1;
    any = true;
    den[i].Assign(p[i].X());
    f.Add(den[i], q.X());  // x_i + x_Q
    before[i].Assign(acc);  // the product of the denominators before i
    f.Mul(acc, den[i]);
  }
  if (any) f.Inv(acc);  // 1 / the product of all of them
  for (std::size_t i = n; i-- > 0;) {
    if (!batch[i]) {
      curve.Add(p[i], q);
      continue;
    }
    inv.Assign(acc);
    f.Mul(inv, before[i]);  // 1/(x_i + x_Q)
    f.Mul(acc, den[i]);     // 1 / the product of the denominators before i
    TGF2Poly& x = p[i].X();
    TGF2Poly& y = p[i].Y();
    lambda.Assign(y);
    f.Add(lambda, q.Y());
    f.Mul(lambda, inv);  // lambda = (y_i + y_Q)/(x_i + x_Q)
    x3.Assign(lambda);
    f.Sqr(x3);
    f.Add(x3, lambda);
    f.Add(x3, x);
    f.Add(x3, q.X());
    f.Add(x3, a);  // x3 = lambda^2 + lambda + x_i + x_Q + A
    t.Assign(x);
    f.Add(t, x3);
    f.Mul(t, lambda);
    f.Add(t, x3);
    f.Add(y, t);  // y3 = lambda·(x_i + x3) + x3 + y_i
    x.Assign(x3);
  }
}

// The j in [0, j_max] with [first + 2^bits·j]P = O, when exactly one exists
// (false for none or several, as when P has a small order). Baby steps
// B_i = [i]R for 1 <= i <= s, R = [2^bits]P, found by their x-coordinates,
// which [−i]R shares; giant steps T_g = −[first + (s + g(2s + 1))·2^bits]P,
// so that T_g = [δ]R, |δ| <= s, gives j = s + g(2s + 1) + δ. Both kinds
// run as m chains side by side, so that each round of m additions shares
// one inversion.
bool SearchCount(std::int64_t& j, TGF2NECurve& curve, const TGF2N& f, const TGF2Poly& a, const TGF2NEPoint& p,
                 const TInteger& first, int bits, std::int64_t jMax) {
  std::int64_t s = 1;
  while (2 * s * s < jMax + 1) s *= 2;
  const std::int64_t giants = (jMax + s) / (2 * s + 1) + 1;
  const std::size_t m = static_cast<std::size_t>(std::clamp<std::int64_t>(s / 8, 1, 64));
  TGF2NEPoint r(p);
  TUVInteger k;
  k->SetBit(static_cast<std::uint32_t>(bits), true);
  curve.Mul(r, *k, true);
  if (r.IsZero()) return false;
  // Chain c holds [c + 1 + round·m]R.
  std::vector<TGF2NEPoint> chain;
  chain.reserve(m);
  TGF2NEPoint q(r);
  for (std::size_t c = 0; c < m; ++c) {
    chain.emplace_back(q);
    if (c + 1 < m) curve.Add(q, r);
  }
  TGF2NEPoint stride(q);  // [m]R
  std::vector<TGF2NEPoint> baby;
  baby.reserve(static_cast<std::size_t>(s));
  std::unordered_multimap<std::uint64_t, std::int64_t> index;
  for (std::int64_t base = 0; base < s; base += static_cast<std::int64_t>(m)) {
    RuvBreak();
    for (std::size_t c = 0; c < m && base + static_cast<std::int64_t>(c) < s; ++c) {
      const TGF2NEPoint& b = chain[c];
      // [i]R = O or [i]R = ±[i']R for i' < i: R has a small order.
      if (b.IsZero()) return false;
      const auto range = index.equal_range(XKey(b.X()));
      for (auto it = range.first; it != range.second; ++it)
        if (GF2Equal(baby[static_cast<std::size_t>(it->second - 1)].X(), b.X())) return false;
      baby.emplace_back(b);
      index.emplace(XKey(b.X()), base + static_cast<std::int64_t>(c) + 1);
    }
    if (base + static_cast<std::int64_t>(m) < s) AddToAll(chain, stride, curve, f, a);
  }
  // The giant step −[2s + 1]R; chain c starts at T_c.
  TGF2NEPoint step(r);
  k->SetInt64(2 * s + 1);
  curve.Mul(step, *k, true);
  curve.Neg(step);
  TGF2NEPoint t(p);
  IAssign(*k, first);
  TUVInteger sr;
  sr->SetInt64(s);
  IShl(*sr, bits);
  IAdd(*k, *sr);
  curve.Mul(t, *k, true);
  curve.Neg(t);
  const std::size_t mg = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(m), giants));
  chain.clear();
  for (std::size_t c = 0; c < mg; ++c) {
    chain.emplace_back(t);
    curve.Add(t, step);
  }
  k->SetInt64(static_cast<std::int64_t>(mg));
  curve.Mul(step, *k, true);  // mg giant steps
  int found = 0;
  for (std::int64_t base = 0; base < giants; base += static_cast<std::int64_t>(mg)) {
    RuvBreak();
    for (std::size_t c = 0; c < mg && base + static_cast<std::int64_t>(c) < giants; ++c) {
      const std::int64_t g = base + static_cast<std::int64_t>(c);
      const TGF2NEPoint& tg = chain[c];
      const std::int64_t centre = s + g * (2 * s + 1);
      std::int64_t delta = 0;
      bool hit = tg.IsZero();
      if (!hit) {
        const auto range = index.equal_range(XKey(tg.X()));
        for (auto it = range.first; it != range.second && !hit; ++it) {
          const TGF2NEPoint& bq = baby[static_cast<std::size_t>(it->second - 1)];
          if (!GF2Equal(bq.X(), tg.X())) continue;
          hit = true;
          delta = SamePoint(bq, tg) ? it->second : -it->second;
        }
      }
      if (hit && centre + delta >= 0 && centre + delta <= jMax) {
        j = centre + delta;
        if (++found > 1) return false;
      }
    }
    if (base + static_cast<std::int64_t>(mg) < giants) AddToAll(chain, step, curve, f, a);
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
    CountFromTrace(*c, n, *t, twist);
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
      if (SearchCount(j, curve, field, a, p, *c, bits, jMax)) {
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
    CountFromTrace(*c, n, *t, twist);
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
