// Flat element kernels for the polynomial routines over GF(2^N): sums of
// unreduced limb products (carry-less multiply instruction when the binary
// kernels use it, the portable word product otherwise) and one Barrett
// reduction per sum.
#include "gf2/gf2n_poly_kernels.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <utility>

#include "gf2/gf2_kernel_limits.h"
#include "gf2/gf2_kernels.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define RARA_GF2N_HAVE_CLMUL_CODE 1
#endif

namespace rara {

namespace {

// ---------------------------------------------------------------- portable

// 64 x 64 carry-less product by three word products (Karatsuba).
inline void Clmul64(std::uint64_t a, std::uint64_t b, std::uint64_t& lo, std::uint64_t& hi) noexcept {
  const auto a0 = static_cast<std::uint32_t>(a), a1 = static_cast<std::uint32_t>(a >> 32);
  const auto b0 = static_cast<std::uint32_t>(b), b1 = static_cast<std::uint32_t>(b >> 32);
  const std::uint64_t l = GF2MulWordPortable(a0, b0);
  const std::uint64_t h = GF2MulWordPortable(a1, b1);
  const std::uint64_t m = GF2MulWordPortable(a0 ^ a1, b0 ^ b1) ^ l ^ h;
  lo = l ^ (m << 32);
  hi = h ^ (m >> 32);
}

template <int L>
void DotPortable(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y, std::int32_t count) {
  std::uint64_t acc[2 * L] = {};
  for (std::int32_t k = 0; k < count; ++k, x += L, y += L)
    for (int i = 0; i < L; ++i) {
      if (x[i] == 0) continue;
      for (int j = 0; j < L; ++j) {
        std::uint64_t lo, hi;
        Clmul64(x[i], y[j], lo, hi);
        acc[i + j] ^= lo;
        acc[i + j + 1] ^= hi;
      }
    }
  std::memcpy(r, acc, sizeof acc);
}

// ---------------------------------------------------------------- hardware

#ifdef RARA_GF2N_HAVE_CLMUL_CODE

template <int L>
__attribute__((target("pclmul,sse2"), always_inline)) inline void DotHardwareBody(std::uint64_t* r,
                                                                                 const std::uint64_t* x,
                                                                                 const std::uint64_t* y,
                                                                                 std::int32_t count) {
  constexpr int H = (L + 1) / 2;  // limb pairs; an odd top limb is loaded alone
  // acc[l]: the 128-bit sum of the limb products that start at limb l.
  __m128i acc[2 * L];
#pragma GCC unroll 16
  for (int l = 0; l < 2 * L; ++l) acc[l] = _mm_setzero_si128();
  for (std::int32_t k = 0; k < count; ++k, x += L, y += L) {
    __m128i xs[H], ys[H];
#pragma GCC unroll 8
    for (int i = 0; i < H; ++i) {
      if (2 * i + 1 < L) {
        xs[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 2 * i));
        ys[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 2 * i));
      } else {
        xs[i] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(x + 2 * i));
        ys[i] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + 2 * i));
      }
    }
#pragma GCC unroll 8
    for (int i = 0; i < H; ++i) {
#pragma GCC unroll 8
      for (int j = 0; j < H; ++j) {
        const int l = 2 * i + 2 * j;
        acc[l] = _mm_xor_si128(acc[l], _mm_clmulepi64_si128(xs[i], ys[j], 0x00));
        if (2 * i + 1 < L) acc[l + 1] = _mm_xor_si128(acc[l + 1], _mm_clmulepi64_si128(xs[i], ys[j], 0x01));
        if (2 * j + 1 < L) acc[l + 1] = _mm_xor_si128(acc[l + 1], _mm_clmulepi64_si128(xs[i], ys[j], 0x10));
        if (2 * i + 1 < L && 2 * j + 1 < L)
          acc[l + 2] = _mm_xor_si128(acc[l + 2], _mm_clmulepi64_si128(xs[i], ys[j], 0x11));
      }
    }
  }
  r[0] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(acc[0]));
#pragma GCC unroll 16
  for (int l = 1; l < 2 * L; ++l)
    r[l] = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_xor_si128(acc[l], _mm_srli_si128(acc[l - 1], 8))));
}

template <int L>
__attribute__((target("pclmul,sse2"))) void DotHardware(std::uint64_t* r, const std::uint64_t* x,
                                                          const std::uint64_t* y, std::int32_t count) {
  DotHardwareBody<L>(r, x, y, count);
}

