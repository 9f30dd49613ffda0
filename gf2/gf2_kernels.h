// Raw carry-less kernels over arrays of 32-bit words (bit j of word i is the
// coefficient of x^(32i+j)): the single-word product, fixed-size Karatsuba
// routines for 1 to 16 words and the recursion above them, and the square
// ("spread": coefficient i moves to 2i). No kernel here handles storage or
// normal form; that is the job of the TGF2Poly and field routines built on
// them. The one processor-feature probe of the GF(2) code is here too.
//
// Two implementations exist behind one entry point: a portable one and, on
// processors with a carry-less multiply instruction, a hardware one chosen at
// run time. Both give identical results.
#pragma once

#include <cstdint>

namespace rara {

// Carry-less product of two words, 64-bit result (low word first in the low
// half). Portable 3-bit-window method; the reference for the hardware path.
std::uint64_t GF2MulWordPortable(std::uint32_t a, std::uint32_t b) noexcept;

// Carry-less product of two words through the kernel currently selected.
std::uint64_t GF2MulWord(std::uint32_t a, std::uint32_t b) noexcept;

// R[0..n) := X[0..n) · w. R may equal X (same start), no other overlap.
// Returns the word carried out of the top (the product's word n).
std::uint32_t GF2MulByWord(std::uint32_t* r, const std::uint32_t* x, std::int32_t n,
                           std::uint32_t w) noexcept;

// R[0..2n) := X[0..n) · Y[0..n), carry-less Karatsuba with the split
// h = ceil(n/2). n >= 1 (0 raises ERuv "Internal error in GF2.KMul").
// R must not overlap X or Y; X and Y may be the same array. Sizes up to 16
// words use no heap; above, one scratch block serves all levels. With poll,
// RuvBreak is called after every level above 16 words (so ERuvAbort may pass;
// R is then undefined but the scratch is freed).
void KMul(std::uint32_t* r, const std::uint32_t* x, const std::uint32_t* y, std::int32_t n,
          bool poll);

// R[0..2c) := W[0..c)^2 (coefficient i moves to 2i). R may be W (same start;
// the words are worked from the top down); no other overlap. c >= 0.
void GF2Spread(std::uint32_t* r, const std::uint32_t* w, std::int32_t c) noexcept;

// The same over 64-bit limbs, R[0..2l) := X[0..l)^2, through the kernel given
// by GF2Spread64Kernel (the one selected when it is asked for).
using TGF2Spread64 = void (*)(std::uint64_t* r, const std::uint64_t* x, std::int32_t l) noexcept;
TGF2Spread64 GF2Spread64Kernel() noexcept;

// Processor features, probed once per process: the 128-bit carry-less
// multiply (PCLMULQDQ) and its 256-bit form (VPCLMULQDQ with AVX2).
struct TGF2CpuFeatures {
  bool clmul = false;
  bool wideClmul = false;
};
const TGF2CpuFeatures& GF2CpuFeatures() noexcept;

// Kernel selection, process-wide. Available: the processor has the carry-less
// multiply instruction. Use(false) forces the portable kernels (tests and
// benchmarks); Use(true) selects the hardware ones when available. Returns
// whether the hardware kernels are active afterwards.
bool GF2HardwareKernelsAvailable() noexcept;
bool GF2HardwareKernelsActive() noexcept;
bool GF2UseHardwareKernels(bool use) noexcept;

}  // namespace rara
