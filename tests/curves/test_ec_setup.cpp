// Curve set-up and its refusals with their messages, the Jacobian conversion
// of (0, 0, 0), and the stream and file forms of points and curves with
// damaged input.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <typeinfo>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/streams.h"
#include "tests/curves/ec_test_util.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

using test::MessageOf;

TEST(EcSetup, OperationsNeedFieldAndCoefs) {
  TGF2NECurve c;
  EXPECT_EQ(c.State(), TGF2NECurve::NoField);
  TGF2NEPoint p;
  TGF2Poly a, b;
  b.SetOne();
  const TInteger k(5);
  const std::string why = "\r\nInvalid call\r\nCurve without coefs";
  auto checkAll = [&] {
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.Add(p, p); }), "TGF2NECurve.Add" + why);
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.Double(p); }), "TGF2NECurve.Double" + why);
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.GetCoefs(&a, &b); }), "TGF2NECurve.GetCoefs" + why);
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.GetOrder2Point(p); }),
              "TGF2NECurve.GetOrder2Point" + why);
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.GetRndPoint(p); }), "TGF2NECurve.GetRndPoint" + why);
    EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.Mul(p, k, true); }), "TGF2NECurve.Mul" + why);
  };
  checkAll();
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { c.SetCoefs(&a, &b); }),
            "TGF2NECurve.SetCoefs\r\nInvalid call\r\nCurve without field");

  // A new field drops the coefficients until they are set again.
  c.SetField(9, btStandard);
  EXPECT_EQ(c.State(), TGF2NECurve::NoCoefs);
  c.SetCoefs(&a, &b);
  EXPECT_EQ(c.State(), TGF2NECurve::Ready);
  c.SetField(11, btNormal);
  EXPECT_EQ(c.State(), TGF2NECurve::NoCoefs);
  checkAll();
}

TEST(EcSetup, SetCoefsChecksBFirstAndKeepsTheCurve) {
  TGF2NECurve c;
  c.SetField(9, btStandard);
  TGF2Poly zero, big, a, b;
  big.SetMonomial(9);  // degree N
  GF2SetDegs(a, {8, 1});
  GF2SetDegs(b, {5, 0});
  const std::string name = "TGF2NECurve.SetCoefs\r\nInvalid parameter\r\n";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetCoefs(&big, &zero); }), name + "Invalid B coefficient");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetCoefs(&big, nullptr); }), name + "Invalid B coefficient");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetCoefs(&a, &big); }), name + "Invalid B coefficient");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetCoefs(&big, &b); }), name + "Invalid A coefficient");
  EXPECT_EQ(c.State(), TGF2NECurve::NoCoefs);

  c.SetCoefs(&a, &b);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetCoefs(&big, &b); }), name + "Invalid A coefficient");
  EXPECT_EQ(c.State(), TGF2NECurve::Ready);
  EXPECT_TRUE(GF2Equal(c.A(), a));
  EXPECT_TRUE(GF2Equal(c.B(), b));

  // C4 is the fourth root of B; a null A is 0; the curve's own values may be passed.
  for (std::uint8_t basis : {btStandard, btNormal}) {
    TGF2NECurve d;
    d.SetField(163, basis);
    EXPECT_FALSE(d.Field().CheckDegrees());
    TGF2Poly bb;
    d.Field().Rnd(bb);
    bb.SetCoef(0, true);
    d.SetCoefs(nullptr, &bb);
    EXPECT_TRUE(d.A().IsZero());
    TGF2Poly t(d.C4());
    d.Field().Sqr(t);
    d.Field().Sqr(t);
    EXPECT_TRUE(GF2Equal(t, bb));
    d.SetCoefs(&d.B(), &d.B());
    EXPECT_TRUE(GF2Equal(d.A(), bb));
    TGF2Poly ga, gb;
    d.GetCoefs(&ga, nullptr);
    d.GetCoefs(nullptr, &gb);
    EXPECT_TRUE(GF2Equal(ga, bb));
    EXPECT_TRUE(GF2Equal(gb, bb));
  }
}

