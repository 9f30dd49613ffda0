// Curves against PARI/GP over the same field: K·P against ellmul, the group
// order from ellcard killing random points, and for orders with a large prime
// factor R, (order/R)·P of order exactly R. One gp run for all curves.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/curves/ec_test_util.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

struct TCase {
  std::unique_ptr<TGF2NECurve> Curve;
  std::vector<TGF2NEPoint> Points;
  std::vector<TInteger> Scalars;
  std::vector<std::string> Ours;  // K·P, standard coordinates
};

TEST(EcGp, OrdersAndProductsAgreeWithGp) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  const std::string seed = SeedRandom(0xEC6B);
  const int perField = 3;
  const int pointsPerCurve = 3;
  std::vector<TCase> cases;
  std::ostringstream gp;
  gp << "e(n)=subst(Pol(binary(n)),'x,t);\n"
        "fi(z)=my(p=z.pol);if(type(p)==\"t_POL\",subst(p,variable(p),2),p);\n"
        "hx(Q)=if(#Q==1,\"O\",Strprintf(\"0x%x 0x%x\",fi(Q[1]),fi(Q[2])));\n"
        // The largest prime factor when it is found by trial division or is
        // the prime cofactor left after it; 0 otherwise.
        "bigp(n)=my(f=factor(n,2^20),r=f[#f~,1]);if(ispseudoprime(r),r,0);\n";
  for (int n : {5, 9, 64, 163, 283}) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      for (int ci = 0; ci < perField; ++ci) {
        TCase k;
        k.Curve = std::make_unique<TGF2NECurve>();
        TGF2NECurve& c = *k.Curve;
        MakeCurve(c, n, basis);
        const TGF2N& f = c.Field();
        gp << "t=ffgen(Mod(1,2)*Pol(binary(" << Hex(f.FieldPoly()) << ")),'t);"
           << "E=ellinit([1,e(" << Hex(ToStandard(f, c.A())) << "),0,0,e(" << Hex(ToStandard(f, c.B()))
           << ")],t);n=ellcard(E);printf(\"%x %x\\n\",n,bigp(n));\n";
        for (int j = 0; j < pointsPerCurve; ++j) {
          TGF2NEPoint p;
          c.GetRndPoint(p);
          const TInteger s = RandomScalar(n + 8, true);
          TGF2NEPoint q(p);
          c.Mul(q, s, true);
          gp << "print(hx(ellmul(E,[e(" << Hex(ToStandard(f, p.X())) << "),e(" << Hex(ToStandard(f, p.Y()))
             << ")]," << Hex(s) << ")));\n";
          k.Ours.push_back(PointText(c, q));
          k.Points.push_back(std::move(p));
          k.Scalars.push_back(s);
        }
        cases.push_back(std::move(k));
      }
    }
  }
  std::istringstream out(RunGp(gp.str()));

  int withLargeR[300] = {};
  for (TCase& k : cases) {
    TGF2NECurve& c = *k.Curve;
    SCOPED_TRACE(seed + " " + CurveText(c));
    std::string orderHex, rHex;
    ASSERT_TRUE(out >> orderHex >> rHex);
    const TInteger order = FromHex(orderHex);
    const TInteger r = FromHex(rHex);
    for (std::size_t j = 0; j < k.Points.size(); ++j) {
      std::string x, y;
      ASSERT_TRUE(out >> x);
      if (x != "O") {
        ASSERT_TRUE(out >> y);
      }
      const std::string theirs = x == "O" ? x : x + " " + y;
      const TGF2NEPoint& p = k.Points[j];
      SCOPED_TRACE("P=" + PointText(c, p) + " k=" + Hex(k.Scalars[j]));
      EXPECT_EQ(k.Ours[j], theirs);

      // The order kills P in both coordinate systems; order + 1 gives P back.
      TGF2NEPoint q(p);
      c.Mul(q, order, true);
      EXPECT_TRUE(q.IsZero()) << "order=" << orderHex;
      q.Assign(p);
      c.Mul(q, order, false);
      EXPECT_TRUE(q.IsZero()) << "order=" << orderHex;
      TInteger o1(order);
      IInc(o1);
      q.Assign(p);
      c.Mul(q, o1, true);
      EXPECT_TRUE(SamePoint(q, p));

      // R large (R^2 > order): (order/R)·P is O or of order exactly R.
      if (r.IsZero() || 2 * r.BitSize() <= order.BitSize() + 1) continue;
      ++withLargeR[c.Field().N()];
      TInteger h(order);
      ASSERT_TRUE(IDiv(h, r));
      q.Assign(p);
      c.Mul(q, h, true);
      if (q.IsZero()) continue;
      TGF2NEPoint g(q);
      c.Mul(g, r, true);
      EXPECT_TRUE(g.IsZero()) << "R=" << rHex;
      TInteger r1(r);
      IInc(r1);
      g.Assign(q);
      c.Mul(g, r1, false);
      EXPECT_TRUE(SamePoint(g, q)) << "R=" << rHex;
    }
  }
  for (int n : {5, 9, 64, 163, 283}) EXPECT_GT(withLargeR[n], 0) << "no order with a large prime, N=" << n;
}

}  // namespace
}  // namespace rara::test
