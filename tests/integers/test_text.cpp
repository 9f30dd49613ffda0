// Text form of integers: digits against GMP in every base, grouping,
// padding and sign against a small reference, and the decimal block method
// on both sides of its size limits.
#include <gtest/gtest.h>

#include <string>

#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/settings.h"
#include "tests/integers/div_test_values.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::Mpz;
using test::RandomInteger;

// Keeps the calling thread's text settings for a test and puts them back.
class TTextSettings {
 public:
  TTextSettings()
      : zeroPad_(StrZeroPad), lowerHex_(StrLowerHex), showSign_(StrShowSign), spacePlus_(StrSpacePlus) {}
  ~TTextSettings() {
    StrZeroPad = zeroPad_;
    StrLowerHex = lowerHex_;
    StrShowSign = showSign_;
    StrSpacePlus = spacePlus_;
  }
  TTextSettings(const TTextSettings&) = delete;
  TTextSettings& operator=(const TTextSettings&) = delete;

 private:
  bool zeroPad_, lowerHex_, showSign_, spacePlus_;
};

std::string Str(const TInteger& a, int base, int group = 0, bool zeroPad = false, bool showSign = false) {
  std::string s;
  IStr(a, base, static_cast<std::uint8_t>(group), zeroPad, showSign, s);
  return s;
}

// GMP's digits of |x|, upper or lower case.
std::string GmpDigits(mpz_srcptr x, int base, bool lower) {
  Mpz m;
  mpz_abs(m, x);
  std::string s(mpz_sizeinbase(m, base) + 2, '\0');
  mpz_get_str(s.data(), lower ? base : -base, m);
  s.resize(std::char_traits<char>::length(s.c_str()));
  return s;
}

// The whole text built the slow way: blanks inserted walking from the
// right, the first group padded, the sign in front.
std::string Reference(mpz_srcptr x, int base, int group, bool zeroPad, bool showSign, bool lower,
                      bool spacePlus) {
  // Built backwards, then turned around.
  std::string s;
  if (mpz_sgn(x) == 0) {
    s = zeroPad ? std::string(group > 0 ? group : 1, '0') : "0";
  } else {
    const std::string d = GmpDigits(x, base, lower);
    int inGroup = 0;
    for (auto it = d.rbegin(); it != d.rend(); ++it) {
      if (group > 0 && inGroup == group) {
        s.push_back(' ');
        inGroup = 0;
      }
      s.push_back(*it);
      ++inGroup;
    }
    if (group > 0 && zeroPad)
      while (inGroup++ < group) s.push_back('0');
  }
  if (showSign) s.push_back(mpz_sgn(x) < 0 ? '-' : (spacePlus ? ' ' : '+'));
  return {s.rbegin(), s.rend()};
}

void CheckDigits(const TInteger& a) {
  Mpz x(a);
  for (int base : {2, 8, 10, 16}) {
    ASSERT_EQ(Str(a, base), GmpDigits(x, base, StrLowerHex)) << "base " << base << " a=" << test::MpzText(x);
  }
}

TEST(IntText, Examples) {
  TTextSettings keep;
  StrLowerHex = true;
  StrSpacePlus = true;
  EXPECT_EQ(Str(TInteger(-255), 16, 0, false, true), "-ff");
  StrLowerHex = false;
  EXPECT_EQ(Str(TInteger(-255), 16, 0, false, true), "-FF");
  EXPECT_EQ(Str(TInteger(255), 2, 4, true, false), "1111 1111");
  EXPECT_EQ(Str(TInteger(1234567), 10, 3, true, false), "001 234 567");
  EXPECT_EQ(Str(TInteger(1234567), 10, 3, false, false), "1 234 567");
  EXPECT_EQ(Str(TInteger(0), 10, 5, true, true), " 00000");
  EXPECT_EQ(Str(TInteger(0), 10, 0, false, false), "0");
  EXPECT_EQ(Str(TInteger(0), 16, 0, true, false), "0");
  EXPECT_EQ(Str(TInteger(0), 10, 4, false, false), "0");
  EXPECT_EQ(Str(TInteger(8), 8, 0, false, true), " 10");
  StrSpacePlus = false;
  EXPECT_EQ(Str(TInteger(0), 2, 3, false, true), "+0");
  EXPECT_EQ(Str(TInteger(-1), 2, 3, true, true), "-001");
  EXPECT_EQ(Str(TInteger(123), 10, 3, true, true), "+123");
}

TEST(IntText, BaseOutsideTheFourIsRefused) {
  std::string s = "kept";
  for (int base : {-10, 0, 1, 3, 9, 11, 15, 17, 36}) {
    for (std::int64_t v : {0, 12345}) {
      try {
        IStr(TInteger(v), base, 0, false, false, s);
        ADD_FAILURE() << "base " << base << " accepted";
      } catch (const ERuvInvalidArg& e) {
        EXPECT_STREQ(e.what(), "IStr\r\nInvalid parameter\r\nBase should be in [2,8,10,16]");
      }
    }
  }
  EXPECT_EQ(s, "kept");
}