TEST(EcSetup, SetFieldRefusalsLeaveTheCurve) {
  TGF2NECurve c;
  c.SetField(7, btNormal);
  TGF2Poly b;
  b.SetOne();
  c.SetCoefs(nullptr, &b);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetField(1, btStandard); }),
            "TGF2NECurve.SetField\r\nInvalid parameter\r\nDeg < 2");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetField(0, btStandard); }),
            "TGF2NECurve.SetField\r\nInvalid parameter\r\nDeg < 2");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { c.SetField(9, 2); }),
            "TGF2N.SetField\r\nInvalid parameter\r\nBasis should be in [btStandard,btNormal]");
  EXPECT_EQ(c.State(), TGF2NECurve::Ready);
  EXPECT_EQ(c.Field().N(), 7);
  EXPECT_EQ(c.Field().BasisType(), btNormal);

  // A null field changes nothing; a given one is copied with its own settings.
  c.SetField(nullptr);
  EXPECT_EQ(c.State(), TGF2NECurve::Ready);
  TGF2N f;
  f.SetField(13, btStandard);
  c.SetField(&f);
  EXPECT_EQ(c.State(), TGF2NECurve::NoCoefs);
  EXPECT_EQ(c.Field().N(), 13);
  EXPECT_TRUE(GF2Equal(c.Field().FieldPoly(), f.FieldPoly()));
  EXPECT_TRUE(c.Field().CheckDegrees());
  c.SetField(2, btStandard);
  EXPECT_EQ(c.Field().N(), 2);
}

TEST(EcSetup, JacobianConversion) {
  TGF2NECurve c;
  c.SetField(9, btNormal);
  TGF2Poly b;
  b.SetMonomial(3);
  c.SetCoefs(nullptr, &b);
  TGF2Poly zero, one, five;
  one.SetOne();
  five.SetWord(5);
  TGF2NEPoint p;
  c.GetRndPoint(p);
  const TGF2NEPoint before(p);
  try {
    c.JToAC(zero, zero, zero, p);
    ADD_FAILURE() << "no error";
  } catch (const ERuv& e) {
    EXPECT_EQ(std::string(e.what()), "TGF2NECurve.JToAC\r\nInvalid Jacobian point");
    EXPECT_TRUE(typeid(e) == typeid(ERuv));
  }
  EXPECT_TRUE(SamePoint(p, before));
  c.JToAC(one, one, zero, p);
  EXPECT_TRUE(p.IsZero());
  c.GetRndPoint(p);
  c.JToAC(five, zero, zero, p);  // any Z = 0 other than (0, 0, 0) is O
  EXPECT_TRUE(p.IsZero());

  // (x·z^2, y·z^3, z) is (x, y) for any z != 0.
  c.GetRndPoint(p);
  TGF2Poly z, x, y, t;
  do c.Field().Rnd(z); while (z.IsZero());
  t.Assign(z);
  c.Field().Sqr(t);
  x.Assign(p.X());
  c.Field().Mul(x, t);
  c.Field().Mul(t, z);
  y.Assign(p.Y());
  c.Field().Mul(y, t);
  TGF2NEPoint q;
  c.JToAC(x, y, z, q);
  EXPECT_TRUE(SamePoint(p, q));
}

// ---------------------------------------------------------------- persistence

