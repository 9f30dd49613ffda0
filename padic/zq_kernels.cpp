// Kernels over integers modulo 2^(64w): one template per word count, so that
// the coefficient loops unroll; the public routines dispatch on w. Products
// of polynomials go by Karatsuba down to a schoolbook base case that sums
// each output coefficient in 128-bit column accumulators and carries once.
#include "padic/zq_kernels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

#include "integers/words.h"

namespace rara::zq {

namespace {

using words::u128;
using words::u64;

template <int W>
struct TOps {
  static void Add(u64* r, const u64* a, const u64* b) noexcept {
    if constexpr (W == 1) {
      r[0] = a[0] + b[0];  // plain, so that loops over coefficients vectorise
      return;
    }
    u64 c = 0;
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) r[i] = words::AddCarry(a[i], b[i], c);
  }
  static void Sub(u64* r, const u64* a, const u64* b) noexcept {
    if constexpr (W == 1) {
      r[0] = a[0] - b[0];
      return;
    }
    u64 br = 0;
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) r[i] = words::SubBorrow(a[i], b[i], br);
  }
  // Column sums of a truncated product: 128-bit sums below the top word,
  // and the top word modulo 2^64, where carries out of it do not count.
  struct TAcc {
    u128 Low[W > 1 ? W - 1 : 1] = {};
    u64 Top = 0;
    void Double() noexcept {
      for (int i = 0; i + 1 < W; ++i) Low[i] += Low[i];
      Top += Top;
    }
  };
  // Acc += A·B, truncated to W words, B's words from WB on being zero.
  template <int WB = W>
  static void MulAcc(TAcc& acc, const u64* a, const u64* b) noexcept {
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) {
#pragma GCC unroll 8
      for (int j = 0; j < W - i; ++j) {
        if (j >= WB) {
          // B's word j is zero.
        } else if (i + j + 1 < W) {
          const u128 p = static_cast<u128>(a[i]) * b[j];
          acc.Low[i + j] += static_cast<u64>(p);
          if (i + j + 2 < W)
            acc.Low[i + j + 1] += static_cast<u64>(p >> 64);
          else
            acc.Top += static_cast<u64>(p >> 64);
        } else {
          acc.Top += a[i] * b[j];
        }
      }
    }
  }
  static void Flush(u64* r, const TAcc& acc) noexcept {
    u128 carry = 0;
#pragma GCC unroll 8
    for (int i = 0; i + 1 < W; ++i) {
      const u128 v = acc.Low[i] + carry;
      r[i] = static_cast<u64>(v);
      carry = v >> 64;
    }
    r[W - 1] = acc.Top + static_cast<u64>(carry);
  }
  static void Mul(u64* r, const u64* a, const u64* b) noexcept {
    TAcc acc;
    MulAcc(acc, a, b);
    Flush(r, acc);
  }
};

// Base-case sizes of the Karatsuba recursion, by coefficient width.
constexpr std::size_t Cutoff(int w) noexcept { return w == 1 ? 16 : (w == 2 ? 12 : 8); }

template <int W>
void School(u64* r, const u64* a, const u64* b, std::size_t n) noexcept {
  const bool square = a == b;
  for (std::size_t k = 0; k + 1 < 2 * n; ++k) {
    const std::size_t lo = k >= n ? k - n + 1 : 0;
    const std::size_t hi = std::min(k, n - 1);
    if constexpr (W == 1) {
      u64 s = 0;
      if (square) {
        // Each cross product twice, the diagonal once.
        std::size_t i = lo, j = hi;
        for (; i < j; ++i, --j) s += a[i] * a[j];
        s += s;
        if (i == j) s += a[i] * a[i];
      } else {
        for (std::size_t i = lo; i <= hi; ++i) s += a[i] * b[k - i];
      }
      r[k] = s;
    } else {
      typename TOps<W>::TAcc acc;
      if (square) {
        std::size_t i = lo, j = hi;
        for (; i < j; ++i, --j) TOps<W>::MulAcc(acc, a + i * W, a + j * W);
        acc.Double();
        if (i == j) TOps<W>::MulAcc(acc, a + i * W, a + i * W);
      } else {
        for (std::size_t i = lo; i <= hi; ++i) TOps<W>::MulAcc(acc, a + i * W, b + (k - i) * W);
      }
      TOps<W>::Flush(r + k * W, acc);
    }
  }
}

// One-word base cases with the size a compile-time constant: fully
// unrolled, the column sums stay in registers or on the stack, and no loop
// bound is tested per product (about twice the speed of the loops above).
template <int N>
void SchoolFixed1(u64* r, const u64* a, const u64* b) noexcept {
  u64 acc[2 * N - 1] = {};
  if (a == b) {
#pragma GCC unroll 64
    for (int i = 0; i < N; ++i)
#pragma GCC unroll 64
      for (int j = i + 1; j < N; ++j) acc[i + j] += a[i] * a[j];
#pragma GCC unroll 128
    for (int k = 0; k < 2 * N - 1; ++k) acc[k] += acc[k];
#pragma GCC unroll 64
    for (int i = 0; i < N; ++i) acc[2 * i] += a[i] * a[i];
  } else {
#pragma GCC unroll 64
    for (int i = 0; i < N; ++i)
#pragma GCC unroll 64
      for (int j = 0; j < N; ++j) acc[i + j] += a[i] * b[j];
  }
#pragma GCC unroll 128
  for (int k = 0; k < 2 * N - 1; ++k) r[k] = acc[k];
}

