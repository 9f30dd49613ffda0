// Integer and polynomial texts of the reports, and the line lists.
#include <gtest/gtest.h>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/settings.h"
#include "reports/report_lines.h"
#include "reports/report_text.h"

namespace rara {
namespace {

TInteger FromHex(const char* hex) {
  TInteger a;
  for (const char* c = hex; *c; ++c) {
    IShl(a, 4);
    IAdd(a, std::stoi(std::string(1, *c), nullptr, 16));
  }
  return a;
}

TEST(ReportText, IntTextGroupsDecimalDigitsByFiveFromTheRight) {
  EXPECT_EQ(IntText(TInteger(0)), "0");
  EXPECT_EQ(IntText(TInteger(12345)), "12345");
  EXPECT_EQ(IntText(TInteger(123456)), "1 23456");
  EXPECT_EQ(IntText(TInteger(1234567)), "12 34567");
  EXPECT_EQ(IntText(TInteger(-1234567)), "12 34567");  // no sign
  // The order of a prime subgroup over GF(2^163), its digits checked elsewhere.
  EXPECT_EQ(IntText(FromHex("4000000000000000000020108A2E0CC0D99F8A5EF")),
            "5846 00654 93236 11672 81474 17535 98448 34832 91185 74063");
}

TEST(ReportText, PolyTextInBothRepresentations) {
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  TDisplaySettings hex;
  TDisplaySettings bin;
  bin.Binary = true;
  // Whatever the thread's padding setting says, the reports do not pad.
  StrZeroPad = true;
  EXPECT_EQ(PolyText(p, 0, hex), "8 0000 0000 0000 0000 0000 0000 0000 0000 0000 00c9");
  GF2SetDegs(p, {9, 0});
  EXPECT_EQ(PolyText(p, 0, bin), "10 00000001");
  EXPECT_TRUE(StrZeroPad);
  StrLowerHex = false;
  GF2SetDegs(p, {11, 3, 1, 0});
  EXPECT_EQ(PolyText(p, 0, hex), "80b");
  EXPECT_FALSE(StrLowerHex);
  StrLowerHex = true;
  TGF2Poly zero;
  EXPECT_EQ(PolyText(zero, 0, hex), "0");
  EXPECT_EQ(PolyText(zero, 163, bin), "0");
  EXPECT_EQ(hex.RepresentationName(), "hexadecimal");
  EXPECT_EQ(bin.RepresentationName(), "binary");
}

TEST(ReportText, ReversedOrderAppliesToFieldElementsOnly) {
  TDisplaySettings rev;
  rev.Binary = true;
  rev.Reversed = true;
  TGF2Poly one;
  GF2SetDegs(one, {0});
  std::string expected = "100";
  for (int i = 0; i < 20; ++i) expected += " 00000000";
  EXPECT_EQ(PolyText(one, 163, rev), expected);
  TGF2Poly top;
  GF2SetDegs(top, {162});
  EXPECT_EQ(PolyText(top, 163, rev), "1");
  // A polynomial that is not a field element keeps its order, and the
  // argument itself is never changed.
  EXPECT_EQ(PolyText(top, 0, rev), expected);
  EXPECT_EQ(top.Degree(), 162);
  rev.Binary = false;
  GF2SetDegs(top, {4, 1});
  EXPECT_EQ(PolyText(top, 8, rev), "48");  // x^4 + x -> x^3 + x^6 over 8 places
}

TEST(ReportText, FieldPolynomialAsDegreesOnlyForTrinomialsAndPentanomials) {
  TGF2N field;
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  field.SetField(p, btStandard, true);
  EXPECT_EQ(FieldPolyText(field, TDisplaySettings{}), "[163,7,6,3,0]");
  GetNormal(p, 163);
  field.SetField(p, btNormal, true);
  const std::string degrees = FieldPolyText(field, TDisplaySettings{});
  EXPECT_EQ(degrees.substr(0, 9), "[163,162,") << degrees;
  EXPECT_EQ(degrees.substr(degrees.size() - 3), ",0]") << degrees;
  EXPECT_TRUE(FieldPolyAsDegrees(field));
  // The Gaussian normal polynomial has more terms: shown as a grouped string.
  const std::string gauss = GaussNormalText(163);
  GF2Set(p, gauss, true);
  field.SetField(p, btNormal, true);
  EXPECT_FALSE(FieldPolyAsDegrees(field));
  std::string grouped;
  for (std::size_t i = 0; i < gauss.size(); ++i) {
    if (i > 0 && (gauss.size() - i) % 4 == 0) grouped += ' ';
    grouped += gauss[i];
  }
  EXPECT_EQ(FieldPolyText(field, TDisplaySettings{}), grouped);
}

TEST(ReportLines, TitlesCarryASpacerAndPlainTextDropsStyles) {
  TReportLines lines;
  AddLine(lines, TLineStyle::Note, "n");
  AddTitle(lines, "T");
  AddLine(lines, TLineStyle::Warning, "w");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], (TReportLine{TLineStyle::Title, "T"}));
  EXPECT_EQ(lines[2], (TReportLine{TLineStyle::Spacer, ""}));
  EXPECT_EQ(PlainText(lines, "\r\n"), "n\r\nT\r\n\r\nw\r\n");
  EXPECT_EQ(LineTexts(lines), (std::vector<std::string>{"n", "T", "", "w"}));
  // Only the warning is red; only the title is bold and underlined.
  EXPECT_TRUE(LineFormat(TLineStyle::Warning).Red);
  EXPECT_EQ(LineFormat(TLineStyle::Warning).Face, LineFormat(TLineStyle::Body).Face);
  EXPECT_TRUE(LineFormat(TLineStyle::Title).Bold && LineFormat(TLineStyle::Title).Underline);
  EXPECT_EQ(LineFormat(TLineStyle::Spacer).PointSize, 4);
  EXPECT_FALSE(LineFormat(TLineStyle::Note).Red || LineFormat(TLineStyle::Body).Bold);
}

}  // namespace
}  // namespace rara
