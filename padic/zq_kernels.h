// Raw kernels of the 2-adic layer: integers modulo 2^(64·w) held as w
// little-endian 64-bit words, and polynomials whose coefficients are such
// integers (coefficient i at words [i·w, (i+1)·w)). No allocation, sizes from
// the caller, w from 1 to MaxWords.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rara::zq {

inline constexpr int MaxWords = 8;

// ---- Integers modulo 2^(64w) ----
// R := A + B, A − B, A·B. R may be A or B.
void IntAdd(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, int w) noexcept;
void IntSub(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, int w) noexcept;
void IntMul(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, int w) noexcept;
// R := A div 2^s for 0 <= s < 64w (the top s bits become 0). R may be A.
void IntShr(std::uint64_t* r, const std::uint64_t* a, int s, int w) noexcept;
// R := A·2^s modulo 2^(64w), 0 <= s < 64w. R may be A.
void IntShl(std::uint64_t* r, const std::uint64_t* a, int s, int w) noexcept;
// R := A^(−1) for odd A. R may be A.
void IntInvOdd(std::uint64_t* r, const std::uint64_t* a, int w) noexcept;

// ---- Polynomials ----
// R[0 .. 2n−1) := A·B for A, B of n coefficients; R overlaps neither. T is
// scratch of MulScratchWords(n, w) words. B may be A (squaring).
void PolyMul(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, std::size_t n, int w,
             std::uint64_t* t) noexcept;
// The same when B's coefficients are below 2^(64·wb − 8), wb < w: the
// products with B's zero words are skipped (the 8 spare bits hold the
// sums of coefficients the recursion forms). Same scratch.
void PolyMulShort(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b, std::size_t n, int w, int wb,
                  std::uint64_t* t) noexcept;
std::size_t MulScratchWords(std::size_t n, int w) noexcept;

// R[0 .. 2n−1) := R mod (x^n + sum of x^e over E), the E[0..ne) below n
// (coefficients +1, so x^n = −sum x^e); afterwards the words from n·w up
// are stale.
void PolyReduceSparse(std::uint64_t* r, std::size_t n, const std::int32_t* e, int ne, int w) noexcept;

}  // namespace rara::zq