#endif

// ---------------------------------------------------------------- reduction

// R[0..L) := bits [n, n + 64L) of A[0..2L).
template <int L>
inline void ShiftDownFixed(std::uint64_t* r, const std::uint64_t* a, std::int32_t n) noexcept {
  const int q = n >> 6;
  const int s = n & 63;
  for (int i = 0; i < L; ++i) {
    const std::uint64_t lo = a[q + i];
    const std::uint64_t hi = q + i + 1 < 2 * L ? a[q + i + 1] : 0;
    r[i] = s == 0 ? lo : (lo >> s) | (hi << (64 - s));
  }
}

// Barrett: A = A1·x^N + A0 of degree below 2N has the quotient
// Q = A1 + floor(A1·mu_low / x^N) by P, mu = floor(x^(2N) / P) = x^N + mu_low,
// and the remainder is the low N bits of A0 + Q·(P - x^N).
template <int L>
void ReducePortable(std::uint64_t* a, const std::uint64_t* muLow, const std::uint64_t* pLow, std::int32_t n) {
  std::uint64_t hi[L], t[2 * L], q[L];
  ShiftDownFixed<L>(hi, a, n);
  DotPortable<L>(t, hi, muLow, 1);
  ShiftDownFixed<L>(q, t, n);
  for (int i = 0; i < L; ++i) q[i] ^= hi[i];
  DotPortable<L>(t, q, pLow, 1);
  for (int i = 0; i < L; ++i) a[i] ^= t[i];
  if ((n & 63) != 0) a[L - 1] &= (std::uint64_t{1} << (n & 63)) - 1;
}

#ifdef RARA_GF2N_HAVE_CLMUL_CODE
template <int L>
__attribute__((target("pclmul,sse2"))) void ReduceHardware(std::uint64_t* a, const std::uint64_t* muLow,
                                                             const std::uint64_t* pLow, std::int32_t n) {
  std::uint64_t hi[L], t[2 * L], q[L];
  ShiftDownFixed<L>(hi, a, n);
  DotHardwareBody<L>(t, hi, muLow, 1);
  ShiftDownFixed<L>(q, t, n);
  for (int i = 0; i < L; ++i) q[i] ^= hi[i];
  DotHardwareBody<L>(t, q, pLow, 1);
  for (int i = 0; i < L; ++i) a[i] ^= t[i];
  if ((n & 63) != 0) a[L - 1] &= (std::uint64_t{1} << (n & 63)) - 1;
}
#endif

// ---------------------------------------------------------------- pointwise

template <int E>
void PointwisePortable(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y, std::int32_t count) {
  std::uint64_t acc[2 * E] = {};
  for (std::int32_t k = 0; k < count; ++k, x += E, y += E)
    for (int e = 0; e < E; ++e) {
      std::uint64_t lo, hi;
      Clmul64(x[e], y[e], lo, hi);
      acc[2 * e] ^= lo;
      acc[2 * e + 1] ^= hi;
    }
  std::memcpy(r, acc, sizeof acc);
}

#ifdef RARA_GF2N_HAVE_CLMUL_CODE

// Points B..B+C-1 over all k, C accumulators kept in registers.
template <int E, int B, int C>
__attribute__((target("pclmul,sse2"))) inline void PointChunk(std::uint64_t* r, const std::uint64_t* x,
                                                                const std::uint64_t* y, std::int32_t count) {
  __m128i acc[C];
#pragma GCC unroll 16
  for (int e = 0; e < C; ++e) acc[e] = _mm_setzero_si128();
  x += B;
  y += B;
  for (std::int32_t k = 0; k < count; ++k, x += E, y += E) {
#pragma GCC unroll 16
    for (int e = 0; e < C; e += 2) {
      if (e + 1 < C) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + e));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + e));
        acc[e] = _mm_xor_si128(acc[e], _mm_clmulepi64_si128(a, b, 0x00));
        acc[e + 1] = _mm_xor_si128(acc[e + 1], _mm_clmulepi64_si128(a, b, 0x11));
      } else {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(x + e));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + e));
        acc[e] = _mm_xor_si128(acc[e], _mm_clmulepi64_si128(a, b, 0x00));
      }
    }
  }
