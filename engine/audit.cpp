// The audit report of a curve file.
#include "engine/audit.h"

#include <vector>

#include "curves/ec_gf2n.h"
#include "curves/ec_point_count.h"
#include "engine/construction.h"
#include "engine/mov.h"
#include "engine/seed_check.h"
#include "engine/trust.h"
#include "gf2/gf2_factor.h"
#include "integers/primes.h"

namespace rara {

namespace {

std::string Dec(const TInteger& a) {
  std::string s;
  IStr(a, 10, 0, false, false, s);
  return s;
}

std::string Hex(const TGF2Poly& e, std::int32_t n) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string s;
  for (std::int32_t i = (n + 3) / 4 - 1; i >= 0; --i) {
    int v = 0;
    for (int b = 0; b < 4; ++b)
      if (4 * i + b <= e.Degree() && e.Coef(4 * i + b)) v |= 1 << b;
    s += Digits[v];
  }
  return "0x" + s;
}

std::string OctetsHex(const std::string& bytes) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string s;
  for (const char c : bytes) {
    s += Digits[static_cast<std::uint8_t>(c) >> 4];
    s += Digits[static_cast<std::uint8_t>(c) & 15];
  }
  return s;
}

std::string PolyTerms(const TGF2Poly& p) {
  std::string s;
  for (std::int32_t i = p.Degree(); i >= 0; --i)
    if (p.Coef(i)) {
      if (!s.empty()) s += " + ";
      s += i == 0 ? "1" : i == 1 ? "x" : "x^" + std::to_string(i);
    }
  return s;
}

const char* YesNo(bool b) { return b ? "yes" : "NO"; }

class TAuditor {
 public:
  TAuditor(const TCurveFile& c, TAuditResult& r) : c_(c), r_(r) {}

  void Run() {
    const std::int32_t n = c_.N;
    Line("Audit of a curve over GF(2^" + std::to_string(n) + ")");
    Line("");
    Line("File format: " + c_.Format + (c_.Name.empty() ? "" : ", name " + c_.Name));
    Line("Field: GF(2^" + std::to_string(n) + ") = GF(2)[x]/(" + PolyTerms(c_.FieldPoly) + ")");
    Line("a = " + Hex(c_.A, n));
    Line("b = " + Hex(c_.B, n));
    if (c_.HasGenerator) {
      Line("Generator x = " + Hex(c_.Gx, n));
      Line("Generator y = " + Hex(c_.Gy, n));
    }
    if (c_.HasOrder) Line("Order R = " + Number(c_.Order));
    if (c_.HasCofactor) Line("Cofactor K = " + Number(c_.Cofactor));
    Line("");

    if (!Claim("field polynomial irreducible", GF2IsIrreducible(c_.FieldPoly),
               "the field polynomial is irreducible"))
      return Stop();
    if (!Claim("b <> 0 (curve not singular)", !c_.B.IsZero(), "b is not zero (the curve is not singular)"))
      return Stop();

    TECGF2Data& d = data_;
    d.Field.SetField(c_.FieldPoly, btStandard, false);
    d.Curve.SetField(&d.Field);
    d.Curve.SetCoefs(&c_.A, &c_.B);
    d.N = n;

    bool onCurve = false;
    if (c_.HasGenerator) {
      onCurve = OnCurve();
      Claim("generator on the curve", onCurve, "the generator lies on the curve");
    } else {
      Line("Generator: none given");
    }

    TInteger count;
    ECPointCount(count, d.Curve.Field(), d.Curve.A(), d.Curve.B());
    Line("Point count #E = " + Dec(count));

    if (!c_.HasOrder) {
      Line("Order: none given");
      return Stop();
    }
    const TInteger& r = c_.Order;
    TInteger k;
    bool orderHolds;
    if (c_.HasCofactor) {
      IAssign(k, c_.Cofactor);
      TInteger kr(k);
      IMul(kr, r);
      orderHolds = Claim("order x cofactor = #E", IEqual(kr, count), "order x cofactor equals #E");
    } else {
      // Without a cofactor the file still claims that R divides #E.
      IAssign(k, count);
      orderHolds = !r.IsZero() && IDiv(k, r);
      Claim("order divides #E", orderHolds, "the order divides #E");
      if (orderHolds) Line("Cofactor K = #E / R = " + Dec(k) + " (not in the file)");
    }
    if (ICmp(r, count) > 0) {
      // No point has an order above #E; so large an R is not even tested
      // for primality, which could take a very long time.
      Line("R prime: not tested, R exceeds #E");
      if (onCurve) Claim("R x generator = O", false, "the generator has order R");
      SeedLine();
      Line("");
      Line("Checks: not made, R exceeds #E");
      return Stop();
    }
    const bool prime = IIsPrime(r);
    // The file states R as the generator's order; X9.62 wants it prime, but a
    // composite R (as in some old key-exchange groups) is a weakness, not a
    // false statement.
    Line(std::string("R prime: ") + (prime ? "yes" : "no (X9.62 asks for a prime order)"));
    if (onCurve) GeneratorOrder(r, prime);
    SeedLine();

    // The checks of our own curves, on the file's R and K.
    if (orderHolds && prime && onCurve && generatorOrder_) {
      IAssign(d.R, r);
      IAssign(d.K, k);
      IAssign(d.U, count);
      d.Point.X().Assign(c_.Gx);
      d.Point.Y().Assign(c_.Gy);
      d.CurveBuilt = true;
      d.MOVResult = MOVDegree(n, d.R);
      TTrustReport trust;
      CheckTrust(d, trust, &count);
      Line("");
      for (const std::string& line : TrustLines(d, trust)) Line(line);
    } else {
      Line("");
      const char* why = !orderHolds           ? "the file's order does not hold"
                        : !c_.HasGenerator      ? "the file gives no generator"
                        : !onCurve              ? "the generator is not on the curve"
                        : !generatorOrder_      ? "the generator does not have order R"
                                                : "R is not prime";
      Line(std::string("Checks: not made, ") + why);
    }
    Stop();
  }