// The same for several words: each column summed in its own accumulators,
// the loops over the column unrolled. B's coefficients have WB <= W words.
template <int W, int WB, int N>
void SchoolFixedW(u64* r, const u64* a, const u64* b) noexcept {
  const bool square = WB == W && a == b;
#pragma GCC unroll 128
  for (int k = 0; k < 2 * N - 1; ++k) {
    const int lo = k >= N ? k - N + 1 : 0, hi = k < N - 1 ? k : N - 1;
    typename TOps<W>::TAcc acc;
    if (square) {
#pragma GCC unroll 64
      for (int i = lo; i < hi - (i - lo); ++i) TOps<W>::MulAcc(acc, a + i * W, a + (lo + hi - i) * W);
      acc.Double();
      if ((lo + hi) % 2 == 0) TOps<W>::MulAcc(acc, a + (lo + hi) / 2 * W, a + (lo + hi) / 2 * W);
    } else {
#pragma GCC unroll 64
      for (int i = lo; i <= hi; ++i) TOps<W>::template MulAcc<WB>(acc, a + i * W, b + (k - i) * W);
    }
    TOps<W>::Flush(r + k * W, acc);
  }
}

template <int W, int WB, int N>
void SchoolFixed(u64* r, const u64* a, const u64* b) noexcept {
  if constexpr (W == 1)
    SchoolFixed1<N>(r, a, b);
  else
    SchoolFixedW<W, WB, N>(r, a, b);
}

using TSchoolFixed = void (*)(u64*, const u64*, const u64*) noexcept;

template <int W, int WB, std::size_t... I>
constexpr std::array<TSchoolFixed, sizeof...(I)> SchoolTable(std::index_sequence<I...>) noexcept {
  return {&SchoolFixed<W, WB, static_cast<int>(I) + 1>...};
}

// SchoolFixed<W, WB, n> at entry n − 1, n from 1 to the cutoff of W words.
template <int W, int WB>
constexpr auto SchoolSized = SchoolTable<W, WB>(std::make_index_sequence<Cutoff(W)>{});

// Word counts with the sized base cases; wider ones, rare, keep the loops.
constexpr int SizedUpTo = 5;

// R := A·B over coefficients of W words, B's coefficients (and the sums of
// them the recursion forms) below 2^(64·WB).
template <int W, int WB = W>
void Karatsuba(u64* r, const u64* a, const u64* b, std::size_t n, u64* t) noexcept {
  if (n <= Cutoff(W)) {
    if constexpr (W <= SizedUpTo)
      SchoolSized<W, WB>[n - 1](r, a, b);
    else
      School<W>(r, a, b, n);
    return;
  }
  const std::size_t h = (n + 1) / 2;  // low half
  const std::size_t l = n - h;        // high half, l <= h
  const bool square = WB == W && a == b;
  // r[0, 2h−1) := a0·b0; r[2h−1] := 0; r[2h, 2n−1) := a1·b1.
  Karatsuba<W, WB>(r, a, b, h, t);
  std::memset(r + (2 * h - 1) * W, 0, W * sizeof(u64));
  Karatsuba<W, WB>(r + 2 * h * W, a + h * W, b + h * W, l, t);
  // m := (a0 + a1)(b0 + b1) − a0·b0 − a1·b1, added at x^h.
  u64* sa = t;
  u64* sb = square ? sa : t + h * W;
  u64* m = t + 2 * h * W;
  u64* next = m + (2 * h - 1) * W;
  for (std::size_t i = 0; i < l; ++i) TOps<W>::Add(sa + i * W, a + i * W, a + (h + i) * W);
  if (l < h) std::memcpy(sa + l * W, a + l * W, W * sizeof(u64));
  if (!square) {
    for (std::size_t i = 0; i < l; ++i) TOps<W>::Add(sb + i * W, b + i * W, b + (h + i) * W);
    if (l < h) std::memcpy(sb + l * W, b + l * W, W * sizeof(u64));
  }
  Karatsuba<W, WB>(m, sa, sb, h, next);
  // Two passes rather than three: m −= a0·b0 + a1·b1, then r += m at x^h
  // (one pass cannot do both: r's low product is overwritten as it is read).
  for (std::size_t i = 0; i + 1 < 2 * l; ++i) {
    TOps<W>::Sub(m + i * W, m + i * W, r + i * W);
    TOps<W>::Sub(m + i * W, m + i * W, r + (2 * h + i) * W);
  }
  for (std::size_t i = 2 * l - 1; i + 1 < 2 * h; ++i) TOps<W>::Sub(m + i * W, m + i * W, r + i * W);
  for (std::size_t i = 0; i + 1 < 2 * h; ++i) TOps<W>::Add(r + (h + i) * W, r + (h + i) * W, m + i * W);
}

