// Field set-up: default state, the built-in polynomial tables, SetField
// checks and their messages, basis switching, copying, and the stream and
// file forms with damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gf2/gf2_factor.h"
#include "gf2/gf2n.h"
#include "gf2/gf2_text.h"
#include "integers/errors.h"
#include "integers/streams.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

TGF2Poly Degs(std::initializer_list<std::int32_t> d) {
  TGF2Poly p;
  GF2SetDegs(p, d);
  return p;
}

void ExpectDefault(const TGF2N& f) {
  EXPECT_EQ(f.N(), 2);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({2, 1, 0})));
  EXPECT_EQ(f.RedKind(), TGF2N::RedTrinomial);
  EXPECT_EQ(f.Red1(), 0);
  EXPECT_EQ(f.Red2(), 0);
  EXPECT_EQ(f.Red3(), 2);
  EXPECT_EQ(f.Red4(), 1);
  EXPECT_EQ(f.TraceOneDeg(), 1);
  EXPECT_EQ(f.BasisType(), btStandard);
  EXPECT_FALSE(f.HasNormalBasis());
  EXPECT_EQ(f.N2S(), nullptr);
  EXPECT_EQ(f.S2N(), nullptr);
  EXPECT_FALSE(f.HasShiftTable());
  EXPECT_TRUE(f.CheckDegrees());
  EXPECT_EQ(f.BasisConst().Words()[0], 3u);
}

void ExpectSameField(const TGF2N& a, const TGF2N& b) {
  EXPECT_EQ(a.N(), b.N());
  EXPECT_TRUE(GF2Equal(a.FieldPoly(), b.FieldPoly()));
  EXPECT_TRUE(GF2Equal(a.BasisConst(), b.BasisConst()));
  EXPECT_EQ(a.RedKind(), b.RedKind());
  EXPECT_EQ(a.Red1(), b.Red1());
  EXPECT_EQ(a.Red2(), b.Red2());
  EXPECT_EQ(a.Red3(), b.Red3());
  EXPECT_EQ(a.Red4(), b.Red4());
  EXPECT_EQ(a.TraceOneDeg(), b.TraceOneDeg());
  EXPECT_EQ(a.BasisType(), b.BasisType());
  EXPECT_EQ(a.HasNormalBasis(), b.HasNormalBasis());
  EXPECT_EQ(a.HasShiftTable(), b.HasShiftTable());
  EXPECT_EQ(a.CheckDegrees(), b.CheckDegrees());
  ASSERT_EQ(a.N2S() == nullptr, b.N2S() == nullptr);
  if (a.N2S() != nullptr) {
    ASSERT_EQ(a.N2S()->Dimension(), b.N2S()->Dimension());
    for (int i = 0; i < a.N2S()->Dimension(); ++i) {
      EXPECT_TRUE(GF2Equal(a.N2S()->Row(i), b.N2S()->Row(i)));
      EXPECT_TRUE(GF2Equal(a.S2N()->Row(i), b.S2N()->Row(i)));
    }
  }
}

const std::string InvalidArg = "\r\nInvalid parameter\r\n";

TEST(GF2NSetup, DefaultFieldAndItsArithmetic) {
  TGF2N f;
  ExpectDefault(f);
  EXPECT_EQ(f.BasisTypeName(), "Standard");
  EXPECT_EQ(TGF2N::BasisTypeName(1), "Normal");
  EXPECT_EQ(TGF2N::BasisTypeName(7), "None!?");
  TGF2Poly x, y;
  f.SetX(x);
  f.SetX(y);
  f.Mul(x, y);
  EXPECT_EQ(GF2ToBinStr(x, 0), "11");
  f.SetX(x);
  ASSERT_TRUE(f.Inv(x));
  EXPECT_EQ(GF2ToBinStr(x, 0), "11");
  f.SetX(x);
  ASSERT_TRUE(f.Pow(x, 3));
  EXPECT_TRUE(f.Is1(x));
  f.SetX(x);
  f.SetX(y);
  f.Pow(x, -1);
  f.Inv(y);
  EXPECT_TRUE(GF2Equal(x, y));
  TGF2Poly z;
  EXPECT_FALSE(f.Inv(z));
  EXPECT_TRUE(z.IsZero());
  EXPECT_FALSE(f.Pow(z, -1));
  EXPECT_TRUE(z.IsZero());
  EXPECT_TRUE(f.Pow(z, 5));
  EXPECT_TRUE(z.IsZero());
  EXPECT_TRUE(f.Pow(z, 0));
  EXPECT_TRUE(z.IsOne());
}

