// Order proof and security verdicts on known cases: a composite N, a point
// of small prime order, an embedding degree below the bound, and a sound
// curve of prime degree.
#include <gtest/gtest.h>

#include "engine/construction.h"
#include "engine/mov.h"
#include "engine/trust.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_poly.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using namespace rara::test;

void Build(TECGF2Data& rec, int n, const TGF2Poly& p) {
  SeedRandom(77 + n);
  rec.SeedFromClock = false;
  rec.Clear();
  std::int32_t progress = 0;
  rec.ComputeParams(n, 0, 15, 32767, false, progress);
  ASSERT_GT(rec.ClassNumber, 0);
  rec.ComputeWeberPoly(progress, 1.0L);
  rec.SetField(p, btStandard);
  rec.PickRoot();
  rec.MakeCurve();
  rec.NewPoint();
}

const TVerdict& Find(const TTrustReport& r, const std::string& key) {
  for (const TVerdict& v : r.Verdicts)
    if (v.Key == key) return v;
  static const TVerdict none{"missing", TVerdictLevel::Note, "", ""};
  return none;
}

TEST(Trust, EmbeddingDegreeOfTwo) {
  EXPECT_EQ(EmbeddingDegreeOf2(TInteger(7), 100), 3);
  EXPECT_EQ(EmbeddingDegreeOf2(TInteger(23), 100), 11);
  EXPECT_EQ(EmbeddingDegreeOf2(TInteger(23), 10), 0);  // beyond the bound
  EXPECT_EQ(EmbeddingDegreeOf2(TInteger(2), 100), 0);  // no odd subgroup
  TInteger m61(1);
  IShl(m61, 61);
  ISub(m61, 1);
  EXPECT_EQ(EmbeddingDegreeOf2(m61, 1000), 61);
}

TEST(Trust, PrimeDegreeCurveIsProvenAndPasses) {
  TECGF2Data rec;
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  Build(rec, 163, p);
  TTrustReport r;
  CheckTrust(rec, r);
  EXPECT_TRUE(r.Proof.Proven) << r.Proof.Reason;
  EXPECT_EQ(Find(r, "field_degree").Level, TVerdictLevel::Pass);
  EXPECT_EQ(Find(r, "supersingular").Level, TVerdictLevel::Pass);
  EXPECT_EQ(Find(r, "anomalous").Level, TVerdictLevel::Pass);
  EXPECT_EQ(Find(r, "embedding_degree").Level, TVerdictLevel::Pass);
  EXPECT_EQ(Find(r, "mov").Level, TVerdictLevel::Pass);
  EXPECT_EQ(Find(r, "cm_discriminant").Level, TVerdictLevel::Note);
  // The twist has q + 1 + t points, where the curve has q + 1 - t = K·R.
  TInteger expect(1);
  IShl(expect, 163);
  IAdd(expect, 1);
  TInteger kr(expect);
  IAdd(expect, r.Trace);
  ISub(kr, r.Trace);
  TInteger order(rec.K);
  IMul(order, rec.R);
  EXPECT_EQ(ICmp(kr, order), 0);
  EXPECT_EQ(ICmp(r.TwistOrder, expect), 0);
  EXPECT_EQ(Find(r, "point_count").Level, TVerdictLevel::Pass);
  std::string orderText;
  IStr(order, 10, 5, false, false, orderText);
  EXPECT_EQ(r.Proof.PointCount, orderText);
  EXPECT_TRUE(r.Proof.CountConfirmed);
  const std::vector<std::string> lines = TrustLines(rec, r);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Checks");
  EXPECT_EQ(lines[2].rfind("Order: proven #E = K*R: ", 0), 0u) << lines[2];
  EXPECT_EQ(lines.size(), 3 + r.Verdicts.size());
}

TEST(Trust, CompositeDegreeAndSmallOrderPoint) {
  TECGF2Data rec;
  TGF2Poly p;
  GetP1363Irreducible(p, 64);
  Build(rec, 64, p);
  TTrustReport r;
  CheckTrust(rec, r);
  EXPECT_TRUE(r.Proof.Proven) << r.Proof.Reason;
  EXPECT_EQ(Find(r, "field_degree").Level, TVerdictLevel::Fail);
  EXPECT_NE(Find(r, "field_degree").Text.find("smallest factor 2"), std::string::npos);
  EXPECT_EQ(Find(r, "order_size").Level, TVerdictLevel::Fail);

  // The point (0, √b) has order 2: as K·R = (K·R/2)·2 the order is not proven.
  TInteger order(rec.K);
  IMul(order, rec.R);
  IDiv(order, std::int64_t{2});
  IAssign(rec.K, order);
  rec.R.SetInt64(2);
  rec.Curve.GetOrder2Point(rec.Point);
  EXPECT_EQ(ProveOrder(rec).Reason,
            "R <= 4*2^(N/2): the Hasse interval holds more than one multiple of R");
  rec.R.SetInt64(3);
  EXPECT_EQ(ProveOrder(rec).Reason, "R times the point is not the point at infinity");
  rec.R.SetInt64(9);
  EXPECT_EQ(ProveOrder(rec).Reason, "R is not prime");
  rec.Point.SetZero();
  EXPECT_EQ(ProveOrder(rec).Reason, "no point of order R has been drawn");
}

// A cofactor that does not match the curve: the independent count says so.
TEST(Trust, PointCountExposesAWrongOrder) {
  TECGF2Data rec;
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  Build(rec, 163, p);
  IAdd(rec.K, 2);
  TTrustReport r;
  CheckTrust(rec, r);
  const TVerdict& v = Find(r, "point_count");
  EXPECT_EQ(v.Level, TVerdictLevel::Fail);
  EXPECT_FALSE(r.Proof.CountConfirmed);
  EXPECT_EQ(v.Text, "an independent point count gives #E = " + r.Proof.PointCount + ", not K*R");
}

TEST(Trust, EmbeddingDegreeBelowTheBound) {
  // R = 2^61 - 1 divides 2^61 - 1: a subgroup whose logarithms move to GF(2^61).
  TECGF2Data rec;
  rec.Clear();
  rec.N = 64;
  rec.D = 7;
  rec.ClassNumber = 1;
  rec.R.SetOne();
  IShl(rec.R, 61);
  ISub(rec.R, 1);
  rec.K.SetInt64(8);
  rec.MOVResult = MOVDegree(rec.N, rec.R);
  TTrustReport r;
  CheckTrust(rec, r);
  EXPECT_EQ(r.EmbeddingDegree, 61);
  EXPECT_EQ(Find(r, "embedding_degree").Level, TVerdictLevel::Fail);
  EXPECT_EQ(Find(r, "mov").Level,
            rec.MOVResult < CriticalThreshold(64) ? TVerdictLevel::Fail : TVerdictLevel::Pass);
  EXPECT_FALSE(r.Proof.Proven);
}

}  // namespace
}  // namespace rara
