// Entry checks: parameter ranges and corrections, the trial-bound steps, the
// field polynomial syntax and checks, the list status texts and the Weber
// consistency check.
#include <gtest/gtest.h>

#include "engine/construction.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "reports/validation.h"

namespace rara {
namespace {

TParamEntry Check(TParamEntries& e) { return ValidateParams(e); }

TEST(ParamEntries, RangesAndCorrectionsInTheDialogsOrder) {
  TParamEntries e;
  EXPECT_EQ(Check(e), TParamEntry::None);  // the defaults pass
  EXPECT_EQ(e.TrialBound, 32767);

  for (std::int32_t n : {63, 361, -1}) {
    TParamEntries bad;
    bad.N = n;
    bad.KMaxSize = 1000;  // not looked at once N fails
    EXPECT_EQ(Check(bad), TParamEntry::FieldDegree) << n;
    EXPECT_EQ(bad.KMaxSize, 1000);
  }

  e = TParamEntries{100, 90, 32767, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::KMaxSize);
  EXPECT_EQ(e.KMaxSize, 80);
  e = TParamEntries{100, 80, 32767, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::None);
  e = TParamEntries{64, 1, 32767, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::KMaxSize);
  EXPECT_EQ(e.KMaxSize, 2);
  e = TParamEntries{64, 2, 32767, 0, true};
  EXPECT_EQ(Check(e), TParamEntry::KMaxSize);
  EXPECT_EQ(e.KMaxSize, 3);

  // The bound is corrected without failing.
  e = TParamEntries{163, 20, 4194303, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::None);
  EXPECT_EQ(e.TrialBound, 1048575);
  e = TParamEntries{163, 10, 4194303, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::None);
  EXPECT_EQ(e.TrialBound, 32767);
  e = TParamEntries{163, 100, 5000000, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::None);
  EXPECT_EQ(e.TrialBound, 4194303);
  e = TParamEntries{163, 100, -7, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::None);
  EXPECT_EQ(e.TrialBound, 32767);

  e = TParamEntries{163, 15, 32767, 10000000, false};
  EXPECT_EQ(Check(e), TParamEntry::Discriminant);
  EXPECT_EQ(e.D, 9999999);
  e = TParamEntries{163, 15, 32767, -5, false};
  EXPECT_EQ(Check(e), TParamEntry::Discriminant);
  EXPECT_EQ(e.D, 0);
  e = TParamEntries{163, 15, 32767, 9999999, false};
  EXPECT_EQ(Check(e), TParamEntry::None);

  EXPECT_EQ(KMaxSizeHint(false), "Min = 2, Max = (4*Field degree) div 5");
  EXPECT_EQ(KMaxSizeHint(true), "Min = 3, Max = (4*Field degree) div 5");
}

TEST(ParamEntries, ReadingAndTrialBoundSteps) {
  std::int32_t v = 7;
  EXPECT_TRUE(ReadIntEntry(" 163 ", v));
  EXPECT_EQ(v, 163);
  EXPECT_TRUE(ReadIntEntry("-12", v));
  EXPECT_EQ(v, -12);
  for (const char* bad : {"", " ", "12a", "1.5", "0x10", "99999999999", "--1"}) {
    v = 7;
    EXPECT_FALSE(ReadIntEntry(bad, v)) << bad;
    EXPECT_EQ(v, 7) << bad;
  }
  EXPECT_EQ(TrialBoundUp(32767), 65535);
  EXPECT_EQ(TrialBoundUp(40000), 65535);
  EXPECT_EQ(TrialBoundUp(2097151), 4194303);
  EXPECT_EQ(TrialBoundUp(4194303), 4194303);
  EXPECT_EQ(TrialBoundDown(131071), 65535);
  EXPECT_EQ(TrialBoundDown(65535), 32767);
  EXPECT_EQ(TrialBoundDown(32767), 32767);
  EXPECT_EQ(TrialBoundDown(4194303), 2097151);
  EXPECT_EQ(TrialBoundDown(9999999), 4194303);
  EXPECT_EQ(TrialBoundDown(0), 32767);  // ends instead of halving forever
  EXPECT_EQ(TrialBoundDown(-3), 32767);
}

TEST(FieldPolyEntry, SyntaxDegreeIrreducibilityAndNormality) {
  TGF2Poly p;
  const auto check = [&](const char* text, std::int32_t n, std::uint8_t basis) {
    return CheckFieldPoly(text, n, basis, p);
  };
  using E = TFieldPolyError;
  EXPECT_EQ(check("[163,7,6,3,0]", 163, 0), E::None);
  EXPECT_EQ(GF2DegsToStr(p, false), "[163,7,6,3,0]");
  EXPECT_EQ(check(" [163, 7, 6, 3, 0] ", 163, 0), E::None);
  EXPECT_EQ(check("[163,7,6,3,0,]", 163, 0), E::None);  // a trailing comma is read over
  EXPECT_EQ(check("8 0000 0000 0000 0000 0000 0000 0000 0000 0000 00C9", 163, 0), E::None);
  EXPECT_EQ(check("[163,7,6,3]", 163, 0), E::NotIrreducible);
  EXPECT_EQ(check("[163,7,6,3,0]", 163, 1), E::NotNormal);  // no x^162 term
  TGF2Poly normal;
  GetNormal(normal, 163);
  EXPECT_EQ(CheckFieldPoly(GF2DegsToStr(normal, false), 163, 1, p), E::None);
  EXPECT_EQ(CheckFieldPoly(GaussNormalText(163), 163, 1, p), E::None);
  EXPECT_EQ(check("4 0000 0000 0000 0000 0000 0000 0000 0000 0000 00C9", 163, 0), E::Degree);
  EXPECT_EQ(FieldPolyMessage(E::Degree, 163), "Field polynomial degree should be equal to 163");

  for (const char* bad : {"", "   ", "[7,163]", "[163,7,7,0]", "[163,,7,0]", "[163,7,6,3,0",
                          "[]", "[,]", "[163;7,0]", "[361,1,0]", "[63,1,0]", "x163",
                          "-8000000000000000000000000000000000000000c9", "8000000000000000g1",
                          "8000000000000001"}) {
    TGF2Poly kept;
    kept.SetCoef(5, true);
    EXPECT_EQ(CheckFieldPoly(bad, 163, 0, kept), E::Syntax) << bad;
    EXPECT_EQ(kept.Degree(), 5) << bad;
  }
  const std::string tooHigh = "1" + std::string(90, '0') + "1";  // degree 364
  EXPECT_EQ(check(tooHigh.c_str(), 163, 0), E::Syntax);
  EXPECT_EQ(FieldPolyMessage(E::Syntax, 163), "Field polynomial: Invalid syntax");
  EXPECT_EQ(FieldPolyMessage(E::NotIrreducible, 163), "Field polynomial should be irreducible");
  EXPECT_EQ(FieldPolyMessage(E::NotNormal, 163), "Field polynomial should be normal");
  EXPECT_EQ(FieldPolyMessage(E::None, 163), "");

  EXPECT_EQ(ToggleFieldPolyText("[163,7,6,3,0]"), "800000000000000000000000000000000000000c9");
  EXPECT_EQ(ToggleFieldPolyText("800000000000000000000000000000000000000c9"), "[163,7,6,3,0]");
  EXPECT_EQ(ToggleFieldPolyText("[7,163]"), "[7,163]");
  EXPECT_EQ(ToggleFieldPolyText("[162,7,6,3,0]"), "400000000000000000000000000000000000000c9");
}

TEST(FieldPolyEntry, ListStatusTexts) {
  EXPECT_EQ(X963StatusText(163), "");
  EXPECT_TRUE(X963Available(163));
  for (std::int32_t n : {64, 100, 160}) EXPECT_EQ(X963StatusText(n), "(None)") << n;
  for (std::int32_t n : {179, 192, 246, 254, 304, 334, 344})
    EXPECT_EQ(X963StatusText(n), "(Same as P1363 list)") << n;
  EXPECT_EQ(X963StatusText(361), "(None)");
  EXPECT_EQ(GaussStatusText(163), "of type 4");
  EXPECT_EQ(GaussStatusText(160), "(None)");
  EXPECT_FALSE(GaussAvailable(160));
  EXPECT_FALSE(GaussAvailable(400));
}

// The batch front end's range beside the dialogs' one: up to 571, with the
// K bound and the lists following N.
TEST(ParamEntries, BatchRangeReaches571) {
  TParamEntries e{571, 456, 32767, 0, false};
  EXPECT_EQ(Check(e), TParamEntry::FieldDegree);  // the dialog's range
  EXPECT_EQ(ValidateParams(e, BatchMaxFieldDegree), TParamEntry::None);
  e = TParamEntries{571, 457, 32767, 0, false};
  EXPECT_EQ(ValidateParams(e, BatchMaxFieldDegree), TParamEntry::KMaxSize);
  EXPECT_EQ(e.KMaxSize, 456);
  e.N = 572;
  EXPECT_EQ(ValidateParams(e, BatchMaxFieldDegree), TParamEntry::FieldDegree);

  TGF2Poly p;
  using E = TFieldPolyError;
  EXPECT_EQ(CheckFieldPoly("[571,10,5,2,0]", 571, 0, p), E::Syntax);
  EXPECT_EQ(CheckFieldPoly("[571,10,5,2,0]", 571, 0, p, BatchMaxFieldDegree), E::None);
  EXPECT_EQ(CheckFieldPoly("[572,1,0]", 572, 0, p, BatchMaxFieldDegree), E::Syntax);
  const std::string hex571 = "8" + std::string(139, '0') + "425";  // x^571 + x^10 + x^5 + x^2 + 1
  EXPECT_EQ(CheckFieldPoly(hex571, 571, 0, p, BatchMaxFieldDegree), E::None);
  EXPECT_EQ(CheckFieldPoly(hex571, 571, 1, p, BatchMaxFieldDegree), E::NotNormal);
  constexpr int last = BatchFieldListMaxDegree;
  EXPECT_EQ(CheckFieldPoly(GaussNormalText(571, last), 571, 1, p, BatchMaxFieldDegree), E::None);

  EXPECT_EQ(X963StatusText(409), "(None)");
  EXPECT_EQ(X963StatusText(409, last), "(Same as P1363 list)");  // a trinomial
  EXPECT_EQ(X963StatusText(571, last), "");
  // Pentanomial degrees beyond 360 on which both lists agree.
  for (std::int32_t n : {381, 437, 546}) EXPECT_EQ(X963StatusText(n, last), "(Same as P1363 list)") << n;
  EXPECT_EQ(X963StatusText(572, last), "(None)");
  EXPECT_FALSE(GaussAvailable(571));
  EXPECT_EQ(GaussStatusText(571, last), "of type 10");
  EXPECT_EQ(GaussStatusText(568, last), "(None)");
}

TEST(WeberCheck, FactorsMustShareOneDegreeAndBeIrreducible) {
  TECGF2Data d;
  d.WIrreducible = true;
  EXPECT_TRUE(WeberPolyConsistent(d));
  d.WIrreducible = false;
  GF2SetDegs(d.W, {6, 0});
  EXPECT_FALSE(WeberPolyConsistent(d));  // no factors at all
  TGF2Poly f;
  GF2SetDegs(f, {2, 1, 0});
  for (int i = 0; i < 3; ++i) d.WFactors.NewCell(f);
  EXPECT_TRUE(WeberPolyConsistent(d));
  GF2SetDegs(d.WFactors.Cell(2), {2, 0});  // (x + 1)^2
  EXPECT_FALSE(WeberPolyConsistent(d));
  GF2SetDegs(d.WFactors.Cell(2), {3, 1, 0});
  EXPECT_FALSE(WeberPolyConsistent(d));
  EXPECT_EQ(WeberFailedMessage,
            "Failed computation\r\nAn error occurred while computing the Weber polynomial.\r\n"
            "You should increase the \"Floating-point Precision Ratio\" and restart the "
            "computation.");
}

}  // namespace
}  // namespace rara