#pragma GCC unroll 16
  for (int e = 0; e < C; ++e) _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 2 * (B + e)), acc[e]);
}

template <int E, int B = 0>
__attribute__((target("pclmul,sse2"))) void PointwiseHardware(std::uint64_t* r, const std::uint64_t* x,
                                                                const std::uint64_t* y, std::int32_t count) {
  if constexpr (B < E) {
    constexpr int C = E - B > gf2_limits::PointChunk ? gf2_limits::PointChunk : E - B;
    PointChunk<E, B, C>(r, x, y, count);
    PointwiseHardware<E, B + C>(r, x, y, count);
  }
}

// The same four products at a time with the 256-bit carry-less multiply:
// lanes hold points e and e+2 (selector 0x00) or e+1 and e+3 (0x11); the
// points beyond the last full group of four go through 128-bit products.
template <int E, int B, int C>
__attribute__((target("avx2,vpclmulqdq,pclmul"))) inline void PointChunkWide(std::uint64_t* r, const std::uint64_t* x,
                                                                             const std::uint64_t* y,
                                                                             std::int32_t count) {
  constexpr int G = C / 4;
  constexpr int T = C - 4 * G;
  __m256i a0[G > 0 ? G : 1], a1[G > 0 ? G : 1];
  __m128i t[T > 0 ? T : 1];
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) a0[g] = a1[g] = _mm256_setzero_si256();
#pragma GCC unroll 4
  for (int e = 0; e < T; ++e) t[e] = _mm_setzero_si128();
  x += B;
  y += B;
  for (std::int32_t k = 0; k < count; ++k, x += E, y += E) {
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + 4 * g));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + 4 * g));
      a0[g] = _mm256_xor_si256(a0[g], _mm256_clmulepi64_epi128(a, b, 0x00));
      a1[g] = _mm256_xor_si256(a1[g], _mm256_clmulepi64_epi128(a, b, 0x11));
    }
#pragma GCC unroll 4
    for (int e = 0; e < T; e += 2) {
      if (e + 1 < T) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 4 * G + e));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 4 * G + e));
        t[e] = _mm_xor_si128(t[e], _mm_clmulepi64_si128(a, b, 0x00));
        t[e + 1] = _mm_xor_si128(t[e + 1], _mm_clmulepi64_si128(a, b, 0x11));
      } else {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(x + 4 * G + e));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + 4 * G + e));
        t[e] = _mm_xor_si128(t[e], _mm_clmulepi64_si128(a, b, 0x00));
      }
    }
  }
  std::uint64_t* out = r + 2 * B;
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * g), _mm256_castsi256_si128(a0[g]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * g + 2), _mm256_castsi256_si128(a1[g]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * g + 4), _mm256_extracti128_si256(a0[g], 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * g + 6), _mm256_extracti128_si256(a1[g], 1));
  }
#pragma GCC unroll 4
  for (int e = 0; e < T; ++e) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * G + 2 * e), t[e]);
}

template <int E, int B = 0>
__attribute__((target("avx2,vpclmulqdq,pclmul"))) void PointwiseWide(std::uint64_t* r, const std::uint64_t* x,
                                                                     const std::uint64_t* y, std::int32_t count) {
  if constexpr (B < E) {
    constexpr int C = E - B > gf2_limits::PointChunkWide ? gf2_limits::PointChunkWide : E - B;
    PointChunkWide<E, B, C>(r, x, y, count);
    PointwiseWide<E, B + C>(r, x, y, count);
  }
}

#endif

// Karatsuba points per limb count (7 limbs use the scheme of 8).
constexpr int PointsFor(int l) {
  constexpr int e[] = {0, 1, 3, 6, 9, 15, 18, 27, 27, 36};
  return e[l];
}

// ---------------------------------------------------------------- points

// Points: the tensor product of one-level schemes Q_n (every limb alone and
// every pair of limbs: n(n+1)/2 products for n limbs), e.g. Q2 x Q3 for six
// limbs (18 products instead of 36), Q3 x Q3 for nine (36 instead of 81). Which point products make up each limb
// of the result follows from the pairs (i, j) of limb products they contain,
// solved by elimination over GF(2) at compile time. Seven limbs use the
// scheme of eight (the top limb is zero).
struct TScheme {
  int limbs = 0;
  int points = 0;
  std::uint16_t subset[TGF2NFlatField::MaxPoints] = {};
  int rec = 0;  // point product recPoint[i] is added at result limb recLimb[i]
  std::uint8_t recPoint[1024] = {};
  std::uint8_t recLimb[1024] = {};
};

