// SHA-1: the published FIPS 180 vectors, every padding boundary against the
// openssl program, and any split of a message into Update calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "integers/random.h"
#include "integers/sha1.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

std::string Hex(const TSha1Digest& d) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string s;
  for (const std::uint8_t b : d) {
    s += Digits[b >> 4];
    s += Digits[b & 15];
  }
  return s;
}

std::string Sha1Hex(const std::string& m) { return Hex(Sha1(m.data(), m.size())); }

TEST(Sha1, PublishedVectors) {
  EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  // One million 'a', fed in uneven pieces.
  TSha1 s;
  const std::string piece(997, 'a');
  std::size_t left = 1000000;
  while (left > 0) {
    const std::size_t n = std::min(left, piece.size());
    s.Update(piece.data(), n);
    left -= n;
  }
  EXPECT_EQ(Hex(s.Final()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

// Lengths around the 55/56/64-byte padding boundaries, against openssl.
TEST(Sha1, PaddingBoundariesMatchOpenssl) {
  for (const int len : {0, 1, 54, 55, 56, 57, 63, 64, 65, 119, 120, 128}) {
    std::string m;
    for (int i = 0; i < len; ++i) m += static_cast<char>('A' + (i * 7) % 26);
    const std::string cmd = "printf '%s' '" + m + "' | openssl dgst -sha1 -r";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[128] = {};
    ASSERT_NE(std::fgets(buf, sizeof buf, p), nullptr);
    pclose(p);
    EXPECT_EQ(Sha1Hex(m), std::string(buf, 40)) << "length " << len;
  }
}

TEST(Sha1, AnySplitGivesTheSameDigest) {
  RuvSeed("sha1-split", 10);
  for (int iter = 0; iter < test::Iterations(200); ++iter) {
    std::string m(RuvRandom() % 300, '\0');
    for (char& c : m) c = static_cast<char>(RuvRandom());
    const TSha1Digest whole = Sha1(m.data(), m.size());
    TSha1 s;
    for (std::size_t at = 0; at < m.size();) {
      const std::size_t n = std::min<std::size_t>(m.size() - at, RuvRandom() % 70);
      s.Update(m.data() + at, n);
      at += n;
    }
    ASSERT_EQ(Hex(s.Final()), Hex(whole)) << "length " << m.size();
  }
}

}  // namespace
}  // namespace rara
