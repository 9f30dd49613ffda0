// The parameters report, the curve report and the point blocks, line by
// line with their styles, from records filled by hand.
#include <gtest/gtest.h>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "reports/reports.h"

namespace rara {
namespace {

using S = TLineStyle;
using L = TReportLine;

// Order of a prime subgroup over GF(2^163), with its decimal text in groups.
constexpr const char* RHex = "4000000000000000000020108A2E0CC0D99F8A5EF";
constexpr const char* RText = "5846 00654 93236 11672 81474 17535 98448 34832 91185 74063";

void SetHex(TInteger& a, const char* hex) {
  a.Clear();
  for (const char* c = hex; *c; ++c) {
    IShl(a, 4);
    IAdd(a, std::stoi(std::string(1, *c), nullptr, 16));
  }
}

void FillParams(TECGF2Data& d, std::int64_t k, std::int32_t mov) {
  d.N = 163;
  d.D = 5923;
  d.ClassNumber = 163;
  d.K.SetInt64(k);
  SetHex(d.R, RHex);
  d.KFactors = k == 12 ? "2^2 * 3" : "2^2";
  d.MOVResult = mov;
  GetP1363Irreducible(d.W, 163);
  d.WIrreducible = true;
  d.WeberDone = true;
}

// W reducible with count factors x^2 + x + 1 (the report does not judge them).
void SetFactors(TECGF2Data& d, int count) {
  d.WIrreducible = false;
  d.WFactors.Size(0);
  TGF2Poly f;
  GF2SetDegs(f, {2, 1, 0});
  for (int i = 0; i < count; ++i) d.WFactors.NewCell(f);
  GF2SetDegs(d.W, {2 * count, 0});
}

TReportLines Params(TECGF2Data& d, bool binary = false) {
  TReportLines lines;
  ShowParams(lines, d, TDisplaySettings{binary, false});
  return lines;
}

TEST(ParamsReport, FullTextWithSmallKAndIrreducibleW) {
  TECGF2Data d;
  FillParams(d, 4, 0);
  const TReportLines expected = {
      {S::Note, ""},
      {S::Note, "Integers are in decimal representation"},
      {S::Note, "Polynomials are in hexadecimal representation and displayed with Hi..Lo bit order"},
      {S::Body, ""},
      {S::Title, "Curve parameters"}, {S::Spacer, ""},
      {S::Body, "Field degree    = 163"},
      {S::Body, "CM discriminant = 5923"},
      {S::Body, "Class number    = 163"},
      {S::Body, ""},
      {S::Title, "Curve order U = K*R with R prime"}, {S::Spacer, ""},
      {S::Body, "U = 23384 02619 72944 46691 25896 70143 93793 39331 64742 96252"},
      {S::Body, "K = 4"},
      {S::Body, std::string("R = ") + RText},
      {S::Body, "U binary size = 165"},
      {S::Body, "K binary size = 3"},
      {S::Body, "R binary size = 163"},
      {S::Body, ""},
      {S::Title, "MOV Condition"}, {S::Spacer, ""},
      {S::Body, "Critical threshold = 7"},
      {S::Body, "Checked with threshold B = 1000"},
      {S::Body, ""},
      {S::Title, "Weber polynomial modulo 2"}, {S::Spacer, ""},
      {S::Body, "Degree = 163"},
      {S::Body, "W = 8 0000 0000 0000 0000 0000 0000 0000 0000 0000 00c9"},
      {S::Body, "W is irreducible over GF(2)"},
  };
  const TReportLines lines = Params(d);
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
  // The record keeps the order the report showed.
  TInteger u(d.K);
  IMul(u, d.R);
  EXPECT_TRUE(IEqual(d.U, u));
}

TEST(ParamsReport, FactorizationOfKOnlyAboveFourAndMovFailureInRed) {
  TECGF2Data d;
  FillParams(d, 12, 3);
  const TReportLines lines = Params(d);
  const auto at = [&](const std::string& text) {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].Text == text) return i;
    return lines.size();
  };
  const std::size_t title = at("Factorization of K");
  ASSERT_LT(title, lines.size());
  EXPECT_EQ(lines[title - 2].Text, "R binary size = 163");
  EXPECT_EQ(lines[title - 1], (L{S::Body, ""}));
  EXPECT_EQ(lines[title + 2], (L{S::Body, "K = 2^2 * 3"}));
  EXPECT_EQ(lines[title + 3], (L{S::Body, ""}));
  EXPECT_EQ(lines[title + 4], (L{S::Title, "MOV Condition"}));
  EXPECT_EQ(lines[at("K = 12")].Style, S::Body);
  EXPECT_LT(at("U binary size = 166"), lines.size());
  EXPECT_LT(at("K binary size = 4"), lines.size());
  const std::size_t mov = at("Failed with threshold B = 3");
  ASSERT_LT(mov, lines.size());
  EXPECT_EQ(lines[mov].Style, S::Warning);
  EXPECT_EQ(lines[mov - 1].Text, "Critical threshold = 7");
  EXPECT_EQ(lines[mov + 1], (L{S::Body, ""}));
  EXPECT_EQ(at("Checked with threshold B = 1000"), lines.size());