TEST(GF2NSetup, BuiltInExamples) {
  TGF2N f;
  f.SetField(163, btStandard);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({163, 7, 6, 3, 0})));
  EXPECT_EQ(f.RedKind(), TGF2N::RedPentanomial);
  EXPECT_EQ(f.Red1(), 163);
  EXPECT_EQ(f.Red2(), 7);
  EXPECT_EQ(f.Red3(), 6);
  EXPECT_EQ(f.Red4(), 3);
  EXPECT_EQ(f.TraceOneDeg(), -1);
  EXPECT_FALSE(f.HasShiftTable());
  // BasisConst is the square root of t: its square is t.
  TGF2Poly c(f.BasisConst());
  f.Sqr(c);
  EXPECT_EQ(GF2DegsToStr(c, true), "[1]");

  f.SetField(233, btStandard);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({233, 74, 0})));
  EXPECT_EQ(f.RedKind(), TGF2N::RedTrinomial);
  EXPECT_EQ(f.Red3(), 233);
  EXPECT_EQ(f.Red4(), 74);

  const struct {
    int n;
    std::initializer_list<std::int32_t> degs;
  } standard[] = {{2, {2, 1, 0}},        {3, {3, 1, 0}},        {4, {4, 1, 0}},         {5, {5, 2, 0}},
                  {8, {8, 4, 3, 1, 0}},  {251, {251, 7, 4, 2, 0}}, {254, {254, 7, 2, 1, 0}}, {255, {255, 52, 0}}};
  for (const auto& e : standard) {
    f.SetField(static_cast<std::uint8_t>(e.n), btStandard);
    EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs(e.degs))) << e.n;
  }
  const struct {
    int n, a, b;
  } normal[] = {{5, 2, 1},  {6, 2, 1},    {7, 3, 1},    {9, 4, 1},  {12, 5, 1},
                {253, 14, 2}, {254, 119, 1}, {255, 56, 1}};
  for (const auto& e : normal) {
    f.SetField(static_cast<std::uint8_t>(e.n), btNormal);
    EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({e.n, e.n - 1, e.a, e.b, 0}))) << e.n;
    EXPECT_EQ(f.RedKind(), TGF2N::RedPentanomial);
    EXPECT_EQ(f.BasisType(), btNormal);
  }
  f.SetField(2, btNormal);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({2, 1, 0})));
  EXPECT_EQ(f.BasisConst().Words()[0], 3u);
  EXPECT_EQ(f.RedKind(), TGF2N::RedGeneral);
  EXPECT_TRUE(f.HasShiftTable());
  f.SetField(3, btNormal);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({3, 2, 0})));
  f.SetField(4, btNormal);
  EXPECT_TRUE(GF2Equal(f.FieldPoly(), Degs({4, 3, 0})));
}