// A set of limb products (i, j), bit i·l + j, for up to 9 x 9 limbs.
struct TPairSet {
  std::uint64_t w[2] = {};
  constexpr bool Get(int b) const { return ((w[b / 64] >> (b % 64)) & 1u) != 0; }
  constexpr void Set(int b) { w[b / 64] |= std::uint64_t{1} << (b % 64); }
  constexpr void Xor(const TPairSet& o) {
    w[0] ^= o.w[0];
    w[1] ^= o.w[1];
  }
  constexpr bool Empty() const { return w[0] == 0 && w[1] == 0; }
};

constexpr TScheme MakeScheme(int l) {
  TScheme sc;
  sc.limbs = l;
  constexpr int Factors[10][3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {2, 2, 0},
                                  {5, 0, 0}, {2, 3, 0}, {2, 2, 2}, {2, 2, 2}, {3, 3, 0}};
  std::uint32_t scheme[TGF2NFlatField::MaxPoints] = {1};
  int count = 1, size = 1;
  for (int f : Factors[l]) {
    if (f == 0) break;
    std::uint32_t q[15] = {};
    int nq = 0;
    for (int i = 0; i < f; ++i)
      for (int j = i; j < f; ++j) q[nq++] = (1u << i) | (1u << j);
    std::uint32_t next[TGF2NFlatField::MaxPoints] = {};
    int nn = 0;
    for (int a = 0; a < count; ++a)
      for (int b = 0; b < nq; ++b) {
        std::uint32_t mask = 0;
        for (int bi = 0; bi < f; ++bi)
          if ((q[b] >> bi) & 1u) mask |= scheme[a] << (size * bi);
        next[nn++] = mask;
      }
    for (int i = 0; i < nn; ++i) scheme[i] = next[i];
    count = nn;
    size *= f;
  }
  sc.points = count;
  TPairSet basis[128] = {};
  std::uint64_t comb[128] = {};
  for (int e = 0; e < count; ++e) {
    sc.subset[e] = static_cast<std::uint16_t>(scheme[e]);
    TPairSet v;
    for (int i = 0; i < l; ++i)
      for (int j = 0; j < l; ++j)
        if (((scheme[e] >> i) & 1u) && ((scheme[e] >> j) & 1u)) v.Set(i * l + j);
    std::uint64_t c = std::uint64_t{1} << e;
    for (int b = 127; b >= 0; --b) {
      if (!v.Get(b)) continue;
      if (basis[b].Empty()) {
        basis[b] = v;
        comb[b] = c;
        break;
      }
      v.Xor(basis[b]);
      c ^= comb[b];
    }
  }
  for (int pos = 0; pos <= 2 * l - 2; ++pos) {
    TPairSet v;
    for (int i = 0; i < l; ++i)
      if (pos - i >= 0 && pos - i < l) v.Set(i * l + pos - i);
    std::uint64_t c = 0;
    for (int b = 127; b >= 0; --b) {
      if (!v.Get(b)) continue;
      v.Xor(basis[b]);
      c ^= comb[b];
    }
    if (!v.Empty()) return TScheme{};  // unreachable: the schemes are complete
    for (int e = 0; e < count; ++e)
      if ((c >> e) & 1u) {
        sc.recPoint[sc.rec] = static_cast<std::uint8_t>(e);
        sc.recLimb[sc.rec] = static_cast<std::uint8_t>(pos);
        ++sc.rec;
      }
  }
  return sc;
}

template <int L>
inline constexpr TScheme SchemeFor = MakeScheme(L == 7 ? 8 : L);

static_assert(SchemeFor<1>.points == PointsFor(1) && SchemeFor<2>.points == PointsFor(2) &&
              SchemeFor<3>.points == PointsFor(3) && SchemeFor<4>.points == PointsFor(4) &&
              SchemeFor<5>.points == PointsFor(5) && SchemeFor<6>.points == PointsFor(6) &&
              SchemeFor<7>.points == PointsFor(7) && SchemeFor<8>.points == PointsFor(8) &&
              SchemeFor<9>.points == PointsFor(9));
static_assert(SchemeFor<6>.rec > 0 && SchemeFor<8>.rec > 0 && SchemeFor<5>.rec > 0 &&
              SchemeFor<9>.rec > 0);