 private:
  void Line(std::string text) { r_.Lines.push_back(std::move(text)); }

  // The file's integers in decimal, unless far larger than any group of
  // the field (#E < 2^(N+1)), which a hostile file could make huge.
  std::string Number(const TInteger& a) const {
    if (a.BitSize() > c_.N + 8)
      return "a " + std::to_string(a.BitSize()) + "-bit integer, larger than any curve over the field";
    return Dec(a);
  }

  // A line "<label>: yes" or "<label>: NO", the claim recorded when false.
  bool Claim(const std::string& label, bool holds, const std::string& claim) {
    Line(label + ": " + YesNo(holds));
    if (!holds) r_.FalseClaims.push_back(claim);
    return holds;
  }

  // The generator G has order exactly R: R·G = O, and (R/q)·G != O for
  // every prime q dividing R (found by trial division and a primality test
  // of what is left; a composite rest leaves the exactness unshown).
  void GeneratorOrder(const TInteger& r, bool prime) {
    TECGF2Data& d = data_;
    auto times = [&](const TInteger& m) {
      TGF2NEPoint q;
      q.X().Assign(c_.Gx);
      q.Y().Assign(c_.Gy);
      d.Curve.Mul(q, m, true);
      return q.IsZero();
    };
    if (r.IsZero() || !times(r)) {
      generatorOrder_ = false;
      Claim("R x generator = O", false, "the generator has order R");
      return;
    }
    if (prime) {
      generatorOrder_ = true;
      Claim("R x generator = O", true, "the generator has order R");
      return;
    }
    TInteger rest(r), f, e;
    ISmallFactors(rest, f, &e, 32767);
    std::vector<TInteger> primes;
    for (std::int32_t k = 0; k < f.Size(); ++k) primes.emplace_back(std::int64_t{f.Long(k)});
    const bool complete = rest.IsOne() || IIsPrime(rest);
    if (!rest.IsOne() && complete) primes.emplace_back(rest);
    bool exact = true;
    for (const TInteger& q : primes) {
      TInteger m(r);
      IDiv(m, q);
      if (times(m)) exact = false;
    }
    generatorOrder_ = exact;
    Claim(complete ? "R x generator = O, and R is its exact order" : "R x generator = O (exact order not shown: R not factored)",
          exact, "the generator has order R");
  }

  bool OnCurve() const {
    // y^2 + x·y = x^3 + a·x^2 + b, in the standard basis.
    const TGF2N& f = data_.Curve.Field();
    TGF2Poly lhs(c_.Gy), xy(c_.Gx), rhs(c_.Gx), ax2(c_.Gx);
    f.Sqr(lhs);        // y^2
    f.Mul(xy, c_.Gy);  // x·y
    f.Add(lhs, xy);
    f.Sqr(ax2);        // x^2
    f.Mul(rhs, ax2);   // x^3
    f.Mul(ax2, c_.A);  // a·x^2
    f.Add(rhs, ax2);
    f.Add(rhs, c_.B);
    return GF2Equal(lhs, rhs);
  }

  void SeedLine() {
    if (!c_.Seed) {
      Line("Seed: none given");
      return;
    }
    Line("Seed = " + OctetsHex(*c_.Seed) + " (" + std::to_string(c_.SeedBits) + " bits)");
    if (c_.SeedBits % 8 != 0 || c_.SeedBits == 0) {
      Line("b from the seed: not checked, the seed is not whole octets");
      return;
    }
    TGF2Poly w;
    SeedElement(w, *c_.Seed, c_.N);
    if (GF2Equal(w, c_.B)) {
      Line("b from the seed by the X9.62 method (SHA-1): yes");
      return;
    }
    // Some published curves expanded the seed in the field's Gaussian normal
    // basis and give b in the polynomial basis.
    int type = 0;
    if (SeedElementInGaussBasis(w, c_.B, c_.FieldPoly, type)) {
      Line("b from the seed by the X9.62 method (SHA-1): yes, in the Gaussian normal basis of type " +
           std::to_string(type));
      return;
    }
    Claim("b from the seed by the X9.62 method (SHA-1)", false, "b follows from the seed");
  }

  void Stop() {
    Line("");
    if (r_.FalseClaims.empty()) {
      Line("Every claim of the file holds.");
    } else {
      Line(std::to_string(r_.FalseClaims.size()) + " claim" + (r_.FalseClaims.size() > 1 ? "s" : "") +
           " of the file do" + (r_.FalseClaims.size() > 1 ? "" : "es") + " not hold:");
      for (const std::string& claim : r_.FalseClaims) Line("  " + claim);
    }
  }

  const TCurveFile& c_;
  TAuditResult& r_;
  TECGF2Data data_;
  bool generatorOrder_ = false;
};

}  // namespace

void AuditCurve(const TCurveFile& curve, TAuditResult& result) {
  result = TAuditResult();
  TAuditor(curve, result).Run();
}

}  // namespace rara
