// Point counts: the plain count against every point of every curve over the
// smallest fields, the canonical-lift trace against the plain count, the
// public count (a shorter lift finished by a search on the curve) against the
// full lift and against PARI/GP's ellcard from 13 to 571 bits in both bases.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "curves/ec_point_count.h"
#include "gf2/gf2_factor.h"
#include "padic/agm_trace.h"
#include "tests/curves/ec_test_util.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

// #E from the trace of the curve of the same B and A = 0.
TInteger CountFromTrace(const TGF2N& f, const TGF2Poly& a, const TGF2Poly& b, TAGMLift lift = TAGMLift::Auto) {
  TGF2Poly bs = ToStandard(f, b);
  TInteger t, c;
  AGMTrace(t, f.FieldPoly(), bs, lift);
  c.SetBit(static_cast<std::uint32_t>(f.N()), true);
  IAdd(c, 1);
  if (f.Trace(a))
    IAdd(c, t);
  else
    ISub(c, t);
  return c;
}

// Every pair (x, y) tried on the curve equation.
std::int64_t CountByPairs(const TGF2N& f, const TGF2Poly& a, const TGF2Poly& b) {
  const std::uint32_t q = 1u << f.N();
  std::int64_t count = 1;
  TGF2Poly x, y, l, r, t;
  for (std::uint32_t xi = 0; xi < q; ++xi) {
    x.Clear();
    if (xi != 0) x.SetWord(xi);
    r.Assign(x);
    f.Mul(r, x);
    t.Assign(r);
    f.Mul(r, x);  // x^3
    f.Mul(t, a);
    f.Add(r, t);
    f.Add(r, b);
    for (std::uint32_t yi = 0; yi < q; ++yi) {
      y.Clear();
      if (yi != 0) y.SetWord(yi);
      l.Assign(y);
      f.Mul(l, y);
      t.Assign(x);
      f.Mul(t, y);
      f.Add(l, t);
      if (GF2Equal(l, r)) ++count;
    }
  }
  return count;
}

TEST(EcPointCount, PlainCountEqualsEveryPointOfEveryTinyCurve) {
  for (int n = 2; n <= 5; ++n) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), basis);
      TGF2Poly a, b;
      // All A up to N = 4; at N = 5 the two classes of A (trace 0 and 1).
      for (std::uint32_t ai = 0; ai < (n < 5 ? 1u << n : 2u); ++ai) {
        a.Clear();
        if (ai != 0) a.SetWord(ai);
        for (std::uint32_t bi = 1; bi < (1u << n); ++bi) {
          b.SetWord(bi);
          TInteger c;
          ECPointCountPlain(c, f, a, b);
          ASSERT_TRUE(IEqual(c, CountByPairs(f, a, b)))
              << "N=" << n << " basis=" << int(basis) << " A=" << ai << " B=" << bi;
        }
      }
    }
  }
}

// Every curve over GF(2^6), GF(2^7) and GF(2^8): all B, with A = 0 and with
// an A of trace 1, in both bases, counted plainly and by ellcard.
TEST(EcPointCount, PlainCountEqualsEllcardOnEveryTinyCurve) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  std::ostringstream gp;
  gp << "e(n)=subst(Pol(binary(n)),'x,g);\n";
  std::vector<std::string> texts;
  std::vector<TInteger> counts;
  for (int n = 6; n <= 8; ++n) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), basis);
      gp << "g=ffgen(Mod(1,2)*Pol(binary(" << Hex(f.FieldPoly()) << ")),'g);\n";
      TGF2Poly a, b, x;
      for (std::uint32_t xi = 1; !f.Trace(a); ++xi) a.SetWord(xi);
      for (const bool twist : {false, true}) {
        TGF2Poly aa;
        if (twist) aa.Assign(a);
        for (std::uint32_t bi = 1; bi < (1u << n); ++bi) {
          b.SetWord(bi);
          TInteger c;
          ECPointCountPlain(c, f, aa, b);
          counts.push_back(c);
          texts.push_back("N=" + std::to_string(n) + " basis=" + std::to_string(basis) + " A=" + Hex(aa) +
                          " B=" + Hex(b));
          gp << "printf(\"%x\\n\",ellcard(ellinit([1,e(" << Hex(ToStandard(f, aa)) << "),0,0,e("
             << Hex(ToStandard(f, b)) << ")],g)));\n";
        }
      }
    }
  }
  std::istringstream out(RunGp(gp.str()));
  for (std::size_t i = 0; i < counts.size(); ++i) {
    std::string h;
    ASSERT_TRUE(out >> h) << texts[i];
    ASSERT_TRUE(IEqual(counts[i], FromHex(h))) << texts[i] << " ours " << Hex(counts[i]) << " gp " << h;
  }
}