TEST(IntText, DigitsAgainstGmpAllBases) {
  TTextSettings keep;
  const std::string seed = test::SeedRandom(0x7E47);
  SCOPED_TRACE(seed);
  TInteger a;
  for (int lower = 0; lower < 2; ++lower) {
    StrLowerHex = lower == 1;
    for (int n = 1; n <= 48; ++n) {
      for (int k = 0; k < test::Iterations(2); ++k) {
        RandomInteger(a, n, k % 2 == 0, true);
        CheckDigits(a);
      }
    }
  }
  // A few thousand digits: 1,200 limbs is about 11,500 decimal digits.
  for (int n : {104, 105, 330, 333, 420, 1200}) {
    RandomInteger(a, n, false, true);
    CheckDigits(a);
  }
}

// Powers of ten and their neighbours where the digit count crosses the
// direct limit (99) and the block size changes (999, 99999), and blocks
// that are zero or have leading zeros in the middle of the number.
TEST(IntText, DecimalBlocksAtTheirLimits) {
  TInteger a;
  Mpz x;
  const auto check = [&](mpz_srcptr v) {
    test::FromMpz(a, v);
    ASSERT_EQ(Str(a, 10), GmpDigits(v, 10, false)) << test::MpzText(v);
  };
  for (unsigned long k : {98ul, 99ul, 100ul, 101ul, 197ul, 198ul, 199ul, 998ul, 999ul, 1000ul, 1001ul, 1998ul}) {
    mpz_ui_pow_ui(x, 10, k);
    check(x);
    mpz_sub_ui(x, x, 1);
    check(x);
    mpz_add_ui(x, x, 2);
    check(x);
  }
  mpz_ui_pow_ui(x, 10, 99);
  test::FromMpz(a, x);
  EXPECT_EQ(Str(a, 10), "1" + std::string(99, '0'));
  // 10^300 + 7 has all-zero blocks between its ends; 3·10^1998 + 10^999
  // a block holding a single digit at its top.
  mpz_ui_pow_ui(x, 10, 300);
  mpz_add_ui(x, x, 7);
  check(x);
  Mpz y;
  mpz_ui_pow_ui(x, 10, 1998);
  mpz_mul_ui(x, x, 3);
  mpz_ui_pow_ui(y, 10, 999);
  mpz_add(x, x, y);
  check(x);
  mpz_neg(x, x);
  test::FromMpz(a, x);
  const std::string signed_ = Str(a, 10, 0, false, true);
  EXPECT_EQ(signed_[0], '-');
  EXPECT_EQ(signed_.substr(1), GmpDigits(x, 10, false));
}

TEST(IntText, DecimalLargestBlocks) {
  // More than 99,999 estimated digits: blocks of 9,999.
  Mpz x;
  mpz_ui_pow_ui(x, 10, 100020);
  mpz_sub_ui(x, x, 12345);
  TInteger a;
  test::FromMpz(a, x);
  const std::string s = Str(a, 10);
  ASSERT_EQ(s.size(), 100020u);
  EXPECT_EQ(s, GmpDigits(x, 10, false));
}

TEST(IntText, GroupingPaddingAndSignAgainstReference) {
  TTextSettings keep;
  const std::string seed = test::SeedRandom(0x6209);
  SCOPED_TRACE(seed);
  TInteger a;
  for (int i = 0; i < test::Iterations(400); ++i) {
    const int n = static_cast<int>(RuvRandom() % 6);
    RandomInteger(a, n == 5 ? 12 : n, i % 2 == 0, true);
    static constexpr int Bases[] = {2, 8, 10, 16};
    const int base = Bases[RuvRandom() % 4];
    const int group = static_cast<int>(RuvRandom() % 14) + (i % 50 == 0 ? 240 : 0);
    const bool zeroPad = RuvRandom() % 2, showSign = RuvRandom() % 2;
    StrLowerHex = RuvRandom() % 2;
    StrSpacePlus = RuvRandom() % 2;
    Mpz x(a);
    const std::string want = Reference(x, base, group, zeroPad, showSign, StrLowerHex, StrSpacePlus);
    ASSERT_EQ(Str(a, base, group, zeroPad, showSign), want)
        << test::MpzText(x) << " base " << base << " group " << group << " pad " << zeroPad << " sign " << showSign;
    // IStrBase takes padding and sign from the thread's settings.
    StrZeroPad = zeroPad;
    StrShowSign = showSign;
    std::string s;
    IStrBase(a, base, static_cast<std::uint8_t>(group), s);
    ASSERT_EQ(s, want);
  }
}

}  // namespace
}  // namespace rara
