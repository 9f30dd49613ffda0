// Point counts: the canonical-lift trace confirmed on random points, and the
// plain count over tiny fields through logarithm tables.
#include "curves/ec_point_count.h"

#include <bit>
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
  TUVInteger t;
  AGMTrace(*t, field.FieldPoly(), *bs);
  // #E = 2^N + 1 − t, and 2^N + 1 + t for the twist by an A of trace 1.
  TUVInteger c;
  c->SetBit(static_cast<std::uint32_t>(n), true);
  IAdd(*c, 1);
  if (field.Trace(a))
    IAdd(*c, *t);
  else
    ISub(*c, *t);

  TGF2NECurve curve;
  curve.SetField(&field);
  curve.SetCoefs(&a, &b);
  for (int i = 0; i < 2; ++i) {
    TGF2NEPoint p;
    curve.GetRndPoint(p);
    curve.Mul(p, *c, true);
    if (!p.IsZero()) RaiseRuv("ECPointCount\r\nThe count failed the point check");
  }
  IAssign(count, *c);
}

}  // namespace rara
