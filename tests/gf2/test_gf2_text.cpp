// Text forms of binary polynomials: parsing, digit strings with grouping and
// the two settings, degree lists, round trips.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "gf2/gf2_poly.h"
#include "gf2/gf2_text.h"
#include "integers/errors.h"
#include "integers/settings.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

TGF2Poly Degs(std::initializer_list<std::int32_t> d) {
  TGF2Poly p;
  GF2SetDegs(p, d);
  return p;
}

TGF2Poly Parse(const std::string& s, bool hex) {
  TGF2Poly p;
  GF2Set(p, s, hex);
  EXPECT_TRUE(Valid(p)) << s;
  return p;
}

// Sets the two text settings for a scope.
class TTextSettings {
 public:
  TTextSettings(bool zeroPad, bool lowerHex) : pad_(StrZeroPad), lower_(StrLowerHex) {
    StrZeroPad = zeroPad;
    StrLowerHex = lowerHex;
  }
  ~TTextSettings() {
    StrZeroPad = pad_;
    StrLowerHex = lower_;
  }

 private:
  bool pad_, lower_;
};

// Binary digits by reading single coefficients, highest first.
std::string RefBin(const TGF2Poly& p) {
  if (p.IsZero()) return "0";
  std::string s;
  for (int i = p.Degree(); i >= 0; --i) s += p.Coef(i) ? '1' : '0';
  return s;
}

TEST(GF2Text, Parse) {
  EXPECT_TRUE(Parse("", false).IsZero());
  EXPECT_TRUE(Parse("0", false).IsZero());
  EXPECT_TRUE(Parse(" 0 0 ", true).IsZero());
  EXPECT_TRUE(GF2Equal(Parse("1 0\r\n1", false), Degs({2, 0})));
  EXPECT_TRUE(GF2Equal(Parse("\t0001\t01", false), Degs({2, 0})));
  EXPECT_TRUE(GF2Equal(Parse("8", true), Degs({3})));
  EXPECT_TRUE(GF2Equal(Parse("1F", true), Degs({4, 3, 2, 1, 0})));
  EXPECT_TRUE(GF2Equal(Parse("1f", true), Degs({4, 3, 2, 1, 0})));
  EXPECT_TRUE(GF2Equal(Parse("1 0000 0000", true), Degs({32})));
  EXPECT_TRUE(GF2Equal(Parse("abcdef", true), Parse("ABCDEF", true)));
  // Word boundaries: exactly 32 and 33 binary digits, 8 and 9 hex digits.
  EXPECT_TRUE(GF2Equal(Parse("1" + std::string(31, '0'), false), Degs({31})));
  EXPECT_TRUE(GF2Equal(Parse("1" + std::string(32, '0'), false), Degs({32})));
  EXPECT_TRUE(GF2Equal(Parse("80000000", true), Degs({31})));
  EXPECT_TRUE(GF2Equal(Parse("100000001", true), Degs({32, 0})));

  TGF2Poly a = Degs({9, 1});
  const std::string syntax = "GF2Set\r\nInvalid parameter\r\nS has not a valid syntax";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Set(a, "1x", false); }), syntax);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Set(a, "12", false); }), syntax);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Set(a, "1g", true); }), syntax);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Set(a, "0x1f", true); }), syntax);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Set(a, "-1", false); }), syntax);
  EXPECT_TRUE(GF2Equal(a, Degs({9, 1}))) << "a syntax error must leave the value";
}

