// The group law on random curves over GF(2^N) in both bases: points on the
// curve, inverses, associativity, the special points, K·P in Jacobian and
// affine coordinates and across the two bases of one field; and the tiny
// fields in full.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/curves/ec_test_util.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

TGF2NEPoint Sum(const TGF2NECurve& c, const TGF2NEPoint& p, const TGF2NEPoint& q) {
  TGF2NEPoint r(p);
  c.Add(r, q);
  return r;
}

TGF2NEPoint Times(TGF2NECurve& c, const TGF2NEPoint& p, const TInteger& k, bool projective) {
  TGF2NEPoint r(p);
  c.Mul(r, k, projective);
  return r;
}

class EcGroup : public ::testing::TestWithParam<std::pair<int, std::uint8_t>> {};

TEST_P(EcGroup, LawsOnRandomCurves) {
  const auto [n, basis] = GetParam();
  const std::string seed = SeedRandom(0xEC00 + static_cast<std::uint64_t>(n) * 2 + basis);
  const int curves = n > 200 ? 2 : 3;
  const int rounds = Iterations(n > 200 ? 3 : 6);
  for (int ci = 0; ci < curves; ++ci) {
    TGF2NECurve c;
    MakeCurve(c, n, basis);
    SCOPED_TRACE(seed + " " + CurveText(c));
    const TGF2NEPoint o;

    // The point of order 2: on the curve, its own negative, doubles to O.
    TGF2NEPoint t2;
    c.GetOrder2Point(t2);
    EXPECT_TRUE(OnCurve(c, t2));
    EXPECT_TRUE(t2.X().IsZero());
    TGF2NEPoint u(t2);
    c.Neg(u);
    EXPECT_TRUE(SamePoint(u, t2));
    c.Double(u);
    EXPECT_TRUE(u.IsZero());
    u.Assign(t2);
    c.Add(u, u);
    EXPECT_TRUE(u.IsZero());
    EXPECT_TRUE(SamePoint(Times(c, t2, TInteger(12345), true), t2));
    EXPECT_TRUE(Times(c, t2, TInteger(-12346), true).IsZero());
    EXPECT_TRUE(SamePoint(Times(c, t2, TInteger(7), false), t2));

    for (int r = 0; r < rounds; ++r) {
      TGF2NEPoint p, q, s;
      c.GetRndPoint(p);
      c.GetRndPoint(q);
      c.GetRndPoint(s);
      SCOPED_TRACE("P=" + PointText(c, p) + " Q=" + PointText(c, q) + " S=" + PointText(c, s));
      ASSERT_TRUE(OnCurve(c, p));
      ASSERT_TRUE(OnCurve(c, q));
      ASSERT_TRUE(OnCurve(c, s));

      // Inverse and identity.
      TGF2NEPoint m(p);
      c.Neg(m);
      EXPECT_TRUE(OnCurve(c, m));
      EXPECT_TRUE(Sum(c, p, m).IsZero());
      EXPECT_TRUE(SamePoint(Sum(c, o, q), q));
      EXPECT_TRUE(SamePoint(Sum(c, q, o), q));
      c.Neg(m);
      EXPECT_TRUE(SamePoint(m, p));

      // Doubling by Add (Q is P) and by Double.
      TGF2NEPoint d(p), e(p);
      c.Add(d, d);
      c.Double(e);
      EXPECT_TRUE(SamePoint(d, e));
      EXPECT_TRUE(OnCurve(c, d));

      // Commutative and associative.
      const TGF2NEPoint pq = Sum(c, p, q);
      EXPECT_TRUE(OnCurve(c, pq));
      EXPECT_TRUE(SamePoint(pq, Sum(c, q, p)));
      EXPECT_TRUE(SamePoint(Sum(c, pq, s), Sum(c, p, Sum(c, q, s))));
      // (P + Q) - Q = P
      TGF2NEPoint mq(q);
      c.Neg(mq);
      EXPECT_TRUE(SamePoint(Sum(c, pq, mq), p));

      // Small scalars.
      EXPECT_TRUE(Times(c, p, TInteger(0), true).IsZero());
      EXPECT_TRUE(Times(c, p, TInteger(0), false).IsZero());
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(1), true), p));
      TGF2NEPoint np(p);
      c.Neg(np);
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(-1), true), np));
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(2), true), e));
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(2), false), e));
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(3), true), Sum(c, e, p)));
      EXPECT_TRUE(SamePoint(Times(c, p, TInteger(-3), false), Times(c, np, TInteger(3), true)));
      EXPECT_TRUE(Times(c, o, TInteger(77), true).IsZero());

      // Random scalars of either sign: both coordinate systems agree, and
      // (k1 + k2)·P = k1·P + k2·P.
      const TInteger k1 = RandomScalar(n + 3, true);
      const TInteger k2 = RandomScalar(n / 2 + 1, true);
      SCOPED_TRACE("k1=" + Hex(k1) + " k2=" + Hex(k2));
      const TGF2NEPoint a1 = Times(c, p, k1, true);
      EXPECT_TRUE(OnCurve(c, a1));
      EXPECT_TRUE(SamePoint(a1, Times(c, p, k1, false)));
      const TGF2NEPoint a2 = Times(c, p, k2, true);
      EXPECT_TRUE(SamePoint(a2, Times(c, p, k2, false)));
      TInteger k12(k1);
      IAdd(k12, k2);
      EXPECT_TRUE(SamePoint(Times(c, p, k12, true), Sum(c, a1, a2)));
      // k·(P + Q) = k·P + k·Q
      EXPECT_TRUE(SamePoint(Times(c, pq, k2, true), Sum(c, a2, Times(c, q, k2, true))));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fields, EcGroup,
                         ::testing::Values(std::make_pair(5, btStandard), std::make_pair(5, btNormal),
                                           std::make_pair(9, btStandard), std::make_pair(9, btNormal),
                                           std::make_pair(64, btStandard), std::make_pair(64, btNormal),
                                           std::make_pair(163, btStandard), std::make_pair(163, btNormal),
                                           std::make_pair(283, btStandard), std::make_pair(283, btNormal)),
                         [](const auto& info) {
                           std::string name = std::to_string(info.param.first);
                           name.insert(name.begin(), 'N');
                           name.append(info.param.second == btStandard ? "Standard" : "Normal");
                           return name;
                         });

