// Carry-less kernels: the portable 3-bit-window word product, the
// fixed-size Karatsuba routines (templates, one per size 1..16, stack only),
// the heap recursion above 16 words, the square, the PCLMULQDQ variants
// selected at run time and the processor-feature probe.
#include "gf2/gf2_kernels.h"

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <utility>

#include "gf2/gf2_kernel_limits.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/words.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#include <wmmintrin.h>
#define RARA_GF2_HAVE_CLMUL_CODE 1
#endif

namespace rara {

namespace {

using TFixedMul = void (*)(std::uint32_t*, const std::uint32_t*, const std::uint32_t*);

using gf2_limits::FixedWords;

// ---------------------------------------------------------------- portable

inline std::uint64_t MulWordPortable(std::uint32_t a, std::uint32_t b) noexcept {
  // Multiples of a' = a with its two top bits cleared by 0..7; a' << 2 still
  // fits 32 bits, and the two top bits are added back at the end.
  const std::uint64_t a1 = a & 0x3FFFFFFFu;
  std::uint64_t u[8];
  u[0] = 0;
  u[1] = a1;
  u[2] = a1 << 1;
  u[3] = u[2] ^ a1;
  u[4] = a1 << 2;
  u[5] = u[4] ^ a1;
  u[6] = u[4] ^ u[2];
  u[7] = u[6] ^ a1;
  std::uint64_t r = u[b >> 30];
  for (int s = 27; s >= 0; s -= 3) r = (r << 3) ^ u[(b >> s) & 7u];
  // Branch-free form of "if bit 31 / bit 30 of a is set".
  r ^= (static_cast<std::uint64_t>(b) << 31) & (0 - static_cast<std::uint64_t>(a >> 31));
  r ^= (static_cast<std::uint64_t>(b) << 30) & (0 - static_cast<std::uint64_t>((a >> 30) & 1u));
  return r;
}

// Bit i of v moves to bit 2i: the square of one word.
inline std::uint64_t SpreadWordPortable(std::uint32_t v) noexcept {
  std::uint64_t x = v;
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
  x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
  x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
  x = (x | (x << 2)) & 0x3333333333333333ull;
  x = (x | (x << 1)) & 0x5555555555555555ull;
  return x;
}

// The squares below work from the top down, so R may be X.
void SpreadPortable(std::uint32_t* r, const std::uint32_t* w, std::int32_t c) noexcept {
  for (std::int32_t i = c - 1; i >= 0; --i) {
    const std::uint64_t x = SpreadWordPortable(w[i]);
    r[2 * i + 1] = static_cast<std::uint32_t>(x >> 32);
    r[2 * i] = static_cast<std::uint32_t>(x);
  }
}

void Spread64Portable(std::uint64_t* r, const std::uint64_t* x, std::int32_t l) noexcept {
  for (std::int32_t i = l - 1; i >= 0; --i) {
    const std::uint64_t v = x[i];
    r[2 * i + 1] = SpreadWordPortable(static_cast<std::uint32_t>(v >> 32));
    r[2 * i] = SpreadWordPortable(static_cast<std::uint32_t>(v));
  }
}

// Size-N product by the Karatsuba split; the halves' middle operands live on
// the stack, so nothing below 17 words touches the heap.
template <int N>
struct TPortableMul {
  static void Run(std::uint32_t* r, const std::uint32_t* x, const std::uint32_t* y) noexcept {
    if constexpr (N == 1) {
      const std::uint64_t p = MulWordPortable(x[0], y[0]);
      r[0] = static_cast<std::uint32_t>(p);
      r[1] = static_cast<std::uint32_t>(p >> 32);
    } else {
      constexpr int H = (N + 1) / 2;
      constexpr int L = N - H;
      TPortableMul<H>::Run(r, x, y);
      TPortableMul<L>::Run(r + 2 * H, x + H, y + H);
      std::uint32_t e[H], f[H], m[2 * H];
      for (int i = 0; i < L; ++i) {
        e[i] = x[i] ^ x[H + i];
        f[i] = y[i] ^ y[H + i];
      }
      if constexpr (H > L) {
        e[H - 1] = x[H - 1];
        f[H - 1] = y[H - 1];
      }
      TPortableMul<H>::Run(m, e, f);
      for (int i = 0; i < 2 * L; ++i) m[i] ^= r[i] ^ r[2 * H + i];
      for (int i = 2 * L; i < 2 * H; ++i) m[i] ^= r[i];
      for (int i = 0; i < 2 * H; ++i) r[H + i] ^= m[i];
    }
  }
};

template <int... I>
constexpr auto MakePortableTable(std::integer_sequence<int, I...>) {
  return std::array<TFixedMul, sizeof...(I) + 1>{nullptr, &TPortableMul<I + 1>::Run...};
}

// ---------------------------------------------------------------- hardware

#ifdef RARA_GF2_HAVE_CLMUL_CODE

__attribute__((target("pclmul,sse2"))) inline std::uint64_t MulWordClmul(std::uint32_t a,
                                                                           std::uint32_t b) noexcept {
  const __m128i p = _mm_clmulepi64_si128(_mm_cvtsi32_si128(static_cast<int>(a)),
                                         _mm_cvtsi32_si128(static_cast<int>(b)), 0x00);
  return static_cast<std::uint64_t>(_mm_cvtsi128_si64(p));
}

// Schoolbook product of M 64-bit limbs: the products of each anti-diagonal are
// summed as 128-bit values, then the halves are folded into limbs.
template <int M>
__attribute__((target("pclmul,sse2"))) inline void ClmulSchool(std::uint64_t* r, const std::uint64_t* x,
                                                                 const std::uint64_t* y) noexcept {
  __m128i xs[M], ys[M], acc[2 * M - 1];
  for (int i = 0; i < M; ++i) {
    xs[i] = _mm_cvtsi64_si128(static_cast<long long>(x[i]));
    ys[i] = _mm_cvtsi64_si128(static_cast<long long>(y[i]));
  }
  for (int k = 0; k < 2 * M - 1; ++k) acc[k] = _mm_setzero_si128();
  for (int i = 0; i < M; ++i)
    for (int j = 0; j < M; ++j) acc[i + j] = _mm_xor_si128(acc[i + j], _mm_clmulepi64_si128(xs[i], ys[j], 0x00));
  r[0] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(acc[0]));
  for (int k = 1; k < 2 * M - 1; ++k) {
    const __m128i t = _mm_xor_si128(acc[k], _mm_srli_si128(acc[k - 1], 8));
    r[k] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(t));
  }
  r[2 * M - 1] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_srli_si128(acc[2 * M - 2], 8)));
}

