// Floating point against MPFR in the same run: pi at about 3,000 and 30,000
// bits, exp, log and sin/cos at 1,000 and 4,000 bits.
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cstdint>

#include "floats/float_internal.h"
#include "floats/floats.h"

namespace {

using namespace rara;

// A fixed argument near 0.7 with a full mantissa, the same for both sides.
void MakeArgument(TReal& a) {
  XSet(a, 7, 10);
  TReal t;
  XSet(t, 1, 3);
  XMul(t, t);
  XAdd(a, t);  // 0.7 + 1/9
}

void SetMpfr(mpfr_t out, const TReal& a) {
  mpz_t m;
  mpz_init(m);
  const TInteger& im = a.Mantissa();
  mpz_import(m, static_cast<size_t>(im.Size()), -1, 4, 0, 0, im.Limbs());
  if (im.Negative()) mpz_neg(m, m);
  mpfr_set_z_2exp(out, m, a.Exponent(), MPFR_RNDN);
  mpz_clear(m);
}

void BM_RaraPi(benchmark::State& state) {
  // What XPi does when the cache is short: the series at P + 32 bits.
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits + TFloat::GuardBits);
  for (auto _ : state) {
    TReal pi;
    float_detail::ComputePi(pi);
    benchmark::DoNotOptimize(pi);
  }
}

void BM_MpfrPi(benchmark::State& state) {
  const auto bits = static_cast<mpfr_prec_t>(state.range(0));
  mpfr_t pi;
  mpfr_init2(pi, bits + 32);
  for (auto _ : state) {
    mpfr_free_cache();  // MPFR caches pi too
    mpfr_const_pi(pi, MPFR_RNDZ);
    benchmark::DoNotOptimize(pi);
  }
  mpfr_clear(pi);
}

enum Fn { kExp, kLog, kSinCos };

template <Fn F>
void BM_Rara(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TReal x, y, s, c;
  MakeArgument(x);
  XPi(s);  // fill the pi cache outside the timing
  for (auto _ : state) {
    if constexpr (F == kSinCos) {
      XSinCos(x, s, c);
    } else {
      XAssign(y, x);
      if constexpr (F == kExp) XExp(y); else XLog(y);
    }
  }
}

template <Fn F>
void BM_Mpfr(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TReal a;
  MakeArgument(a);
  mpfr_t x, y, c;
  mpfr_inits2(bits, x, y, c, static_cast<mpfr_ptr>(nullptr));
  SetMpfr(x, a);
  for (auto _ : state) {
    if constexpr (F == kSinCos) mpfr_sin_cos(y, c, x, MPFR_RNDZ);
    else if constexpr (F == kExp) mpfr_exp(y, x, MPFR_RNDZ);
    else mpfr_log(y, x, MPFR_RNDZ);
  }
  mpfr_clears(x, y, c, static_cast<mpfr_ptr>(nullptr));
}

BENCHMARK(BM_RaraPi)->Arg(3008)->Arg(30016)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MpfrPi)->Arg(3008)->Arg(30016)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rara, kExp)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Mpfr, kExp)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rara, kLog)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Mpfr, kLog)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Rara, kSinCos)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_Mpfr, kSinCos)->Arg(1024)->Arg(4000)->Unit(benchmark::kMicrosecond);

}  // namespace