template <int L>
void ExpandFixed(std::uint64_t* xh, const std::uint64_t* x) {
  constexpr const TScheme& sc = SchemeFor<L>;
#pragma GCC unroll 32
  for (int e = 0; e < sc.points; ++e) {
    std::uint64_t v = 0;
#pragma GCC unroll 8
    for (int i = 0; i < L; ++i)
      if ((sc.subset[e] >> i) & 1u) v ^= x[i];
    xh[e] = v;
  }
}

// Acc[0..2L) := the limbs of the sum from the point products Prod (128 bits each).
template <int L>
void RecombineFixed(std::uint64_t* acc, const std::uint64_t* prod) {
  constexpr const TScheme& sc = SchemeFor<L>;
  std::uint64_t r[2 * (L == 7 ? 8 : L)] = {};
#pragma GCC unroll 256
  for (int i = 0; i < sc.rec; ++i) {
    r[sc.recLimb[i]] ^= prod[2 * sc.recPoint[i]];
    r[sc.recLimb[i] + 1] ^= prod[2 * sc.recPoint[i] + 1];
  }
  std::memcpy(acc, r, 16 * L);
}

template <int... I>
constexpr auto MakeTables(std::integer_sequence<int, I...>) {
  struct TTables {
    std::array<void (*)(std::uint64_t*, const std::uint64_t*, const std::uint64_t*, std::int32_t), sizeof...(I)> dotP,
        dotH;
    std::array<void (*)(std::uint64_t*, const std::uint64_t*, const std::uint64_t*, std::int32_t), sizeof...(I)>
        pointP, pointH;
    std::array<void (*)(std::uint64_t*, const std::uint64_t*, const std::uint64_t*, std::int32_t), sizeof...(I)>
        reduceP, reduceH, pointW;
    std::array<void (*)(std::uint64_t*, const std::uint64_t*), sizeof...(I)> expand, recombine;
  };
#ifdef RARA_GF2N_HAVE_CLMUL_CODE
  return TTables{{&DotPortable<I + 1>...},
                 {&DotHardware<I + 1>...},
                 {&PointwisePortable<PointsFor(I + 1)>...},
                 {&PointwiseHardware<PointsFor(I + 1)>...},
                 {&ReducePortable<I + 1>...},
                 {&ReduceHardware<I + 1>...},
                 {&PointwiseWide<PointsFor(I + 1)>...},
                 {&ExpandFixed<I + 1>...},
                 {&RecombineFixed<I + 1>...}};
#else
  return TTables{{&DotPortable<I + 1>...},      {&DotPortable<I + 1>...},
                 {&PointwisePortable<PointsFor(I + 1)>...}, {&PointwisePortable<PointsFor(I + 1)>...},
                 {&ReducePortable<I + 1>...},   {&ReducePortable<I + 1>...},
                 {&PointwisePortable<PointsFor(I + 1)>...},
                 {&ExpandFixed<I + 1>...},      {&RecombineFixed<I + 1>...}};
#endif
}

constexpr auto Tables = MakeTables(std::make_integer_sequence<int, TGF2NFlatField::MaxLimbs>{});

std::atomic<bool>& WideWanted() {
  static std::atomic<bool> wanted{true};
  return wanted;
}

}  // namespace

TGF2NFlatField::TGF2NFlatField(const TGF2Poly& p) {
  const std::int32_t n = p.Degree();
  if (n < 1 || n > 64 * MaxLimbs) return;
  n_ = n;
  limbs_ = (n + 63) / 64;
  // Kernel choice follows the binary kernels, so tests can force either.
  const bool hw = GF2HardwareKernelsActive();
  dot_ = hw ? Tables.dotH[limbs_ - 1] : Tables.dotP[limbs_ - 1];
  spread_ = GF2Spread64Kernel();
  pointwise_ = hw ? (GF2NWideKernelsActive() ? Tables.pointW[limbs_ - 1] : Tables.pointH[limbs_ - 1])
                  : Tables.pointP[limbs_ - 1];
  reduce_ = hw ? Tables.reduceH[limbs_ - 1] : Tables.reduceP[limbs_ - 1];
  expand_ = Tables.expand[limbs_ - 1];
  recombine_ = Tables.recombine[limbs_ - 1];
  points_ = PointsFor(limbs_);
  TGF2Poly low(p);
  low.SetCoef(n, false);
  Load(pLow_, low);
  TGF2Poly mu;
  mu.SetMonomial(2 * n);
  GF2Div(mu, p);
  mu.SetCoef(n, false);
  Load(muLow_, mu);
}

