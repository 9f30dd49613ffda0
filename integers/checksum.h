// 32-bit checksum of the stream forms and of seeding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rara {

// Table-driven CRC-32, least significant bit first, reflected polynomial
// 0xC8488DB9, register starts at 0xFFFFFFFF, result complemented.
std::uint32_t RuvCrc32(const void* buffer, std::size_t byteCount);

}  // namespace rara