// Every table entry is irreducible (normal) and no smaller candidate of its
// rule is; candidates are ordered as the rules say.
TEST(GF2NSetup, BuiltInTablesFollowTheirRules) {
  TGF2N f;
  TGF2Poly q;
  for (int n = 2; n <= 255; ++n) {
    SCOPED_TRACE(n);
    f.SetField(static_cast<std::uint8_t>(n), btStandard);
    const TGF2Poly& p = f.FieldPoly();
    ASSERT_EQ(p.Degree(), n);
    ASSERT_TRUE(GF2IsIrreducible(p));
    TDynLongintArray d;
    GF2GetDegs(p, d);
    int triK = 0;
    for (int k = 1; k < n && triK == 0; ++k) {
      GF2SetDegs(q, {n, k, 0});
      if (GF2IsIrreducible(q)) triK = k;
    }
    if (triK != 0) {
      ASSERT_EQ(d.size(), 3u);
      EXPECT_EQ(d[1], triK);
      continue;
    }
    ASSERT_EQ(d.size(), 5u);
    bool found = false;
    for (int k3 = 3; k3 < n && !found; ++k3)
      for (int k2 = 2; k2 < k3 && !found; ++k2)
        for (int k1 = 1; k1 < k2 && !found; ++k1) {
          GF2SetDegs(q, {n, k3, k2, k1, 0});
          if (GF2IsIrreducible(q)) {
            found = true;
            EXPECT_TRUE(d[1] == k3 && d[2] == k2 && d[3] == k1) << GF2DegsToStr(p, true);
          }
        }
    EXPECT_TRUE(found);
  }
  for (int n = 5; n <= 255; ++n) {
    SCOPED_TRACE(n);
    f.SetField(static_cast<std::uint8_t>(n), btNormal);
    const TGF2Poly& p = f.FieldPoly();
    ASSERT_TRUE(GF2IsNormal(p));
    bool found = false;
    for (int b = 1; b <= n - 3 && !found; ++b)
      for (int a = b + 1; a <= n - 2 && !found; ++a) {
        GF2SetDegs(q, {n, n - 1, a, b, 0});
        if (GF2IsNormal(q)) {
          found = true;
          EXPECT_TRUE(GF2Equal(p, q)) << GF2DegsToStr(p, true) << " vs " << GF2DegsToStr(q, true);
        }
      }
    EXPECT_TRUE(found);
  }
}

TEST(GF2NSetup, SetFieldErrors) {
  TGF2N f;
  f.SetField(163, btStandard);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(1, btStandard); }),
            "TGF2N.SetField" + InvalidArg + "N should be greater than 1");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(0, btNormal); }),
            "TGF2N.SetField" + InvalidArg + "N should be greater than 1");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(5, 2); }),
            "TGF2N.SetField" + InvalidArg + "Basis should be in [btStandard,btNormal]");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(Degs({5, 2, 0}), 2, true); }),
            "TGF2N.SetField" + InvalidArg + "Basis should be in [btStandard,btNormal]");
  EXPECT_EQ(f.N(), 163);  // these errors leave the field as it was

  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(Degs({4, 2, 0}), btStandard, true); }),
            "TGF2N.SetField" + InvalidArg + "Polynomial should be irreducible over GF(2)");
  ExpectDefault(f);
  f.SetField(163, btNormal);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(Degs({3, 1, 0}), btNormal, true); }),
            "TGF2N.SetField" + InvalidArg + "Polynomial should be normal");
  ExpectDefault(f);
  // Unchecked, a non-normal polynomial fails at the matrix inversion.
  f.SetField(163, btNormal);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(Degs({3, 1, 0}), btNormal, false); }),
            "TGF2N.SetField" + InvalidArg + "Polynomial should be normal");
  ExpectDefault(f);
  // Degrees below 2 describe no field; refused instead of building one.
  f.SetField(163, btStandard);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SetField(Degs({1, 0}), btStandard, false); }),
            "TGF2N.SetField" + InvalidArg + "N should be greater than 1");
  ExpectDefault(f);
  EXPECT_THROW(f.SetField(TGF2Poly(), btNormal, false), ERuvInvalidArg);
  ExpectDefault(f);

  // The field's own polynomial may be passed back in.
  f.SetField(9, btNormal);
  f.SetField(f.FieldPoly(), btNormal, true);
  EXPECT_EQ(f.N(), 9);
  EXPECT_TRUE(f.HasNormalBasis());
  EXPECT_EQ(f.RedKind(), TGF2N::RedPentanomial);
  // A trinomial in a normal set-up goes the general way.
  f.SetField(3, btNormal);
  EXPECT_EQ(f.RedKind(), TGF2N::RedGeneral);
  EXPECT_TRUE(f.HasShiftTable());
}

