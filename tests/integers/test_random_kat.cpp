// Known answers of the random generator: seed bytes -> first words and the
// 1000th word. The values come from a separate model of the generator (the
// checksum, the six seed words from X+1 ... X+6, the mixing step), so a
// changed rotation, multiplier, seed order or carry in the seed fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "integers/random.h"

namespace rara {
namespace {

struct TRandomKat {
  const char* what;
  std::vector<std::uint8_t> seed;
  std::uint32_t first[6];
  std::uint32_t word1000;
};

const TRandomKat Kats[] = {
    {"empty seed (X = 0)", {},
     {0x2feb7b5au, 0x36e25adbu, 0x5aefe58eu, 0xfa88e1aeu, 0xf128020du, 0x82bae56du}, 0x9ec441ccu},
    {"one byte 01", {0x01},
     {0x7d17fd89u, 0x4e46c65du, 0xdb4960c1u, 0x6ea1d099u, 0x5c4ec060u, 0x1cacf16cu}, 0x38a788c1u},
    {"ff ff ff: carry inside the first limb", {0xff, 0xff, 0xff},
     {0xf6eeb809u, 0xc324e572u, 0xaa8bfd2fu, 0x4b2a1c0bu, 0x803f889cu, 0x1077c172u}, 0x19e30b26u},
    {"ff ff ff ff: carry into a second limb", {0xff, 0xff, 0xff, 0xff},
     {0xa051b84cu, 0x4bdd40aau, 0x618c5ce0u, 0x171f5b1eu, 0xe2167cb8u, 0x039dedf8u}, 0x28f5636eu},
    {"\"rara\"", {0x72, 0x61, 0x72, 0x61},
     {0xb3e7afb0u, 0x5fc58037u, 0x187374feu, 0x317b5503u, 0x5342224au, 0x4f986067u}, 0x0494b2a6u},
    {"01 02 ... 10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
     {0xff4336edu, 0x8d51eb35u, 0x213ca46eu, 0x1ed7ec4bu, 0x61a39dcau, 0x4275a154u}, 0x0307f8e4u},
};

TEST(RandomKat, SeedBytesGiveKnownWords) {
  for (const TRandomKat& k : Kats) {
    RuvSeed(k.seed.data(), static_cast<std::int64_t>(k.seed.size()));
    std::uint32_t w = 0;
    for (int i = 1; i <= 1000; ++i) {
      w = RuvRandom();
      if (i <= 6) {
        EXPECT_EQ(w, k.first[i - 1]) << k.what << ", word " << i;
      }
    }
    EXPECT_EQ(w, k.word1000) << k.what << ", word 1000";
  }
  // Trailing zero bytes do not change the number X, so not the sequence.
  const std::uint8_t padded[] = {0x01, 0x00, 0x00, 0x00, 0x00};
  RuvSeed(padded, 5);
  EXPECT_EQ(RuvRandom(), Kats[1].first[0]);
}

}  // namespace
}  // namespace rara