TEST(EcSetup, PointStreamAndFile) {
  TGF2NECurve c;
  c.SetField(163, btStandard);
  TGF2Poly b;
  b.SetWord(0x1234567);
  c.SetCoefs(nullptr, &b);
  TGF2NEPoint p, q, o;
  c.GetRndPoint(p);
  TMemoryStream s;
  s.WriteU8(0xAA);  // the forms work from any position
  p.SaveToStream(s);
  o.SaveToStream(s);
  s.SetPosition(1);
  q.LoadFromStream(s);
  EXPECT_TRUE(SamePoint(p, q));
  q.LoadFromStream(s);
  EXPECT_TRUE(q.IsZero());
  EXPECT_EQ(s.Position(), s.Size());

  // Cut inside Y: O, stream back where it was, stream error.
  std::vector<std::uint8_t> bytes(s.Bytes().begin() + 1, s.Bytes().end() - 16 - 8);  // drops O and the end of Y
  TMemoryStream cut2(bytes);
  q.Assign(p);
  EXPECT_THROW(q.LoadFromStream(cut2), ERuvStreamError);
  EXPECT_TRUE(q.IsZero());
  EXPECT_EQ(cut2.Position(), 0);

  const std::string path = ::testing::TempDir() + "rara_ec_point.bin";
  p.SaveToFile(path);
  {
    std::ifstream in(path, std::ios::binary);
    std::string head(25, '\0');
    in.read(head.data(), 25);
    EXPECT_EQ(head, "Ruv EC over GF2N - Point ");
  }
  q.SetZero();
  q.LoadFromFile(path);
  EXPECT_TRUE(SamePoint(p, q));
  c.SaveToFile(path);  // a curve file is not a point file
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { q.LoadFromFile(path); }),
            "TGF2NEPoint.LoadFromFile\r\nInvalid \"" + path + "\" file");
  std::remove(path.c_str());
}

void ExpectSameCurve(const TGF2NECurve& c, const TGF2NECurve& d) {
  EXPECT_EQ(c.State(), d.State());
  EXPECT_EQ(c.Field().N(), d.Field().N());
  EXPECT_EQ(c.Field().BasisType(), d.Field().BasisType());
  EXPECT_EQ(c.Field().HasNormalBasis(), d.Field().HasNormalBasis());
  EXPECT_EQ(c.Field().CheckDegrees(), d.Field().CheckDegrees());
  EXPECT_TRUE(GF2Equal(c.Field().FieldPoly(), d.Field().FieldPoly()));
  EXPECT_TRUE(GF2Equal(c.A(), d.A()));
  EXPECT_TRUE(GF2Equal(c.B(), d.B()));
  EXPECT_TRUE(GF2Equal(c.C4(), d.C4()));
}

TEST(EcSetup, CurveStreamAndFile) {
  const std::string seed = SeedRandom(0xEC57);
  // Every state, both bases, a field beyond the built-in list.
  for (int n : {9, 283}) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      SCOPED_TRACE(seed + " N=" + std::to_string(n) + " basis=" + std::to_string(basis));
      TGF2NECurve c, d;
      TMemoryStream s;
      c.SaveToStream(s);
      TGF2N f;
      MakeField(f, n, basis);
      c.SetField(&f);
      c.SaveToStream(s);
      MakeCurve(c, n, basis);
      c.SaveToStream(s);
      s.SetPosition(0);
      d.LoadFromStream(s);
      EXPECT_EQ(d.State(), TGF2NECurve::NoField);
      d.LoadFromStream(s);
      EXPECT_EQ(d.State(), TGF2NECurve::NoCoefs);
      EXPECT_EQ(d.Field().N(), n);
      d.LoadFromStream(s);
      ExpectSameCurve(c, d);
      EXPECT_EQ(s.Position(), s.Size());
      TGF2NEPoint p, q;
      c.GetRndPoint(p);
      q.Assign(p);
      const TInteger k(1000003);
      c.Mul(p, k, true);
      d.Mul(q, k, true);
      EXPECT_TRUE(SamePoint(p, q));
    }
  }

  TGF2NECurve c, d;
  MakeCurve(c, 9, btNormal);
  d.SetField(5, btStandard);
  const std::string path = ::testing::TempDir() + "rara_ec_curve.bin";
  c.SaveToFile(path);
  {
    std::ifstream in(path, std::ios::binary);
    std::string head(25, '\0');
    in.read(head.data(), 25);
    EXPECT_EQ(head, "Ruv EC over GF2N - Curve ");
  }
  d.LoadFromFile(path);
  ExpectSameCurve(c, d);
  TGF2NEPoint p;
  p.SaveToFile(path);
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { d.LoadFromFile(path); }),
            "TGF2NECurve.LoadFromFile\r\nInvalid \"" + path + "\" file");
  ExpectSameCurve(c, d);
  std::remove(path.c_str());
}

