// Integer multiplication and squaring beside GMP's mpz_mul, at 256 to 16384
// bits. Ours works in place, so each round first copies the operand back
// (IAssign, a small linear cost that is included in the figures); the
// operand is given the product's capacity so that the copy does not reallocate.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include "bench/bench_int_util.h"
#include "integers/integers.h"
#include "integers/random.h"

namespace {

using rara::TInteger;

using rara::bench::RandomBits;
using rara::bench::ToMpz;

void BM_IMul(benchmark::State& state) {
  int bits = static_cast<int>(state.range(0));
  TInteger a, b, x;
  RandomBits(a, bits);
  RandomBits(b, bits);
  a.SetMem(2 * a.Size());  // the product's capacity, so IAssign only copies
  for (auto _ : state) {
    rara::IAssign(x, a);
    rara::IMul(x, b);
    benchmark::DoNotOptimize(x.Limbs());
  }
}

void BM_ISqr(benchmark::State& state) {
  int bits = static_cast<int>(state.range(0));
  TInteger a, x;
  RandomBits(a, bits);
  a.SetMem(2 * a.Size());
  for (auto _ : state) {
    rara::IAssign(x, a);
    rara::ISqr(x);
    benchmark::DoNotOptimize(x.Limbs());
  }
}

void BM_GmpMul(benchmark::State& state) {
  int bits = static_cast<int>(state.range(0));
  TInteger a, b;
  RandomBits(a, bits);
  RandomBits(b, bits);
  mpz_t ma, mb, r;
  mpz_inits(ma, mb, r, nullptr);
  ToMpz(ma, a);
  ToMpz(mb, b);
  for (auto _ : state) {
    mpz_mul(r, ma, mb);
    benchmark::DoNotOptimize(r->_mp_d);
  }
  mpz_clears(ma, mb, r, nullptr);
}

void BM_GmpSqr(benchmark::State& state) {
  int bits = static_cast<int>(state.range(0));
  TInteger a;
  RandomBits(a, bits);
  mpz_t ma, r;
  mpz_inits(ma, r, nullptr);
  ToMpz(ma, a);
  for (auto _ : state) {
    mpz_mul(r, ma, ma);
    benchmark::DoNotOptimize(r->_mp_d);
  }
  mpz_clears(ma, r, nullptr);
}

#define RARA_SIZES ->Arg(256)->Arg(1024)->Arg(4096)->Arg(16384)
BENCHMARK(BM_IMul) RARA_SIZES;
BENCHMARK(BM_GmpMul) RARA_SIZES;
BENCHMARK(BM_ISqr) RARA_SIZES;
BENCHMARK(BM_GmpSqr) RARA_SIZES;

}  // namespace