// Size-N (32-bit words) product through 64-bit limbs; odd N leaves the top
// half of the last limb zero, so the extra product words are zero too.
template <int N>
struct THardwareMul {
  __attribute__((target("pclmul,sse2"))) static void Run(std::uint32_t* r, const std::uint32_t* x,
                                                           const std::uint32_t* y) noexcept {
    constexpr int M = (N + 1) / 2;
    std::uint64_t xl[M], yl[M], rl[2 * M];
    xl[M - 1] = 0;
    yl[M - 1] = 0;
    std::memcpy(xl, x, 4 * N);
    std::memcpy(yl, y, 4 * N);
    ClmulSchool<M>(rl, xl, yl);
    std::memcpy(r, rl, 8 * N);
  }
};

template <int... I>
constexpr auto MakeHardwareTable(std::integer_sequence<int, I...>) {
  return std::array<TFixedMul, sizeof...(I) + 1>{nullptr, &THardwareMul<I + 1>::Run...};
}

__attribute__((target("pclmul,sse2"))) std::uint32_t MulByWordClmul(std::uint32_t* r, const std::uint32_t* x,
                                                                      std::int32_t n, std::uint32_t w) noexcept {
  const __m128i wv = _mm_cvtsi32_si128(static_cast<int>(w));
  std::uint64_t carry = 0;
  std::int32_t i = 0;
  for (; i + 2 <= n; i += 2) {
    const __m128i p =
        _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(words::Load64(x + i))), wv, 0x00);
    const std::uint64_t lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(p)) ^ carry;
    carry = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_srli_si128(p, 8)));
    words::Store64(r + i, lo);
  }
  if (i < n) {
    const std::uint64_t p = MulWordClmul(x[i], w) ^ carry;
    r[i] = static_cast<std::uint32_t>(p);
    carry = p >> 32;
  }
  return static_cast<std::uint32_t>(carry);
}

// The carry-less square of each 64-bit limb, top limb first.
__attribute__((target("pclmul,sse2"))) void Spread64Clmul(std::uint64_t* r, const std::uint64_t* x,
                                                          std::int32_t l) noexcept {
  for (std::int32_t i = l - 1; i >= 0; --i) {
    const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(x + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 2 * i), _mm_clmulepi64_si128(v, v, 0x00));
  }
}

