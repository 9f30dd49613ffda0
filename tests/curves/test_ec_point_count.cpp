// Point counts: the plain count against every point of every curve over the
// smallest fields, the canonical-lift trace against the plain count, and the
// public count against PARI/GP's ellcard from 13 to 571 bits in both bases.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "curves/ec_point_count.h"
#include "padic/agm_trace.h"
#include "tests/curves/ec_test_util.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

// #E from the trace of the curve of the same B and A = 0.
TInteger CountFromTrace(const TGF2N& f, const TGF2Poly& a, const TGF2Poly& b) {
  TGF2Poly bs = ToStandard(f, b);
  TInteger t, c;
  AGMTrace(t, f.FieldPoly(), bs);
  c.SetBit(static_cast<std::uint32_t>(f.N()), true);
  IAdd(c, 1);
  if (f.Trace(a))
    IAdd(c, t);
  else
    ISub(c, t);
  return c;
}

// Every pair (x, y) tried on the curve equation.
std::int64_t CountByPairs(const TGF2N& f, const TGF2Poly& a, const TGF2Poly& b) {
  const std::uint32_t q = 1u << f.N();
  std::int64_t count = 1;
  TGF2Poly x, y, l, r, t;
  for (std::uint32_t xi = 0; xi < q; ++xi) {
    x.Clear();
    if (xi != 0) x.SetWord(xi);
    r.Assign(x);
    f.Mul(r, x);
    t.Assign(r);
    f.Mul(r, x);  // x^3
    f.Mul(t, a);
    f.Add(r, t);
    f.Add(r, b);
    for (std::uint32_t yi = 0; yi < q; ++yi) {
      y.Clear();
      if (yi != 0) y.SetWord(yi);
      l.Assign(y);
      f.Mul(l, y);
      t.Assign(x);
      f.Mul(t, y);
      f.Add(l, t);
      if (GF2Equal(l, r)) ++count;
    }
  }
  return count;
}

TEST(EcPointCount, PlainCountEqualsEveryPointOfEveryTinyCurve) {
  for (int n = 2; n <= 5; ++n) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), basis);
      TGF2Poly a, b;
      // All A up to N = 4; at N = 5 the two classes of A (trace 0 and 1).
      for (std::uint32_t ai = 0; ai < (n < 5 ? 1u << n : 2u); ++ai) {
        a.Clear();
        if (ai != 0) a.SetWord(ai);
        for (std::uint32_t bi = 1; bi < (1u << n); ++bi) {
          b.SetWord(bi);
          TInteger c;
          ECPointCountPlain(c, f, a, b);
          ASSERT_TRUE(IEqual(c, CountByPairs(f, a, b))) << "N=" << n << " basis=" << int(basis) << " A=" << ai
                                                        << " B=" << bi;
        }
      }
    }
  }
}

TEST(EcPointCount, LiftedTraceEqualsPlainCount) {
  const std::string seed = SeedRandom(0xC0147);
  // Every B of the smallest field the lift covers, then random curves.
  for (std::uint8_t basis : {btStandard, btNormal}) {
    TGF2N f;
    f.SetField(8, basis);
    TGF2Poly a, b;
    for (std::uint32_t bi = 1; bi < 256; ++bi) {
      b.SetWord(bi);
      for (int ai : {0, 1}) {
        if (ai == 0) a.Clear(); else f.Set1(a);
        TInteger plain;
        ECPointCountPlain(plain, f, a, b);
        ASSERT_TRUE(IEqual(CountFromTrace(f, a, b), plain)) << "basis=" << int(basis) << " B=" << bi << " A=" << ai;
      }
    }
  }
  for (int n = 9; n <= ECPlainMaxDegree; ++n) {
    for (int i = 0; i < Iterations(3); ++i) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), i == 2 ? btNormal : btStandard);
      TGF2Poly a, b;
      RandomCoefs(f, a, b);
      TInteger plain, count;
      ECPointCountPlain(plain, f, a, b);
      ECPointCount(count, f, a, b);
      ASSERT_TRUE(IEqual(CountFromTrace(f, a, b), plain)) << seed << " N=" << n << " A=" << Hex(a) << " B=" << Hex(b);
      ASSERT_TRUE(IEqual(count, plain)) << seed << " N=" << n;
    }
  }
}

}  // namespace
}  // namespace rara::test