template <int W>
void ReduceSparse(u64* r, std::size_t n, const std::int32_t* e, int ne) noexcept {
  for (std::size_t i = 2 * n - 2; i >= n; --i) {
    const u64* c = r + i * W;
    for (int j = 0; j < ne; ++j) {
      u64* d = r + (i - n + static_cast<std::size_t>(e[j])) * W;
      TOps<W>::Sub(d, d, c);
    }
  }
}

// Calls f with std::integral_constant<int, w>, so that the kernels run with
// the word count as a compile-time constant.
template <class F>
void Dispatch(int w, F&& f) {
  switch (w) {
    case 1: f(std::integral_constant<int, 1>{}); break;
    case 2: f(std::integral_constant<int, 2>{}); break;
    case 3: f(std::integral_constant<int, 3>{}); break;
    case 4: f(std::integral_constant<int, 4>{}); break;
    case 5: f(std::integral_constant<int, 5>{}); break;
    case 6: f(std::integral_constant<int, 6>{}); break;
    case 7: f(std::integral_constant<int, 7>{}); break;
    default: f(std::integral_constant<int, 8>{}); break;
  }
}

}  // namespace

void IntAdd(u64* r, const u64* a, const u64* b, int w) noexcept {
  Dispatch(w, [&](auto k) { TOps<decltype(k)::value>::Add(r, a, b); });
}
void IntSub(u64* r, const u64* a, const u64* b, int w) noexcept {
  Dispatch(w, [&](auto k) { TOps<decltype(k)::value>::Sub(r, a, b); });
}
void IntMul(u64* r, const u64* a, const u64* b, int w) noexcept {
  Dispatch(w, [&](auto k) { TOps<decltype(k)::value>::Mul(r, a, b); });
}

void IntShr(u64* r, const u64* a, int s, int w) noexcept {
  const int q = s >> 6, b = s & 63;
  for (int i = 0; i < w; ++i) {
    const int k = i + q;
    u64 v = k < w ? a[k] >> b : 0;
    if (b != 0 && k + 1 < w) v |= a[k + 1] << (64 - b);
    r[i] = v;
  }
}

void IntShl(u64* r, const u64* a, int s, int w) noexcept {
  const int q = s >> 6, b = s & 63;
  for (int i = w - 1; i >= 0; --i) {
    const int k = i - q;
    u64 v = k >= 0 ? a[k] << b : 0;
    if (b != 0 && k - 1 >= 0) v |= a[k - 1] >> (64 - b);
    r[i] = v;
  }
}

void IntInvOdd(u64* r, const u64* a, int w) noexcept {
  // x := x·(2 − a·x) doubles the correct low bits; a·a ≡ 1 mod 8 starts at 3.
  u64 x[MaxWords], t[MaxWords], two[MaxWords] = {2};
  std::memcpy(x, a, w * sizeof(u64));
  for (int bits = 3; bits < 64 * w; bits *= 2) {
    IntMul(t, a, x, w);
    IntSub(t, two, t, w);
    IntMul(x, x, t, w);
  }
  std::memcpy(r, x, w * sizeof(u64));
}

void PolyMul(u64* r, const u64* a, const u64* b, std::size_t n, int w, u64* t) noexcept {
  Dispatch(w, [&](auto k) { Karatsuba<decltype(k)::value>(r, a, b, n, t); });
}

void PolyMulShort(u64* r, const u64* a, const u64* b, std::size_t n, int w, int wb, u64* t) noexcept {
  // The pairs the lift uses; any other takes the full product.
  const int key = w * 8 + wb;
  switch (key) {
    case 2 * 8 + 1: Karatsuba<2, 1>(r, a, b, n, t); break;
    case 3 * 8 + 1: Karatsuba<3, 1>(r, a, b, n, t); break;
    case 3 * 8 + 2: Karatsuba<3, 2>(r, a, b, n, t); break;
    case 4 * 8 + 2: Karatsuba<4, 2>(r, a, b, n, t); break;
    case 4 * 8 + 3: Karatsuba<4, 3>(r, a, b, n, t); break;
    case 5 * 8 + 3: Karatsuba<5, 3>(r, a, b, n, t); break;
    case 5 * 8 + 4: Karatsuba<5, 4>(r, a, b, n, t); break;
    default: PolyMul(r, a, b, n, w, t);
  }
}

std::size_t MulScratchWords(std::size_t n, int w) noexcept {
  std::size_t total = 0;
  while (n > Cutoff(w)) {
    const std::size_t h = (n + 1) / 2;
    total += (4 * h - 1) * static_cast<std::size_t>(w);
    n = h;
  }
  return total;
}

void PolyReduceSparse(u64* r, std::size_t n, const std::int32_t* e, int ne, int w) noexcept {
  if (n < 2) return;
  Dispatch(w, [&](auto k) { ReduceSparse<decltype(k)::value>(r, n, e, ne); });
}

}  // namespace rara::zq
