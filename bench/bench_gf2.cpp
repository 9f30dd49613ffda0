// Binary polynomial product and remainder at the sizes of the binary fields
// in use, on the portable and the hardware kernels, beside NTL's GF2X.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"

#ifdef RARA_HAVE_NTL
#include <NTL/GF2X.h>
#endif

namespace {

using namespace rara;

std::vector<std::uint32_t> RandomWords(int degree, std::uint32_t seed) {
  std::mt19937 g(seed);
  std::vector<std::uint32_t> w(degree / 32 + 1);
  for (auto& v : w) v = static_cast<std::uint32_t>(g());
  if (degree % 32 != 31) w.back() &= (2u << (degree % 32)) - 1;
  w.back() |= 1u << (degree % 32);
  return w;
}

void Load(TGF2Poly& p, const std::vector<std::uint32_t>& w) {
  p.Clear();
  p.SetSize(static_cast<std::int32_t>(w.size()), false);
  for (std::size_t i = 0; i < w.size(); ++i) p.Words()[i] = w[i];
  p.Normalize(true);
}

// Args: bits of each operand, kernel (0 portable, 1 hardware).
void BM_GF2Mul(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  if (state.range(1) == 1 && !GF2HardwareKernelsAvailable()) {
    state.SkipWithError("no carry-less multiply instruction");
    return;
  }
  GF2UseHardwareKernels(state.range(1) == 1);
  TGF2Poly a, b, c;
  Load(a, RandomWords(bits - 1, 1));
  Load(b, RandomWords(bits - 1, 2));
  for (auto _ : state) {
    c.Assign(a);
    GF2Mul(c, b);
    benchmark::DoNotOptimize(c.Words());
  }
  GF2UseHardwareKernels(true);
}

// Args: N, kernel. Remainder of a 2N-bit product by a degree-N polynomial.
void BM_GF2Mod(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (state.range(1) == 1 && !GF2HardwareKernelsAvailable()) {
    state.SkipWithError("no carry-less multiply instruction");
    return;
  }
  GF2UseHardwareKernels(state.range(1) == 1);
  TGF2Poly a, b, c;
  Load(a, RandomWords(2 * n - 1, 3));
  Load(b, RandomWords(n, 4));
  for (auto _ : state) {
    c.Assign(a);
    GF2Mod(c, b);
    benchmark::DoNotOptimize(c.Words());
  }
  GF2UseHardwareKernels(true);
}

void MulArgs(benchmark::internal::Benchmark* b) {
  for (int bits : {163, 283, 571, 2048, 16384})
    for (int kernel : {0, 1}) b->Args({bits, kernel});
}

void ModArgs(benchmark::internal::Benchmark* b) {
  for (int n : {163, 283})
    for (int kernel : {0, 1}) b->Args({n, kernel});
}

BENCHMARK(BM_GF2Mul)->Apply(MulArgs);
BENCHMARK(BM_GF2Mod)->Apply(ModArgs);

#ifdef RARA_HAVE_NTL

NTL::GF2X ToNtl(const std::vector<std::uint32_t>& w) {
  std::vector<unsigned char> bytes(4 * w.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(w[i / 4] >> (8 * (i % 4)));
  NTL::GF2X x;
  NTL::GF2XFromBytes(x, bytes.data(), static_cast<long>(bytes.size()));
  return x;
}

void BM_NtlMul(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  const NTL::GF2X a = ToNtl(RandomWords(bits - 1, 1)), b = ToNtl(RandomWords(bits - 1, 2));
  NTL::GF2X c;
  for (auto _ : state) {
    NTL::mul(c, a, b);
    benchmark::DoNotOptimize(&c);
  }
}

void BM_NtlRem(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const NTL::GF2X a = ToNtl(RandomWords(2 * n - 1, 3)), b = ToNtl(RandomWords(n, 4));
  NTL::GF2X r;
  for (auto _ : state) {
    NTL::rem(r, a, b);
    benchmark::DoNotOptimize(&r);
  }
}

BENCHMARK(BM_NtlMul)->Arg(163)->Arg(283)->Arg(571)->Arg(2048)->Arg(16384);
BENCHMARK(BM_NtlRem)->Arg(163)->Arg(283);

#endif

}  // namespace