void TGF2NFlatField::Expand(std::uint64_t* xh, const std::uint64_t* x) const noexcept { expand_(xh, x); }

void TGF2NFlatField::DotExpandedWide(std::uint64_t* acc, const std::uint64_t* xh, const std::uint64_t* yh,
                                     std::int32_t count) const noexcept {
  std::uint64_t prod[2 * MaxPoints];
  pointwise_(prod, xh, yh, count);
  recombine_(acc, prod);
}

void TGF2NFlatField::DotExpanded(std::uint64_t* r, const std::uint64_t* xh, const std::uint64_t* yh,
                                 std::int32_t count) const noexcept {
  std::uint64_t acc[2 * MaxLimbs];
  DotExpandedWide(acc, xh, yh, count);
  Reduce(acc);
  std::memcpy(r, acc, static_cast<std::size_t>(limbs_) * 8);
}

void TGF2NFlatField::AddSquareWide(std::uint64_t* acc, const std::uint64_t* x) const noexcept {
  std::uint64_t t[2 * MaxLimbs];
  spread_(t, x, limbs_);
  for (int i = 0; i < 2 * limbs_; ++i) acc[i] ^= t[i];
}

void TGF2NFlatField::Load(std::uint64_t* e, const TGF2Poly& a) const noexcept {
  std::memset(e, 0, static_cast<std::size_t>(limbs_) * 8);
  // Zero holds no storage: its word pointer may be null.
  if (a.Count() > 0) std::memcpy(e, a.Words(), static_cast<std::size_t>(a.Count()) * 4);
}

void TGF2NFlatField::Store(TGF2Poly& a, const std::uint64_t* e) const {
  std::uint32_t w[2 * MaxLimbs];
  std::memcpy(w, e, static_cast<std::size_t>(limbs_) * 8);
  std::int32_t words = 2 * limbs_;
  while (words > 0 && w[words - 1] == 0) --words;
  a.SetSize(0, false);
  if (words == 0) return;
  a.SetSize(words, false);
  std::memcpy(a.Words(), w, static_cast<std::size_t>(words) * 4);
}

void TGF2NFlatField::Reduce(std::uint64_t* a) const noexcept { reduce_(a, muLow_, pLow_, n_); }

void TGF2NFlatField::Dot(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y,
                         std::int32_t count) const noexcept {
  std::uint64_t acc[2 * MaxLimbs];
  dot_(acc, x, y, count);
  Reduce(acc);
  std::memcpy(r, acc, static_cast<std::size_t>(limbs_) * 8);
}

void TGF2NFlatField::Mul(std::uint64_t* r, const std::uint64_t* x, const std::uint64_t* y) const noexcept {
  Dot(r, x, y, 1);
}

void TGF2NFlatField::Sqr(std::uint64_t* r, const std::uint64_t* x) const noexcept {
  std::uint64_t acc[2 * MaxLimbs];
  spread_(acc, x, limbs_);
  Reduce(acc);
  std::memcpy(r, acc, static_cast<std::size_t>(limbs_) * 8);
}

void TGF2NFlatField::MulAcc(std::uint64_t* acc, const std::uint64_t* x, const std::uint64_t* y) const noexcept {
  std::uint64_t t[2 * MaxLimbs];
  dot_(t, x, y, 1);
  for (int i = 0; i < 2 * limbs_; ++i) acc[i] ^= t[i];
}

void TGF2NFlatField::ReduceWide(std::uint64_t* r, const std::uint64_t* acc) const noexcept {
  std::uint64_t t[2 * MaxLimbs];
  std::memcpy(t, acc, static_cast<std::size_t>(2 * limbs_) * 8);
  Reduce(t);
  std::memcpy(r, t, static_cast<std::size_t>(limbs_) * 8);
}

bool GF2NWideKernelsActive() noexcept {
  return GF2CpuFeatures().wideClmul && WideWanted().load(std::memory_order_relaxed);
}

bool GF2NUseWideKernels(bool use) noexcept {
  WideWanted().store(use, std::memory_order_relaxed);
  return GF2NWideKernelsActive();
}

}  // namespace rara
