// The built-in field polynomial lists of degrees 64 to 360.
#include <gtest/gtest.h>

#include <set>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_poly.h"
#include "integers/errors.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::MessageOf;

TDynLongintArray Degs(const TGF2Poly& p) {
  TDynLongintArray d;
  GF2GetDegs(p, d);
  return d;
}

TEST(FieldPolyLists, TellingRows) {
  struct Row {
    int n;
    TDynLongintArray p1363, x963, normal;
    int gauss;
  };
  const Row rows[] = {
      {64, {64, 4, 3, 1, 0}, {}, {64, 63, 8, 1, 0}, 0},
      {65, {65, 18, 0}, {}, {65, 64, 18, 1, 0}, 2},
      {66, {66, 3, 0}, {}, {66, 65, 40, 1, 0}, 1},
      {160, {160, 5, 3, 2, 0}, {160, 117, 2, 1, 0}, {160, 159, 9, 1, 0}, 0},
      {163, {163, 7, 6, 3, 0}, {163, 8, 2, 1, 0}, {163, 162, 25, 1, 0}, 4},
      {179, {179, 4, 2, 1, 0}, {179, 4, 2, 1, 0}, {179, 178, 63, 2, 0}, 2},
      {233, {233, 74, 0}, {233, 74, 0}, {233, 232, 15, 1, 0}, 2},
      {283, {283, 12, 7, 5, 0}, {283, 200, 2, 1, 0}, {283, 282, 66, 1, 0}, 6},
      {360, {360, 5, 3, 2, 0}, {360, 49, 2, 1, 0}, {360, 359, 199, 1, 0}, 0},
  };
  TGF2Poly p;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.n);
    GetP1363Irreducible(p, r.n);
    EXPECT_EQ(Degs(p), r.p1363);
    if (!r.x963.empty()) {
      GetX963Irreducible(p, r.n);
      EXPECT_EQ(Degs(p), r.x963);
    }
    GetNormal(p, r.n);
    EXPECT_EQ(Degs(p), r.normal);
    EXPECT_EQ(GaussType(static_cast<std::uint16_t>(r.n)), r.gauss);
    EXPECT_EQ(GaussNormalText(r.n).empty(), r.gauss == 0);
  }
  EXPECT_EQ(GaussNormalText(65), "37303000300000003");
  EXPECT_EQ(GaussNormalText(66), "7ffffffffffffffff");
  EXPECT_EQ(GaussNormalText(67), "d2ae11bf5eab4205d");
}

TEST(FieldPolyLists, RangeErrorsLeaveTheOutputAlone) {
  TGF2Poly p;
  p.SetWord(0x1234);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { GetX963Irreducible(p, 159); }), "GetX963Irreducible\r\nInvalid index");
  EXPECT_THROW(GetP1363Irreducible(p, 63), ERuvIndexError);
  EXPECT_THROW(GetP1363Irreducible(p, 361), ERuvIndexError);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { GetNormal(p, 361); }), "GetNormal\r\nInvalid index");
  EXPECT_TRUE(GF2Equal(p, [] { TGF2Poly q; q.SetWord(0x1234); return q; }()));
  EXPECT_EQ(GaussNormalText(63), "");
  EXPECT_EQ(GaussNormalText(1000), "");
  EXPECT_EQ(GaussType(0), 0);
  EXPECT_EQ(GaussType(2), 0);
}

TEST(FieldPolyLists, WholeListsKeepTheirShape) {
  TGF2Poly p, q;
  int trinomials = 0, gaussian = 0, b1 = 0, b2 = 0, b3 = 0;
  std::set<int> agreeOnPentanomials;
  for (int n = 64; n <= 360; ++n) {
    SCOPED_TRACE(n);
    GetP1363Irreducible(p, n);
    TDynLongintArray d = Degs(p);
    ASSERT_TRUE(d.size() == 3 || d.size() == 5);
    EXPECT_EQ(d.front(), n);
    EXPECT_EQ(d.back(), 0);
    trinomials += d.size() == 3;
    if (n >= 160) {
      GetX963Irreducible(q, n);
      TDynLongintArray e = Degs(q);
      if (d.size() == 3) {
        EXPECT_EQ(e, d);  // the lists agree on every trinomial
      }
      if (e.size() == 5) {
        EXPECT_EQ(e[3], 1);
      }
      if (d.size() == 5 && GF2Equal(p, q)) agreeOnPentanomials.insert(n);
    }
    GetNormal(p, n);
    d = Degs(p);
    ASSERT_EQ(d.size(), 5u);
    b1 += d[3] == 1;
    b2 += d[3] == 2;
    b3 += d[3] == 3;
    int t = GaussType(static_cast<std::uint16_t>(n));
    gaussian += t != 0;
    EXPECT_EQ(t == 0, n % 8 == 0);
    EXPECT_EQ(GaussNormalText(n).empty(), t == 0);
  }
  EXPECT_EQ(trinomials, 163);
  EXPECT_EQ(gaussian, 259);
  EXPECT_EQ(b1, 221);
  EXPECT_EQ(b2, 72);
  EXPECT_EQ(b3, 4);
  EXPECT_EQ(agreeOnPentanomials, (std::set<int>{179, 192, 246, 254, 304, 334, 344}));
}

// Hexadecimal text of a polynomial, most significant digit first.
std::string Hex(const TGF2Poly& p) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (int i = p.Degree() / 4; i >= 0; --i) {
    int v = 0;
    for (int b = 3; b >= 0; --b) v = 2 * v + (p.Coef(4 * i + b) ? 1 : 0);
    s += digits[v];
  }
  return s;
}

TEST(FieldPolyLists, GaussianPolynomialsOfTypesOneAndTwo) {
  // Type 1 is the all-one polynomial; type 2 is f_N of f_(k+1) = x·f_k + f_(k-1).
  TGF2Poly f0, f1, t;
  f0.SetOne();
  GF2SetDegs(f1, {1, 0});
  for (int k = 1; k <= 360; ++k) {
    // f1 holds f_k, f0 holds f_(k-1).
    if (k >= 64) {
      int type = GaussType(static_cast<std::uint16_t>(k));
      if (type == 2) {
        EXPECT_EQ(GaussNormalText(k), Hex(f1)) << k;
      }
      if (type == 1) {
        TGF2Poly ones;
        ones.Fill(k + 1);
        EXPECT_EQ(GaussNormalText(k), Hex(ones)) << k;
      }
    }
    t.Assign(f1);
    GF2MulX(t);
    GF2Add(t, f0);
    f0.Assign(f1);
    f1.Assign(t);
  }
}

}  // namespace
}  // namespace rara