TEST(EcPointCount, LiftedTraceEqualsPlainCount) {
  const std::string seed = SeedRandom(0xC0147);
  // Every B of the smallest field the lift covers, then random curves.
  for (std::uint8_t basis : {btStandard, btNormal}) {
    TGF2N f;
    f.SetField(8, basis);
    TGF2Poly a, b;
    for (std::uint32_t bi = 1; bi < 256; ++bi) {
      b.SetWord(bi);
      for (int ai : {0, 1}) {
        if (ai == 0)
          a.Clear();
        else
          f.Set1(a);
        TInteger plain;
        ECPointCountPlain(plain, f, a, b);
        for (TAGMLift lift : {TAGMLift::Sequential, TAGMLift::Newton})
          ASSERT_TRUE(IEqual(CountFromTrace(f, a, b, lift), plain))
              << "basis=" << int(basis) << " B=" << bi << " A=" << ai << " lift=" << int(lift);
      }
    }
  }
  for (int n = 9; n <= ECPlainMaxDegree; ++n) {
    for (int i = 0; i < Iterations(3); ++i) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), i == 2 ? btNormal : btStandard);
      TGF2Poly a, b;
      RandomCoefs(f, a, b);
      TInteger plain, count;
      ECPointCountPlain(plain, f, a, b);
      ECPointCount(count, f, a, b);
      for (TAGMLift lift : {TAGMLift::Sequential, TAGMLift::Newton})
        ASSERT_TRUE(IEqual(CountFromTrace(f, a, b, lift), plain))
            << seed << " N=" << n << " A=" << Hex(a) << " B=" << Hex(b) << " lift=" << int(lift);
      ASSERT_TRUE(IEqual(count, plain)) << seed << " N=" << n;
    }
  }
}

// The two lifts agree on random curves of random degrees, odd and even, past
// the plain count's reach, and on either side of the one-word precision.
TEST(EcPointCount, NewtonLiftEqualsSequentialLift) {
  const std::string seed = SeedRandom(0x4A21E);
  std::vector<int> degrees = {21, 64, 127, 128, 129, 130, 131};
  for (int i = 0; i < Iterations(6); ++i) degrees.push_back(21 + static_cast<int>(RuvRandom() % 280));
  for (int n : degrees) {
    TGF2N f;
    MakeField(f, n, btStandard);
    TGF2Poly a, b;
    RandomCoefs(f, a, b);
    TInteger seq, newton;
    AGMTrace(seq, f.FieldPoly(), b, TAGMLift::Sequential);
    AGMTrace(newton, f.FieldPoly(), b, TAGMLift::Newton);
    ASSERT_TRUE(IEqual(seq, newton)) << seed << " N=" << n << " B=" << Hex(b);
  }
}

// The shortened lift is the full one's trace modulo 2^bits, at every
// precision from the least to the full one's.
TEST(EcPointCount, ShortLiftIsTheTraceModuloItsPrecision) {
  const std::string seed = SeedRandom(0x5B175);
  for (int n : {8, 13, 64, 97, 130}) {
    TGF2N f;
    MakeField(f, n, btStandard);
    TGF2Poly a, b;
    RandomCoefs(f, a, b);
    TInteger full, low;
    AGMTrace(full, f.FieldPoly(), b);
    for (int bits = 4; bits <= n / 2 + 4; bits += 1 + bits / 8) {
      AGMTraceMod(low, bits, f.FieldPoly(), b);
      TInteger want(full), m;
      m.SetBit(static_cast<std::uint32_t>(bits), true);
      IMod(want, m);
      ASSERT_TRUE(IEqual(low, want)) << seed << " N=" << n << " bits=" << bits << " B=" << Hex(b);
    }
  }
  TGF2N f;
  MakeField(f, 64, btStandard);
  TGF2Poly one;
  f.Set1(one);
  TInteger t;
  for (int bits : {3, 37})
    EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { AGMTraceMod(t, bits, f.FieldPoly(), one); }),
              "AGMTraceMod\r\nInvalid parameter\r\nInvalid precision");
}

// The count found by the search on the curve against the count of the full
// lift alone, on random curves of both bases and both classes of A across
// the degrees where the search runs.
TEST(EcPointCount, SearchEqualsFullLift) {
  const std::string seed = SeedRandom(0x5EA2C);
  for (int i = 0; i < Iterations(12); ++i) {
    const int n = 64 + static_cast<int>(RuvRandom() % 240);
    TGF2N f;
    MakeField(f, n, i % 3 == 2 ? btNormal : btStandard);
    TGF2Poly a, b;
    RandomCoefs(f, a, b);
    if (i % 4 == 0) f.Set1(b);
    TInteger count;
    ECPointCount(count, f, a, b);
    ASSERT_TRUE(IEqual(count, CountFromTrace(f, a, b)))
        << seed << " N=" << n << " A=" << Hex(a) << " B=" << Hex(b) << " ours " << Hex(count);
  }
}

