// The built-in field polynomial lists of degrees 64 to 571 (the dialogs'
// look-ups end at 360).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_poly.h"
#include "gf2/gf2_text.h"
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

// The dialogs' calls keep 64..360; the batch front end's reach 571.
TEST(FieldPolyLists, DialogRangeStaysBatchRangeReaches571) {
  TGF2Poly p;
  p.SetWord(0x1234);
  const TGF2Poly before(p);
  constexpr int last = BatchFieldListMaxDegree;
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetP1363Irreducible(p, 361); }),
            "GetP1363Irreducible\r\nInvalid index");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetX963Irreducible(p, 361); }),
            "GetX963Irreducible\r\nInvalid index");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetNormal(p, 361); }), "GetNormal\r\nInvalid index");
  EXPECT_EQ(GaussNormalText(361), "");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetP1363Irreducible(p, 572, last); }),
            "GetP1363Irreducible\r\nInvalid index");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetX963Irreducible(p, 572, last); }),
            "GetX963Irreducible\r\nInvalid index");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetNormal(p, 63, last); }),
            "GetNormal\r\nInvalid index");
  EXPECT_EQ(test::MessageOf<ERuvIndexError>([&] { GetX963Irreducible(p, 159, last); }),
            "GetX963Irreducible\r\nInvalid index");
  EXPECT_TRUE(GF2Equal(p, before));
  EXPECT_EQ(GaussNormalText(572, last), "");
  // A maximum beyond the tables is held to the tables.
  EXPECT_THROW(GetNormal(p, 600, 1000), ERuvIndexError);
  EXPECT_EQ(GaussNormalText(600, 1000), "");
  GetP1363Irreducible(p, 571, last);
  EXPECT_EQ(Degs(p), (TDynLongintArray{571, 10, 5, 2, 0}));
  GetX963Irreducible(p, 409, last);
  EXPECT_EQ(Degs(p), (TDynLongintArray{409, 87, 0}));
  EXPECT_EQ(GaussType(571), 10);
}

// Every entry beyond the dialogs' range by our own tests: irreducible P1363
// and X9.63 entries that agree on the trinomials, X9.63 pentanomials with
// k1 = 1, normal pentanomials and Gaussian polynomials that are normal.
TEST(FieldPolyLists, EntriesBeyond360AreIrreducibleAndNormal) {
  constexpr int last = BatchFieldListMaxDegree;
  TGF2Poly p, q;
  int gaussian = 0;
  for (int n = FieldListMaxDegree + 1; n <= last; ++n) {
    SCOPED_TRACE(n);
    GetP1363Irreducible(p, n, last);
    const TDynLongintArray d = Degs(p);
    ASSERT_TRUE(d.size() == 3 || d.size() == 5);
    EXPECT_EQ(d.front(), n);
    EXPECT_TRUE(GF2IsIrreducible(p));
    GetX963Irreducible(q, n, last);
    const TDynLongintArray e = Degs(q);
    if (d.size() == 3) {
      EXPECT_EQ(e, d);
    }
    if (e.size() == 5) {
      EXPECT_EQ(e[3], 1);
    }
    EXPECT_EQ(e.size(), d.size());
    EXPECT_TRUE(GF2IsIrreducible(q));
    GetNormal(p, n, last);
    EXPECT_EQ(p.Weight(), 5);
    EXPECT_TRUE(p.Coef(n - 1));
    EXPECT_TRUE(GF2IsNormal(p));
    const int t = GaussType(static_cast<std::uint16_t>(n));
    EXPECT_EQ(t == 0, n % 8 == 0);
    const std::string text = GaussNormalText(n, last);
    ASSERT_EQ(text.empty(), t == 0);
    if (t != 0) {
      ++gaussian;
      GF2Set(q, text, true);
      EXPECT_EQ(q.Degree(), n);
      EXPECT_TRUE(GF2IsNormal(q));
    }
  }
  EXPECT_EQ(gaussian, 211 - 26);
}

