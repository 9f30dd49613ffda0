// The X9.62 seed expansion for binary fields.
#include "engine/seed_check.h"

#include "integers/sha1.h"

namespace rara {

namespace {

// Puts the 160 digest bits at bits [low, low + count) of W (the digest's
// rightmost bits first), for count <= 160.
void PutDigest(TGF2Poly& w, const TSha1Digest& d, std::int32_t low, std::int32_t count) {
  for (std::int32_t j = 0; j < count; ++j) {
    const std::uint8_t byte = d[static_cast<std::size_t>(19 - j / 8)];
    if (byte & (1u << (j % 8))) w.SetCoef(low + j, true);
  }
}

}  // namespace

void SeedElement(TGF2Poly& w, const std::string& seed, std::int32_t m) {
  w.Clear();
  const std::int32_t s = (m - 1) / 160;
  const std::int32_t h = m - 160 * s;
  PutDigest(w, Sha1(seed.data(), seed.size()), 160 * s, h);
  std::string z(seed);
  for (std::int32_t i = 1; i <= s; ++i) {
    // z := z + 1 modulo 2^g, big-endian.
    for (std::size_t k = z.size(); k-- > 0;)
      if (++reinterpret_cast<unsigned char&>(z[k]) != 0) break;
    PutDigest(w, Sha1(z.data(), z.size()), 160 * (s - i), 160);
  }
}

}  // namespace rara
