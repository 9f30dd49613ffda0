// CRC-32 with the reflected polynomial 0xC8488DB9.
#include "integers/checksum.h"

#include <array>

namespace rara {

namespace {
constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int k = 0; k < 8; ++k) r = (r & 1u) ? (r >> 1) ^ 0xC8488DB9u : r >> 1;
    t[i] = r;
  }
  return t;
}
constexpr std::array<std::uint32_t, 256> CrcTable = MakeTable();
}  // namespace

std::uint32_t RuvCrc32(const void* buffer, std::size_t byteCount) {
  if (byteCount == 0) return 0;
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::uint32_t r = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < byteCount; ++i) r = CrcTable[(r ^ p[i]) & 0xFFu] ^ (r >> 8);
  return ~r;
}

}  // namespace rara