// An independent derivation in PARI/GP of all four entries for a sample of
// degrees above 360, by the rules written out again here.
TEST(FieldPolyLists, SampleBeyond360RederivedInGp) {
  if (!test::HaveGp()) GTEST_SKIP() << "gp not found";
  constexpr int last = BatchFieldListMaxDegree;
  const int sample[] = {361, 409, 468, 477, 503, 521, 568, 571};
  std::string script =
      "irr(f)=polisirreducible(Mod(1,2)*f);\n"
      "nrm(f)={my(n=poldegree(f),r=Mod(Mod(1,2)*x,Mod(1,2)*f),v=vector(n));"
      "if(!irr(f),return(0));for(i=1,n,v[i]=Vecrev(lift(lift(r)),n);r=r^2);"
      "matrank(Mat(Mod(Mat(v~),2)))==n};\n"
      "tri(n)=for(k=1,n-1,if(irr(x^n+x^k+1),return([k])));0;\n"
      "p1363(n)=my(t=tri(n));if(t,return(t));"
      "for(a=3,n-1,for(b=2,a-1,for(c=1,b-1,if(irr(x^n+x^a+x^b+x^c+1),return([a,b,c])))));\n"
      "x963(n)=my(t=tri(n));if(t,return(t));"
      "for(c=1,n-3,for(b=c+1,n-2,for(a=b+1,n-1,if(irr(x^n+x^a+x^b+x^c+1),return([a,b,c])))));\n"
      "nor(n)=for(b=1,n-3,for(a=b+1,n-2,if(nrm(x^n+x^(n-1)+x^a+x^b+1),return([a,b]))));\n"
      "gt(n)=if(n%8==0,return(0));for(t=1,255,my(p=t*n+1);if(isprime(p)&&"
      "gcd((p-1)/znorder(Mod(2,p)),n)==1,return(t)));0;\n"
      "hx(f)=my(s=0,v=Vec(lift(f)));for(i=1,#v,s=2*s+v[i]);Strprintf(\"%x\",s);\n"
      "g(n)=my(t=gt(n));if(t,hx(Mod(1,2)*polsubcyclo(t*n+1,n)),\"-\");\n";
  for (int n : sample)
    script += "print(p1363(" + std::to_string(n) + "),\" \",x963(" + std::to_string(n) +
              "),\" \",nor(" + std::to_string(n) + "),\" \",g(" + std::to_string(n) + "));\n";
  std::istringstream out(test::RunGp(script));
  auto middle = [](const TGF2Poly& f) {
    TDynLongintArray d = Degs(f);
    std::string s = "[";
    for (std::size_t i = 1; i + 1 < d.size(); ++i) s += (i > 1 ? ", " : "") + std::to_string(d[i]);
    return s + "]";
  };
  for (int n : sample) {
    std::string line;
    ASSERT_TRUE(std::getline(out, line)) << n;
    TGF2Poly p1363, x963, normal;
    GetP1363Irreducible(p1363, n, last);
    GetX963Irreducible(x963, n, last);
    GetNormal(normal, n, last);
    TDynLongintArray nd = Degs(normal);
    const std::string gauss = GaussNormalText(n, last);
    const std::string mine = middle(p1363) + " " + middle(x963) + " [" + std::to_string(nd[2]) +
                             ", " + std::to_string(nd[3]) + "] " + (gauss.empty() ? "-" : gauss);
    EXPECT_EQ(mine, line) << "N=" << n;
  }
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
  for (int k = 1; k <= BatchFieldListMaxDegree; ++k) {
    // f1 holds f_k, f0 holds f_(k-1).
    if (k >= 64) {
      int type = GaussType(static_cast<std::uint16_t>(k));
      if (type == 2) {
        EXPECT_EQ(GaussNormalText(k, BatchFieldListMaxDegree), Hex(f1)) << k;
      }
      if (type == 1) {
        TGF2Poly ones;
        ones.Fill(k + 1);
        EXPECT_EQ(GaussNormalText(k, BatchFieldListMaxDegree), Hex(ones)) << k;
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