  for (std::int64_t k : {2, 4}) {
    FillParams(d, k, 0);
    const TReportLines small = Params(d);
    for (const L& line : small) EXPECT_NE(line.Text, "Factorization of K") << "K = " << k;
    EXPECT_EQ(small.size(), lines.size() - 4);
  }
}

TEST(ParamsReport, FactorsOfReducibleWWithAlignedIndices) {
  TECGF2Data d;
  FillParams(d, 4, 0);
  for (int count : {10, 11, 12}) {
    SCOPED_TRACE(count);
    SetFactors(d, count);
    for (bool binary : {false, true}) {
      const TReportLines lines = Params(d, binary);
      const std::string f = binary ? "111" : "7";
      ASSERT_EQ(lines.size(), 33u + static_cast<std::size_t>(count));
      std::size_t i = 28;
      EXPECT_EQ(lines[i++], (L{S::Body, "W is not irreducible over GF(2)"}));
      EXPECT_EQ(lines[i++], (L{S::Body, ""}));
      EXPECT_EQ(lines[i++], (L{S::Title, "Irreducible factors of W"}));
      EXPECT_EQ(lines[i++], (L{S::Spacer, ""}));
      EXPECT_EQ(lines[i++], (L{S::Body, std::to_string(count) + " factors of degree 2"}));
      const bool wide = count > 10;
      EXPECT_EQ(lines[i].Text, (wide ? "F[ 0] = " : "F[0] = ") + f);
      EXPECT_EQ(lines[i + 9].Text, (wide ? "F[ 9] = " : "F[9] = ") + f);
      EXPECT_EQ(lines.back().Text, "F[" + std::to_string(count - 1) + "] = " + f);
      EXPECT_EQ(lines[2].Text, std::string("Polynomials are in ") +
                                   (binary ? "binary" : "hexadecimal") +
                                   " representation and displayed with Hi..Lo bit order");
    }
  }
}

// A record with parameters, field, root, curve coefficients and point set by hand.
void FillCurve(TECGF2Data& d, const TGF2Poly& fieldPoly, std::uint8_t basis) {
  FillParams(d, 4, 0);
  d.Field.SetField(fieldPoly, basis, true);
  d.Root.Clear();
  d.Root.SetCoef(1, true);  // x
  d.CoefA.Clear();
  d.CoefB.Clear();
  d.CoefB.SetCoef(0, true);  // 1: trace 1 in the standard basis of an odd degree
  d.Point.X().Clear();
  d.Point.X().SetCoef(2, true);
  d.Point.Y().Clear();
  d.Point.Y().SetCoef(0, true);
  d.CurveBuilt = true;
}

TReportLines Curve(const TECGF2Data& d, bool binary, bool reversed) {
  TReportLines lines;
  ShowCurve(lines, d, TDisplaySettings{binary, reversed});
  return lines;
}

