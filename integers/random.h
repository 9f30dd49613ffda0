// Per-thread random generator and its seeding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rara {

// Multiplication modulo 2^32 + 1 folded into 32 bits.
std::uint32_t MulMod32(std::uint32_t a, std::uint32_t b);

// Seeds the calling thread's generator from ByteCount bytes. On the main
// thread the seed also becomes the one that other threads start from.
void RuvSeed(const void* buffer, std::int64_t byteCount);
// Seeds from the current UTC time record.
void RuvSeedTime();
// Next 32-bit word of the calling thread's generator. A thread that never
// seeded its generator is seeded at its first draw from the main thread's
// last seed and the number of threads seeded that way since (1, 2, ...).
std::uint32_t RuvRandom();

}  // namespace rara