TEST(GF2Text, DigitStrings) {
  {
    TTextSettings s(false, true);
    EXPECT_EQ(GF2ToHexStr(Degs({4, 3, 2, 1, 0}), 0), "1f");
    EXPECT_EQ(GF2ToHexStr(Degs({32}), 0), "100000000");
    EXPECT_EQ(GF2ToHexStr(Degs({63, 0}), 0), "8000000000000001");
    EXPECT_EQ(GF2ToBinStr(Degs({0}), 0), "1");
    EXPECT_EQ(GF2ToBinStr(Degs({6, 4, 3, 0}), 4), "101 1001");
    EXPECT_EQ(GF2ToBinStr(Degs({7, 4, 3, 0}), 4), "1001 1001");
    EXPECT_EQ(GF2ToBinStr(TGF2Poly(), 8), "0");
    EXPECT_EQ(GF2ToHexStr(TGF2Poly(), 0), "0");
  }
  {
    TTextSettings s(true, false);
    EXPECT_EQ(GF2ToHexStr(Degs({4, 3, 2, 1, 0}), 0), "1F");
    EXPECT_EQ(GF2ToBinStr(Degs({6, 4, 3, 0}), 4), "0101 1001");
    EXPECT_EQ(GF2ToBinStr(Degs({7, 4, 3, 0}), 4), "1001 1001");
    EXPECT_EQ(GF2ToBinStr(TGF2Poly(), 8), "00000000");
    EXPECT_EQ(GF2ToBinStr(TGF2Poly(), 0), "0");
    EXPECT_EQ(GF2ToHexStr(Degs({40, 0}), 3), "010 000 000 001");
    EXPECT_EQ(GF2ToHexStr(Degs({40, 0}), 1), "1 0 0 0 0 0 0 0 0 0 1");
  }
}

TEST(GF2Text, DegreeLists) {
  const TGF2Poly p = Degs({163, 7, 6, 3, 0});
  EXPECT_EQ(GF2DegsToStr(p, true), "[163, 7, 6, 3, 0]");
  EXPECT_EQ(GF2DegsToStr(p, false), "[163,7,6,3,0]");
  EXPECT_EQ(GF2DegsToStr(Degs({0}), true), "[]");
  EXPECT_EQ(GF2DegsToStr(TGF2Poly(), true), "[]");
  EXPECT_EQ(GF2DegsToStr(Degs({1}), true), "[1]");
  EXPECT_EQ(GF2DegsToStr(Degs({1, 0}), true), "[1, 0]");
  EXPECT_EQ(GF2DegsToStr(Degs({64, 33, 32, 31}), false), "[64,33,32,31]");
}

TEST(GF2Text, RoundTrips) {
  std::mt19937 g(4401);
  for (int it = 0; it < Iterations(400); ++it) {
    const int deg = it < 100 ? it - 1 : static_cast<int>(g() % 3000);
    TGF2Poly p;
    SetRef(p, RandomRef(g, deg));
    const int group = static_cast<int>(g() % 3 == 0 ? 0 : 1 + g() % 40);
    const bool pad = (it & 1) != 0, lower = (it & 2) != 0;
    TTextSettings s(pad, lower);
    SCOPED_TRACE(testing::Message() << Hex(p) << " group " << group << " pad " << pad << " lower " << lower);
    const std::string bin = GF2ToBinStr(p, group), hex = GF2ToHexStr(p, group);
    ASSERT_TRUE(GF2Equal(Parse(bin, false), p)) << bin;
    ASSERT_TRUE(GF2Equal(Parse(hex, true), p)) << hex;
    if (group == 0) {
      ASSERT_EQ(bin, RefBin(p));
      ASSERT_EQ(hex.size(), static_cast<std::size_t>(p.IsZero() ? 1 : p.Degree() / 4 + 1));
    } else {
      // Blanks exactly every group digits from the right, none at the ends.
      for (const std::string* t : {&bin, &hex}) {
        ASSERT_NE(t->front(), ' ');
        ASSERT_NE(t->back(), ' ');
        for (std::size_t k = 0; k < t->size(); ++k)
          ASSERT_EQ((*t)[t->size() - 1 - k] == ' ', (k + 1) % (group + 1) == 0) << *t;
        if (pad) {
          ASSERT_EQ((t->size() + 1) % (group + 1), 0u) << *t;
        }
      }
    }
    const std::string other = lower ? "ABCDEF" : "abcdef";
    ASSERT_EQ(hex.find_first_of(other), std::string::npos) << hex;
  }
}

}  // namespace
}  // namespace rara::test