// The same over 32-bit words: an odd top word alone, then pairs.
__attribute__((target("pclmul,sse2"))) void SpreadClmul(std::uint32_t* r, const std::uint32_t* w,
                                                        std::int32_t c) noexcept {
  if (c % 2 != 0) SpreadPortable(r + 2 * (c - 1), w + c - 1, 1);
  for (std::int32_t i = (c & ~1) - 2; i >= 0; i -= 2) {
    const __m128i v = _mm_cvtsi64_si128(static_cast<long long>(words::Load64(w + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 2 * i), _mm_clmulepi64_si128(v, v, 0x00));
  }
}

TGF2CpuFeatures DetectFeatures() noexcept {
  TGF2CpuFeatures f;
  f.clmul = __builtin_cpu_supports("pclmul");
  f.wideClmul = f.clmul && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("vpclmulqdq");
  return f;
}

#else

TGF2CpuFeatures DetectFeatures() noexcept { return {}; }

#endif

constexpr auto PortableTable = MakePortableTable(std::make_integer_sequence<int, FixedWords>{});
#ifdef RARA_GF2_HAVE_CLMUL_CODE
constexpr auto HardwareTable = MakeHardwareTable(std::make_integer_sequence<int, FixedWords>{});
#endif

// -1 until the first query; then 0 (portable) or 1 (hardware).
std::atomic<int> KernelMode{-1};

bool Available() noexcept { return GF2CpuFeatures().clmul; }

inline bool UseHardware() noexcept {
  int mode = KernelMode.load(std::memory_order_relaxed);
  if (mode < 0) {
    mode = Available() ? 1 : 0;
    KernelMode.store(mode, std::memory_order_relaxed);
  }
  return mode == 1;
}

// Scratch words needed by all levels of the recursion above FixedWords: each
// level uses 4h words and hands the rest to its middle product.
std::size_t ScratchWords(std::int32_t n) noexcept {
  std::size_t total = 0;
  while (n > FixedWords) {
    const std::int32_t h = (n + 1) / 2;
    total += 4 * static_cast<std::size_t>(h);
    n = h;
  }
  return total;
}

void KMulLevel(std::uint32_t* r, const std::uint32_t* x, const std::uint32_t* y, std::int32_t n,
               std::uint32_t* scratch, bool poll, const TFixedMul* fixed) {
  if (n <= FixedWords) {
    fixed[n](r, x, y);
    return;
  }
  const std::int32_t h = (n + 1) / 2;
  const std::int32_t l = n - h;
  KMulLevel(r, x, y, h, scratch, poll, fixed);
  KMulLevel(r + 2 * h, x + h, y + h, l, scratch, poll, fixed);
  std::uint32_t* e = scratch;
  std::uint32_t* f = scratch + h;
  std::uint32_t* m = scratch + 2 * h;
  for (std::int32_t i = 0; i < l; ++i) {
    e[i] = x[i] ^ x[h + i];
    f[i] = y[i] ^ y[h + i];
  }
  if (h > l) {
    e[h - 1] = x[h - 1];
    f[h - 1] = y[h - 1];
  }
  KMulLevel(m, e, f, h, scratch + 4 * h, poll, fixed);
  for (std::int32_t i = 0; i < 2 * l; ++i) m[i] ^= r[i] ^ r[2 * h + i];
  for (std::int32_t i = 2 * l; i < 2 * h; ++i) m[i] ^= r[i];
  for (std::int32_t i = 0; i < 2 * h; ++i) r[h + i] ^= m[i];
  if (poll) RuvBreak();
}

}  // namespace

std::uint64_t GF2MulWordPortable(std::uint32_t a, std::uint32_t b) noexcept { return MulWordPortable(a, b); }

std::uint64_t GF2MulWord(std::uint32_t a, std::uint32_t b) noexcept {
#ifdef RARA_GF2_HAVE_CLMUL_CODE
  if (UseHardware()) return MulWordClmul(a, b);
#endif
  return MulWordPortable(a, b);
}

std::uint32_t GF2MulByWord(std::uint32_t* r, const std::uint32_t* x, std::int32_t n, std::uint32_t w) noexcept {
#ifdef RARA_GF2_HAVE_CLMUL_CODE
  if (UseHardware()) return MulByWordClmul(r, x, n, w);
#endif
  std::uint32_t carry = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint64_t p = MulWordPortable(x[i], w);
    r[i] = static_cast<std::uint32_t>(p) ^ carry;
    carry = static_cast<std::uint32_t>(p >> 32);
  }
  return carry;
}

void KMul(std::uint32_t* r, const std::uint32_t* x, const std::uint32_t* y, std::int32_t n, bool poll) {
  if (n <= 0) RaiseRuv("Internal error in GF2.KMul");
  const TFixedMul* fixed = PortableTable.data();
#ifdef RARA_GF2_HAVE_CLMUL_CODE
  if (UseHardware()) fixed = HardwareTable.data();
#endif
  if (n <= FixedWords) {
    fixed[n](r, x, y);
    return;
  }
  auto scratch = std::make_unique_for_overwrite<std::uint32_t[]>(ScratchWords(n));
  KMulLevel(r, x, y, n, scratch.get(), poll, fixed);
}

void GF2Spread(std::uint32_t* r, const std::uint32_t* w, std::int32_t c) noexcept {
#ifdef RARA_GF2_HAVE_CLMUL_CODE
  if (UseHardware()) {
    SpreadClmul(r, w, c);
    return;
  }
#endif
  SpreadPortable(r, w, c);
}

TGF2Spread64 GF2Spread64Kernel() noexcept {
#ifdef RARA_GF2_HAVE_CLMUL_CODE
  if (UseHardware()) return &Spread64Clmul;
#endif
  return &Spread64Portable;
}

const TGF2CpuFeatures& GF2CpuFeatures() noexcept {
  static const TGF2CpuFeatures features = DetectFeatures();
  return features;
}

bool GF2HardwareKernelsAvailable() noexcept { return Available(); }

bool GF2HardwareKernelsActive() noexcept { return UseHardware(); }

bool GF2UseHardwareKernels(bool use) noexcept {
  const int mode = (use && Available()) ? 1 : 0;
  KernelMode.store(mode, std::memory_order_relaxed);
  return mode == 1;
}

}  // namespace rara