TEST(GF2NSetup, SwitchBasisAndAssign) {
  TGF2N f;
  f.SetField(163, btStandard);
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { f.SwitchBasis(); }),
            "TGF2N.BasisType\r\nInvalid call\r\nTGF2N instance must have been created with a normal basis");
  f.SetField(113, btNormal);
  const TGF2Poly start(f.BasisConst());
  EXPECT_TRUE(f.Is1(f.BasisConst()));
  f.SwitchBasis();
  EXPECT_EQ(f.BasisType(), btStandard);
  EXPECT_EQ(f.BasisTypeName(), "Standard");
  TGF2Poly s(f.BasisConst());
  f.Sqr(s);
  EXPECT_EQ(GF2DegsToStr(s, true), "[1]");
  f.SwitchBasis();
  EXPECT_EQ(f.BasisType(), btNormal);
  EXPECT_TRUE(GF2Equal(f.BasisConst(), start));

  TGF2N g;
  g.Assign(f);
  ExpectSameField(f, g);
  g.Assign(g);
  ExpectSameField(f, g);
  TGF2N h;
  h.SetField(200, btStandard);
  g.Assign(h);
  ExpectSameField(h, g);
  TGF2Poly p;
  GF2SetDegs(p, {100, 9, 7, 5, 3, 1, 0});
  h.SetField(p, btStandard, false);
  h.SetCheckDegrees(false);
  g.Assign(h);
  ExpectSameField(h, g);
}

std::vector<std::uint8_t> Saved(const TGF2N& f) {
  TMemoryStream s;
  f.SaveToStream(s);
  return s.Bytes();
}

TEST(GF2NSetup, StreamRoundTripsAndDamage) {
  std::vector<TGF2N> fields(5);
  fields[1].SetField(163, btStandard);
  fields[2].SetField(37, btNormal);
  fields[3].SetField(11, btNormal);
  fields[3].SwitchBasis();
  TGF2Poly p;
  GF2SetDegs(p, {40, 9, 7, 5, 4, 3, 0});
  if (!GF2IsIrreducible(p)) GF2SetDegs(p, {41, 3, 0});
  fields[4].SetField(p, btStandard, false);
  fields[4].SetCheckDegrees(false);
  for (const TGF2N& f : fields) {
    SCOPED_TRACE(f.N());
    TMemoryStream s;
    s.WriteU8(0xEE);
    f.SaveToStream(s);
    const std::int64_t end = s.Position();
    s.SetPosition(1);
    TGF2N g;
    g.LoadFromStream(s);
    EXPECT_EQ(s.Position(), end);
    ExpectSameField(f, g);
    TGF2Poly a, b;
    f.Rnd(a);
    b.Assign(a);
    f.Mul(a, f.BasisConst());
    g.Mul(b, g.BasisConst());
    EXPECT_TRUE(GF2Equal(a, b));
  }

  // Damage: every truncation, and single-byte changes to the header fields,
  // fail cleanly with the target and the stream position unchanged.
  const std::vector<std::uint8_t> good = Saved(fields[2]);
  const std::string message = "TGF2N.LoadFromStream\r\nInvalid stream";
  for (std::size_t len = 0; len < good.size(); len += (len < 40 ? 1 : 97)) {
    TMemoryStream s(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)));
    TGF2N g;
    g.SetField(5, btStandard);
    EXPECT_EQ(MessageOf<ERuvStreamError>([&] { g.LoadFromStream(s); }), message) << len;
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(g.N(), 5);
  }
  const std::size_t fieldsAt[] = {0, 1, 2, 3, 7, 11, 15, 19, 23};
  for (std::size_t at : fieldsAt) {
    for (std::uint8_t v : {std::uint8_t{2}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
      std::vector<std::uint8_t> bad = good;
      if (bad[at] == v) continue;
      bad[at] = v;
      TMemoryStream s(bad);
      TGF2N g;
      EXPECT_THROW(g.LoadFromStream(s), ERuvStreamError) << at << " " << int(v);
      EXPECT_EQ(s.Position(), 0);
      ExpectDefault(g);
    }
  }
  // A pentanomial whose exponents do not match its polynomial would reduce
  // wrongly: refused.
  std::vector<std::uint8_t> bad = Saved(fields[1]);
  bad[7] = 162;
  TMemoryStream s(bad);
  TGF2N g;
  EXPECT_THROW(g.LoadFromStream(s), ERuvStreamError);
  // A wrong checksum inside the matrices.
  bad = good;
  bad[bad.size() - 3] ^= 1;
  TMemoryStream s2(bad);
  EXPECT_THROW(g.LoadFromStream(s2), ERuvStreamError);
  ExpectDefault(g);
}