// One curve in the two bases of a normal field: K·P agrees after conversion.
TEST(EcGroupBases, NormalAndStandardAgree) {
  const std::string seed = SeedRandom(0xEC1B);
  for (int n : {9, 64, 163, 283}) {
    TGF2NECurve cn, cs;
    MakeCurve(cn, n, btNormal);
    TGF2N fs;
    fs.Assign(cn.Field());
    fs.SwitchBasis();
    cs.SetField(&fs);
    const TGF2Poly as = ToStandard(cn.Field(), cn.A());
    const TGF2Poly bs = ToStandard(cn.Field(), cn.B());
    cs.SetCoefs(&as, &bs);
    SCOPED_TRACE(seed + " " + CurveText(cn));
    EXPECT_TRUE(GF2Equal(cs.C4(), ToStandard(cn.Field(), cn.C4())));
    for (int r = 0; r < Iterations(3); ++r) {
      TGF2NEPoint p, q;
      cn.GetRndPoint(p);
      q.X().Assign(ToStandard(cn.Field(), p.X()));
      q.Y().Assign(ToStandard(cn.Field(), p.Y()));
      ASSERT_TRUE(OnCurve(cs, q));
      const TInteger k = RandomScalar(n, true);
      SCOPED_TRACE("k=" + Hex(k) + " P=" + PointText(cn, p));
      cn.Mul(p, k, true);
      cs.Mul(q, k, true);
      EXPECT_EQ(PointText(cn, p), PointText(cs, q));
    }
  }
}

// Tiny fields in full: every point found by brute force, closure, inverses,
// associativity, random points among them and the group order killing all.
TEST(EcGroupTiny, AllPoints) {
  const std::string seed = SeedRandom(0xEC7E);
  for (int n = 2; n <= 8; ++n) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      for (int ci = 0; ci < 2; ++ci) {
        TGF2NECurve c;
        MakeCurve(c, n, basis);
        SCOPED_TRACE(seed + " " + CurveText(c));
        std::vector<TGF2NEPoint> pts(1);  // O first
        std::set<std::pair<std::uint32_t, std::uint32_t>> keys{{0, 0}};
        for (std::uint32_t x = 0; x < (1u << n); ++x) {
          for (std::uint32_t y = 0; y < (1u << n); ++y) {
            TGF2NEPoint p;
            p.X().SetWord(x);
            p.Y().SetWord(y);
            if (p.IsZero() || !OnCurve(c, p)) continue;
            pts.push_back(p);
            keys.insert({x, y});
          }
        }
        const std::int64_t count = static_cast<std::int64_t>(pts.size());
        // Even (the point of order 2) and within the Hasse bound.
        EXPECT_EQ(count % 2, 0);
        const std::int64_t q = std::int64_t{1} << n;
        EXPECT_LE((count - q - 1) * (count - q - 1), 4 * q);
        auto key = [](const TGF2NEPoint& p) {
          return std::make_pair(p.X().IsZero() ? 0u : p.X().Words()[0], p.Y().IsZero() ? 0u : p.Y().Words()[0]);
        };
        const std::size_t all = pts.size();
        const std::size_t pairLimit = n <= 5 ? all : 24;
        for (std::size_t i = 0; i < all; ++i) {
          const TGF2NEPoint& p = pts[i];
          EXPECT_TRUE(Times(c, p, TInteger(count), true).IsZero()) << PointText(c, p);
          EXPECT_TRUE(Times(c, p, TInteger(count), false).IsZero()) << PointText(c, p);
          EXPECT_TRUE(SamePoint(Times(c, p, TInteger(count + 1), true), p)) << PointText(c, p);
          TGF2NEPoint m(p);
          c.Neg(m);
          EXPECT_TRUE(keys.count(key(m)));
          for (std::size_t j = 0; j < std::min(all, pairLimit); ++j) {
            const TGF2NEPoint s = Sum(c, p, pts[j]);
            EXPECT_TRUE(keys.count(key(s))) << PointText(c, p) << " + " << PointText(c, pts[j]);
            if (n <= 3) {
              for (std::size_t k = 0; k < all; ++k)
                EXPECT_TRUE(SamePoint(Sum(c, s, pts[k]), Sum(c, p, Sum(c, pts[j], pts[k]))));
            }
          }
        }
        // Random points are among them, and reach both signs.
        std::set<std::pair<std::uint32_t, std::uint32_t>> seen;
        for (int r = 0; r < 40 * static_cast<int>(all); ++r) {
          TGF2NEPoint p;
          c.GetRndPoint(p);
          ASSERT_TRUE(keys.count(key(p))) << PointText(c, p);
          seen.insert(key(p));
        }
        EXPECT_EQ(seen.size() + 1, all);  // every affine point, O never
      }
    }
  }
}

}  // namespace
}  // namespace rara::test