// Field polynomials beyond the built-in lists: the pentanomials and trinomials
// of the standard binary curves.
void FieldOfDegree(TGF2N& f, int n, std::uint8_t basis) {
  TGF2Poly p;
  switch (n) {
    case 409:
      GF2SetDegs(p, {409, 87, 0});
      break;
    case 571:
      GF2SetDegs(p, {571, 10, 5, 2, 0});
      break;
    case 431:
      GF2SetDegs(p, {431, 120, 0});
      break;
    default:
      MakeField(f, n, basis);
      return;
  }
  f.SetField(p, btStandard, false);
}

TEST(EcPointCount, CountsEqualEllcard) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  const std::string seed = SeedRandom(0xE11CA);
  struct TCase {
    int N;
    std::uint8_t Basis;
    int AKind;  // 0: A = 0, 1: A = 1, 2: random A
    bool Koblitz;
    bool Dense = false;  // a random irreducible polynomial of many terms
  };
  std::vector<TCase> cases = {
      {13, btStandard, 2, false},  {29, btNormal, 1, false},    {64, btStandard, 0, false},
      {97, btNormal, 2, false},    {128, btStandard, 1, true},  {163, btStandard, 1, true},
      {163, btNormal, 0, true},    {191, btNormal, 2, false},   {233, btStandard, 0, true},
      {255, btNormal, 1, false},   {283, btStandard, 2, false}, {313, btNormal, 0, false},
      {360, btStandard, 1, false}, {409, btStandard, 0, false}, {431, btStandard, 2, false},
      {571, btStandard, 1, false}, {571, btStandard, 0, true},   {67, btStandard, 2, false, true},
      {200, btStandard, 1, false, true}};
  for (int i = 0; i < 3; ++i)
    cases.push_back({static_cast<int>(14 + RuvRandom() % 300), btStandard, 2, false});
  std::ostringstream gp;
  gp << "e(n)=subst(Pol(binary(n)),'x,g);\n";
  std::vector<std::string> texts;
  std::vector<TInteger> counts;
  for (const TCase& k : cases) {
    TGF2N f;
    if (k.Dense) {
      TGF2Poly p;
      do GF2Rnd(p, k.N, true);
      while (!GF2IsIrreducible(p));
      f.SetField(p, btStandard, false);
    } else {
      FieldOfDegree(f, k.N, k.Basis);
    }
    TGF2Poly a, b;
    RandomCoefs(f, a, b);
    if (k.AKind == 0) a.Clear();
    if (k.AKind == 1) f.Set1(a);
    if (k.Koblitz) f.Set1(b);
    TInteger c;
    ECPointCount(c, f, a, b);
    counts.push_back(c);
    texts.push_back("N=" + std::to_string(k.N) + " basis=" + std::to_string(k.Basis) + " A=" + Hex(a) +
                    " B=" + Hex(b));
    gp << "g=ffgen(Mod(1,2)*Pol(binary(" << Hex(f.FieldPoly()) << ")),'g);"
       << "E=ellinit([1,e(" << Hex(ToStandard(f, a)) << "),0,0,e(" << Hex(ToStandard(f, b)) << ")],g);"
       << "printf(\"%x\\n\",ellcard(E));\n";
  }
  std::istringstream out(RunGp(gp.str()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string h;
    ASSERT_TRUE(out >> h) << texts[i];
    EXPECT_TRUE(IEqual(counts[i], FromHex(h)))
        << seed << " " << texts[i] << " ours " << Hex(counts[i]) << " gp " << h;
  }
}

// The published order of the Koblitz curve over GF(2^163): cofactor 2 times
// the prime n.
TEST(EcPointCount, Sect163k1) {
  TGF2N f;
  f.SetField(163, btStandard);
  TGF2Poly one;
  f.Set1(one);
  TInteger c;
  ECPointCount(c, f, one, one);
  EXPECT_EQ(Hex(c), "0x800000000000000000004021145c1981b33f14bde");
}

TEST(EcPointCount, RejectsBadCoefficientsAndAborts) {
  TGF2N f;
  f.SetField(163, btStandard);
  TGF2Poly a, b, big;
  big.SetMonomial(163);
  b.SetOne();
  TInteger c;
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ECPointCount(c, f, a, a); }),
            "ECPointCount\r\nInvalid parameter\r\nInvalid B coefficient");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ECPointCount(c, f, big, b); }),
            "ECPointCount\r\nInvalid parameter\r\nInvalid A coefficient");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ECPointCountPlain(c, f, a, b); }),
            "ECPointCountPlain\r\nInvalid parameter\r\nField degree out of range");
  // An abort anywhere in the lift leaves the scratch pools as they were.
  const int used = TGF2PolyPool::ThreadVars().Used;
  for (int polls : {1, 5, 40, 85}) {
    PollsBeforeAbort = polls;
    TRuvBreakScope scope(&AbortAtPoll);
    break_detail::Tick.store(true);
    EXPECT_EQ(MessageOf<ERuvAbort>([&] { ECPointCount(c, f, a, b); }), RuvAbortMessage) << polls;
    EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
  }
}

}  // namespace
}  // namespace rara::test