// The trace-one exponent k is where SolveQuad starts: a stream whose k is
// outside -1..N-1 or has Tr(t^k) = 0 is damaged like any other field.
TEST(GF2NSetup, StreamTraceOneExponentIsChecked) {
  std::vector<TGF2N> fields(3);  // the default field saves k = 1
  fields[1].SetField(10, btStandard);
  fields[2].SetField(163, btStandard);
  SeedRandom(23);
  for (const TGF2N& f : fields) {
    SCOPED_TRACE(f.N());
    const std::vector<std::uint8_t> good = Saved(f);
    auto withK = [&good](std::int32_t k) {
      std::vector<std::uint8_t> b = good;
      for (int i = 0; i < 4; ++i) b[23 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(k >> (8 * i));
      return b;
    };
    for (std::int32_t k : {-2, f.N(), f.N() + 1, 0x5FFFFFFF, 0x7FFFFFFF}) {
      TMemoryStream s(withK(k));
      TGF2N g;
      EXPECT_EQ(MessageOf<ERuvStreamError>([&] { g.LoadFromStream(s); }), "TGF2N.LoadFromStream\r\nInvalid stream")
          << k;
      ExpectDefault(g);
    }
    for (std::int32_t k = 0; k < std::min(f.N(), 24); ++k) {
      TGF2Poly mono;
      mono.SetMonomial(k);
      TMemoryStream s(withK(k));
      TGF2N g;
      if (!f.Trace(mono)) {
        EXPECT_THROW(g.LoadFromStream(s), ERuvStreamError) << k;
        continue;
      }
      ASSERT_NO_THROW(g.LoadFromStream(s)) << k;
      EXPECT_EQ(g.TraceOneDeg(), k);
      // Solvable equations R^2 + A·R = B stay solvable with the loaded k.
      for (int i = 0; i < 4; ++i) {
        TGF2Poly a, r, b, z;
        g.Rnd(r);
        g.Rnd(a);
        if (a.IsZero()) a.SetOne();
        b.Assign(r);
        g.Mul(b, r);
        z.Assign(a);
        g.Mul(z, r);
        g.Add(b, z);
        EXPECT_TRUE(g.SolveQuad(z, a, b)) << k;
      }
    }
  }
}

TEST(GF2NSetup, FileForm) {
  const std::string name = ::testing::TempDir() + "rara_gf2n_field.bin";
  TGF2N f, g;
  f.SetField(29, btNormal);
  f.SaveToFile(name);
  {
    TFileStream in(name, TFileStream::TMode::OpenRead);
    char header[22];
    in.ReadBuffer(header, 22);
    EXPECT_EQ(std::string(header, 22), "Ruv Galois Field GF2N ");
  }
  g.LoadFromFile(name);
  ExpectSameField(f, g);
  TGF2Poly p;
  p.SetWord(5);
  p.SaveToFile(name);
  EXPECT_EQ(MessageOf<ERuvFileError>([&] { g.LoadFromFile(name); }),
            "TGF2N.LoadFromFile\r\nInvalid \"" + name + "\" file");
  ExpectSameField(f, g);
  std::remove(name.c_str());
}

TEST(GF2NSetup, DegreeChecksNameTheOperation) {
  TGF2N f;
  f.SetField(7, btStandard);
  TGF2Poly big, r, ok;
  big.SetMonomial(7);
  ok.SetWord(3);
  const std::string why = InvalidArg + "A field element should have a degree less than the field degree";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Add(ok, big); }), "TGF2N.Add" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Mul(big, ok); }), "TGF2N.Mul" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Mul(ok, big); }), "TGF2N.Mul" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Sqr(big); }), "TGF2N.Sqr" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Inv(big); }), "TGF2N.Inv" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Is1(big); }), "TGF2N.Is1" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Pow(big, 2); }), "TGF2N.Pow" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.HalfTrace(big); }), "TGF2N.HalfTrace" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.Trace(big); }), "TGF2N.Trace" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SqrRoot(big); }), "TGF2N.SqrRoot" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SolveQuad(r, big, ok); }), "TGF2N.SolveQuad" + why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { f.SolveQuad(r, ok, big); }), "TGF2N.SolveQuad" + why);
  EXPECT_EQ(big.Degree(), 7);

  // Unchecked, long operands are still reduced correctly.
  f.SetCheckDegrees(false);
  TGF2Poly a, b, ref;
  GF2SetDegs(a, {40, 13, 7, 0});
  GF2SetDegs(b, {19, 8, 1});
  ref.Assign(a);
  GF2Mul(ref, b);
  GF2Mod(ref, f.FieldPoly());
  f.Mul(a, b);
  EXPECT_TRUE(GF2Equal(a, ref));
  GF2SetDegs(a, {40, 13, 7, 0});
  ref.Assign(a);
  GF2Mod(ref, f.FieldPoly());
  ASSERT_TRUE(f.Inv(a));
  f.Mul(a, ref);
  EXPECT_TRUE(a.IsOne());
}