TEST(EcSetup, DamagedCurveStreamsLeaveTheCurve) {
  SeedRandom(0xEC58);
  TGF2NECurve c, d;
  MakeCurve(c, 9, btStandard);
  MakeCurve(d, 7, btNormal);
  TMemoryStream s;
  c.SaveToStream(s);
  const std::vector<std::uint8_t> good = s.Bytes();

  auto expectRefused = [&](const std::vector<std::uint8_t>& bytes, const char* what) {
    SCOPED_TRACE(what);
    TMemoryStream m(bytes);
    EXPECT_THROW(d.LoadFromStream(m), ERuvStreamError);
    EXPECT_EQ(m.Position(), 0);
    EXPECT_EQ(d.Field().N(), 7);
    EXPECT_EQ(d.State(), TGF2NECurve::Ready);
  };
  expectRefused({}, "empty");
  for (std::size_t cut : {std::size_t{1}, good.size() / 2, good.size() - 1})
    expectRefused(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)), "cut");
  auto bad = good;
  bad[0] = 3;
  expectRefused(bad, "state 3");

  // Coefficients that no SetCoefs would accept: B = 0, then a C4 that is
  // not the fourth root of B.
  TGF2NECurve e;
  TGF2N f;
  f.SetField(9, btStandard);
  e.SetField(&f);
  for (int which = 0; which < 2; ++which) {
    TMemoryStream m;
    m.WriteU8(TGF2NECurve::Ready);
    e.Field().SaveToStream(m);
    TGF2Poly zero, one, x;
    one.SetOne();
    x.SetX();
    zero.SaveToStream(m);
    (which == 0 ? zero : one).SaveToStream(m);
    (which == 0 ? zero : x).SaveToStream(m);
    expectRefused(m.Bytes(), which == 0 ? "B = 0" : "wrong C4");
  }
}

// ---------------------------------------------------------------- abort

using test::AbortAtPoll;
using test::PollsBeforeAbort;

// An abort inside K·P leaves the point, the coefficients, the field's basis
// and the scratch pool as they were.
TEST(EcSetup, AbortInMulLeavesEverything) {
  const std::string seed = SeedRandom(0xEC5A);
  for (std::uint8_t basis : {btStandard, btNormal}) {
    TGF2NECurve c;
    MakeCurve(c, 163, basis);
    TGF2NEPoint p;
    c.GetRndPoint(p);
    const TGF2NEPoint p0(p);
    const TGF2Poly a0(c.A()), c40(c.C4()), one0(c.Field().BasisConst());
    const TInteger k = RandomScalar(163, false);
    TGF2NEPoint want(p);
    c.Mul(want, k, true);
    const int used = TGF2PolyPool::ThreadVars().Used;
    for (bool projective : {true, false}) {
      for (int polls : {1, 3, 50, 120}) {
        SCOPED_TRACE(seed + " basis=" + std::to_string(basis) + " polls=" + std::to_string(polls));
        PollsBeforeAbort = polls;
        RuvBreakWith(&AbortAtPoll);
        break_detail::Tick.store(true);
        bool aborted = false;
        try {
          c.Mul(p, k, projective);
        } catch (const ERuvAbort&) {
          aborted = true;
        }
        RuvBreakStop();
        EXPECT_TRUE(aborted);
        EXPECT_TRUE(SamePoint(p, p0));
        EXPECT_EQ(c.Field().BasisType(), basis);
        EXPECT_TRUE(GF2Equal(c.Field().BasisConst(), one0));
        EXPECT_TRUE(GF2Equal(c.A(), a0));
        EXPECT_TRUE(GF2Equal(c.C4(), c40));
        EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
      }
    }
    c.Mul(p, k, true);
    EXPECT_TRUE(SamePoint(p, want));
  }
}

}  // namespace
}  // namespace rara::test