TEST(CurveReport, FullTextInTheStandardBasis) {
  TECGF2Data d;
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  FillCurve(d, p, btStandard);
  const TReportLines expected = {
      {S::Note, ""},
      {S::Note, "Except field polynomial that may be represented with an array of degrees, "
                "polynomials are in hexadecimal representation"},
      {S::Body, ""},
      {S::Title, "Field GF(2^163)"}, {S::Spacer, ""},
      {S::Body, "Field polynomial = [163,7,6,3,0]"},
      {S::Body, "Basis type = Standard"},
      {S::Body, ""},
      {S::Title, "Random root of W over GF(2^163)"}, {S::Spacer, ""},
      {S::Body, "Z = 2"},
      {S::Body, ""},
      {S::Title, "Curve of order K*R over GF(2^163)"}, {S::Spacer, ""},
      {S::Body, "A = 0"},
      {S::Body, "B = 1"},
      {S::Body, "Trace(A) = 0"},
      {S::Body, "Trace(B) = 1"},
  };
  EXPECT_EQ(Curve(d, false, false), expected);

  // Reversed: field elements turn around, no bit-order note in this basis.
  const TReportLines rev = Curve(d, false, true);
  ASSERT_EQ(rev.size(), expected.size());
  EXPECT_EQ(rev[2], (L{S::Body, ""}));
  EXPECT_EQ(rev[10].Text, "Z = 2 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000");
  EXPECT_EQ(rev[15].Text, "B = 4 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000");
  EXPECT_EQ(rev[5].Text, "Field polynomial = [163,7,6,3,0]");

  // The root of a factor names it.
  SetFactors(d, 12);
  d.FactorIndex = 3;
  const TReportLines binary = Curve(d, true, false);
  EXPECT_EQ(binary[8], (L{S::Title, "Random root of F[3] over GF(2^163)"}));
  EXPECT_EQ(binary[10].Text, "Z = 10");
  EXPECT_EQ(binary[1].Text.substr(binary[1].Text.size() - 21), "binary representation");
}

TEST(CurveReport, BitOrderNotesOfTheNormalBasis) {
  TECGF2Data d;
  TGF2Poly p;
  GetNormal(p, 163);  // a pentanomial: shown as a list of degrees
  FillCurve(d, p, btNormal);
  TReportLines lines = Curve(d, false, true);
  EXPECT_EQ(lines[2], (L{S::Note, "Root, curve and points are displayed with Lo..Hi bit order"}));
  EXPECT_EQ(lines[3], (L{S::Body, ""}));
  EXPECT_EQ(lines[7].Text, "Basis type = Normal");
  EXPECT_EQ(lines[6].Text.substr(0, 28), "Field polynomial = [163,162,");

  lines = Curve(d, false, false);
  EXPECT_EQ(lines[2], (L{S::Note, "All polynomials are displayed with Hi..Lo bit order"}));
  EXPECT_EQ(lines[3], (L{S::Body, ""}));

  GF2Set(p, GaussNormalText(163), true);  // more terms: shown as a string
  FillCurve(d, p, btNormal);
  lines = Curve(d, false, true);
  EXPECT_EQ(lines[2], (L{S::Note, "Field polynomial is displayed with Hi..Lo bit order"}));
  EXPECT_EQ(lines[3], (L{S::Note, "Root, curve and points are displayed with Lo..Hi bit order"}));
  EXPECT_EQ(lines[4], (L{S::Body, ""}));
  EXPECT_EQ(lines[7].Text.substr(0, 19), "Field polynomial = ");
  EXPECT_EQ(lines[7].Text[20], ' ');  // a grouped string, 41 digits
  lines = Curve(d, false, false);
  EXPECT_EQ(lines[2], (L{S::Note, "All polynomials are displayed with Hi..Lo bit order"}));
}

TEST(PointBlock, EachPointAppendsABlankLineTitleAndCoordinates) {
  TECGF2Data d;
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  FillCurve(d, p, btStandard);
  TReportLines lines;
  ShowCurve(lines, d, TDisplaySettings{});
  const std::size_t curve = lines.size();
  for (int i = 0; i < 3; ++i) ShowPoint(lines, d, TDisplaySettings{true, false});
  ASSERT_EQ(lines.size(), curve + 15);
  for (int i = 0; i < 3; ++i) {
    const std::size_t b = curve + 5 * static_cast<std::size_t>(i);
    EXPECT_EQ(lines[b], (L{S::Body, ""}));
    EXPECT_EQ(lines[b + 1], (L{S::Title, "Random point of order R"}));
    EXPECT_EQ(lines[b + 2], (L{S::Spacer, ""}));
    EXPECT_EQ(lines[b + 3], (L{S::Body, "X = 100"}));
    EXPECT_EQ(lines[b + 4], (L{S::Body, "Y = 1"}));
  }
}

}  // namespace
}  // namespace rara