// With degree checks off, a multiple of P is a long form of 0: it has no
// inverse and no negative power.
TEST(GF2NSetup, UncheckedZeroHasNoInverse) {
  TGF2N f;
  f.SetField(7, btStandard);
  f.SetCheckDegrees(false);
  TGF2Poly c = Degs({3, 1, 0});
  GF2Mul(c, f.FieldPoly());
  for (const TGF2Poly& zero : {f.FieldPoly(), c}) {
    SCOPED_TRACE(zero.Degree());
    TGF2Poly a(zero);
    EXPECT_FALSE(f.Inv(a));
    EXPECT_TRUE(GF2Equal(a, zero));
    EXPECT_FALSE(f.Pow(a, -1));
    EXPECT_TRUE(GF2Equal(a, zero));
    EXPECT_FALSE(f.Pow(a, -6));
    EXPECT_TRUE(GF2Equal(a, zero));
    EXPECT_TRUE(f.Pow(a, 3));
    EXPECT_TRUE(a.IsZero());
  }
  // In the normal basis the coordinates from N up are not part of the element.
  f.SetField(11, btNormal);
  f.SetCheckDegrees(false);
  TGF2Poly a;
  a.SetMonomial(11);
  EXPECT_FALSE(f.Inv(a));
  EXPECT_FALSE(f.Pow(a, -1));
  EXPECT_EQ(a.Degree(), 11);
  a.SetCoef(3, true);
  TGF2Poly b;
  b.SetMonomial(3);
  ASSERT_TRUE(f.Inv(a));
  f.Mul(a, b);
  EXPECT_TRUE(f.Is1(a));
}

TEST(GF2NSetup, ReducibleFieldPolynomialIsReported) {
  TGF2N f;
  TGF2Poly p;
  GF2SetDegs(p, {5, 4, 0});  // (x^2+x+1)(x^3+x+1)
  f.SetField(p, btStandard, false);
  TGF2Poly a;
  GF2SetDegs(a, {2, 1, 0});
  EXPECT_EQ(MessageOf<ERuv>([&] { f.Inv(a); }),
            "TGF2N.Inv\r\nField initialized with a non-irreducible polynomial");
  GF2SetDegs(a, {2, 1, 0});
  EXPECT_EQ(MessageOf<ERuv>([&] { f.Pow(a, -3); }),
            "TGF2N.Inv\r\nField initialized with a non-irreducible polynomial");
  // In GF(4) x GF(8) the sum of five conjugates is not a trace.
  bool reported = false;
  for (std::uint32_t w = 1; w < 32 && !reported; ++w) {
    a.SetWord(w);
    try {
      f.Trace(a);
    } catch (const ERuv& e) {
      EXPECT_EQ(std::string(e.what()), "TGF2N.Trace\r\nField initialized with a non-irreducible polynomial");
      reported = true;
    }
  }
  EXPECT_TRUE(reported);
}

}  // namespace
}  // namespace rara::test
