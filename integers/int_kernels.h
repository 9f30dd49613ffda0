// Raw limb kernels of the integer arithmetic: little-endian arrays of 32-bit
// limbs, sizes from the caller, no allocation, no errors. The owning routines
// in integers.cpp / int_mul.cpp / int_div.cpp decide storage and aliasing.
#pragma once

#include <cstdint>

namespace rara::limb {

// r[0..n) := a + b; returns the carry (0 or 1). n >= 0. r may be a or b
// (same start); no other overlap.
std::uint32_t Add(std::uint32_t* r, const std::uint32_t* a, const std::uint32_t* b, std::int32_t n);

// r[0..n) := a - b; returns the borrow (0 or 1). n >= 0. r may be a or b
// (same start); no other overlap.
std::uint32_t Sub(std::uint32_t* r, const std::uint32_t* a, const std::uint32_t* b, std::int32_t n);

// r[0..n) += w at limb 0, carry propagated; returns the carry out of limb n-1
// (0 or 1; for n = 0 it is w != 0). Stops as soon as the carry dies.
std::uint32_t AddWord(std::uint32_t* r, std::int32_t n, std::uint32_t w);

// r[0..n) -= w at limb 0, borrow propagated; returns the final borrow (0 or 1;
// for n = 0 it is w != 0). Stops as soon as the borrow dies.
std::uint32_t SubWord(std::uint32_t* r, std::int32_t n, std::uint32_t w);

// AddWord / SubWord with w = 1.
inline std::uint32_t Inc(std::uint32_t* r, std::int32_t n) { return AddWord(r, n, 1); }
inline std::uint32_t Dec(std::uint32_t* r, std::int32_t n) { return SubWord(r, n, 1); }

// r[0..n) := low n limbs of a[0..n)·w; returns the high limb. r may be a.
std::uint32_t MulWord(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w);

// r[0..n) += a[0..n)·w; returns the carry limb. r and a do not overlap.
std::uint32_t MulAdd(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w);

// r[0..n) -= a[0..n)·w; returns the borrow limb (what is still to be
// subtracted at limb n). r and a do not overlap.
std::uint32_t MulSub(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w);

// Compares a[0..n) with b[0..n) from the top limb down: -1, 0 or 1.
int Cmp(const std::uint32_t* a, const std::uint32_t* b, std::int32_t n);

// r[0..n) := low n limbs of a·2^s, 0 < s < 32; returns the bits shifted out
// (in the low s bits). Works from the top limb down, so r may be a or lie
// above a.
std::uint32_t Shl(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, unsigned s);

// r[0..n) := a div 2^s, 0 < s < 32; returns the bits shifted out (in the top
// s bits). Works from the bottom limb up, so r may be a or lie below a.
std::uint32_t Shr(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, unsigned s);

// r[0..na+nb) := a[0..na)·b[0..nb), schoolbook. na, nb >= 1; r overlaps
// neither a nor b. Pairs of limbs are worked as 64-bit words where the layout
// allows; the result is the same as MulRef.
void Mul(std::uint32_t* r, const std::uint32_t* a, std::int32_t na, const std::uint32_t* b,
         std::int32_t nb);

// r[0..2n) := a[0..n)², schoolbook (cross products once, doubled, then the
// squares). n >= 1; r does not overlap a. Same result as SqrRef.
void Sqr(std::uint32_t* r, const std::uint32_t* a, std::int32_t n);

// Plain 32-bit versions of Mul and Sqr with the same contracts: the fallback
// where limb pairs cannot be read as 64-bit words, and the tests' reference.
void MulRef(std::uint32_t* r, const std::uint32_t* a, std::int32_t na, const std::uint32_t* b,
            std::int32_t nb);
void SqrRef(std::uint32_t* r, const std::uint32_t* a, std::int32_t n);

}  // namespace rara::limb
