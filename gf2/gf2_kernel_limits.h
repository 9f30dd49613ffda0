// Sizes and thresholds of the GF(2) kernels, in one place. Each threshold
// says where and how it was set; re-run the named benchmark before moving
// one (figures in docs/PERFORMANCE.md).
#pragma once

#include <cstdint>

namespace rara::gf2_limits {

// Largest operand, in 32-bit words, of the fixed-size Karatsuba kernels (one
// template per size, stack only): 512 bits, so a product of two elements of
// every listed field (degree 360 and below) needs no heap. Above it, KMul
// recurses with one heap scratch block. A size limit, not a speed crossover;
// the field product and square in GF(2^N) rely on it for their stack buffers.
inline constexpr std::int32_t FixedWords = 16;

// Division of binary polynomials goes word-aligned (shifted-divisor table)
// from this dividend degree with at least this gap to the divisor's degree,
// bitwise below. Set with the first division kernels against the remainder
// rows of bench_gf2 (326/163 bits stays bitwise, 566/283 takes the table);
// no finer sweep is recorded.
inline constexpr std::int32_t TableMinDegree = 384;
inline constexpr std::int32_t TableMinGap = 128;

// Repeated reduction modulo one polynomial (factoring, irreducibility): below
// this modulus degree the bitwise division is as quick as the table and
// building the table does not pay. Set with the factoring code, before the
// factoring benchmark existed; bench_factor's rows all lie above it.
inline constexpr std::int32_t TableMinModulus = 64;

// From this modulus degree on a product is reduced by two multiplications
// (Barrett) instead of one table step per leading term. Set with
// bench_factor when the batched gcd came in: 163 stays on the table, 283 and
// 571 gain, and factoring at degree 4000 went from 489 to 256 ms.
inline constexpr std::int32_t BarrettMinModulus = 192;

// Irreducibility test: this many rounds with a gcd each (small factors of
// random inputs show up there), then one gcd per batch of rounds. Set with
// bench_factor's GF2IsIrreducible rows (163, 283, 571: 228/754/3500 us with a
// gcd per round, 72/146/520 us batched).
inline constexpr std::int32_t IrreducibleEarlyRounds = 8;
inline constexpr std::int32_t IrreducibleBatchRounds = 16;

// Karatsuba point products summed per pass of the point kernels over GF(2^N):
// 9 with the 128-bit carry-less multiply, 12 (three groups of four) with the
// 256-bit one; as many accumulators as the 16 vector registers hold beside
// the operands. Chosen with bench_findroot (N = 163 to 571) when the kernels
// were written; no sweep is recorded.
inline constexpr int PointChunk = 9;
inline constexpr int PointChunkWide = 12;

}  // namespace rara::gf2_limits
