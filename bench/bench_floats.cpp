// Floating point against MPFR/MPC in the same run, at 352, 1,024 and 4,096
// bits: product, exp, log, sin/cos, complex exp, and pi (computed afresh and
// from the cache).
#include <benchmark/benchmark.h>
#include <mpc.h>
#include <mpfr.h>

#include <cstdint>

#include "floats/float_internal.h"
#include "floats/floats.h"

namespace {

using namespace rara;

// A fixed argument near 0.81 with a full mantissa, the same for both sides.
void MakeArgument(TReal& a) {
  XSet(a, 7, 10);
  TReal t;
  XSet(t, 1, 3);
  XMul(t, t);
  XAdd(a, t);  // 0.7 + 1/9
}

// The complex argument: about -0.81·3 + 0.81i, the shape of the q-series
// exponentials (negative real part, bounded angle).
void MakeComplexArgument(TComplex& z) {
  MakeArgument(z.Re());
  float_detail::MulInt64(z.Re(), -3, "bench");
  MakeArgument(z.Im());
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

// ---- pi ----

void BM_RaraPiFresh(benchmark::State& state) {
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

void BM_MpfrPiFresh(benchmark::State& state) {
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

void BM_RaraPiCached(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TReal pi;
  XPi(pi);
  for (auto _ : state) {
    XPi(pi);
    benchmark::DoNotOptimize(pi);
  }
}

void BM_MpfrPiCached(benchmark::State& state) {
  const auto bits = static_cast<mpfr_prec_t>(state.range(0));
  mpfr_t pi;
  mpfr_init2(pi, bits);
  mpfr_const_pi(pi, MPFR_RNDZ);
  for (auto _ : state) {
    mpfr_const_pi(pi, MPFR_RNDZ);
    benchmark::DoNotOptimize(pi);
  }
  mpfr_clear(pi);
}

// ---- product: two per iteration, by x and by 1/x, so the value stays put ----

void BM_RaraMul(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TReal x, xi, y;
  MakeArgument(x);
  XAssign(xi, x);
  XInv(xi);
  XAssign(y, x);
  for (auto _ : state) {
    XMul(y, x);
    XMul(y, xi);
  }
  benchmark::DoNotOptimize(y);
}

void BM_MpfrMul(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TReal a;
  MakeArgument(a);
  mpfr_t x, xi, y;
  mpfr_inits2(bits, x, xi, y, static_cast<mpfr_ptr>(nullptr));
  SetMpfr(x, a);
  mpfr_ui_div(xi, 1, x, MPFR_RNDZ);
  mpfr_set(y, x, MPFR_RNDZ);
  for (auto _ : state) {
    mpfr_mul(y, y, x, MPFR_RNDZ);
    mpfr_mul(y, y, xi, MPFR_RNDZ);
  }
  benchmark::DoNotOptimize(y);
  mpfr_clears(x, xi, y, static_cast<mpfr_ptr>(nullptr));
}

// ---- exp, log, sin/cos of a real ----

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

// ---- complex exp ----

void BM_RaraComplexExp(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TComplex z, w;
  MakeComplexArgument(z);
  TReal pi;
  XPi(pi);  // fill the pi cache outside the timing
  for (auto _ : state) {
    XAssign(w, z);
    XExp(w);
  }
}

void BM_MpcExp(benchmark::State& state) {
  const auto bits = static_cast<std::int32_t>(state.range(0));
  TPrecisionGuard guard;
  TFloat::SetPrecision(bits);
  TComplex a;
  MakeComplexArgument(a);
  mpc_t z, w;
  mpc_init2(z, bits);
  mpc_init2(w, bits);
  SetMpfr(mpc_realref(z), a.Re());
  SetMpfr(mpc_imagref(z), a.Im());
  for (auto _ : state) mpc_exp(w, z, MPC_RNDZZ);
  mpc_clear(z);
  mpc_clear(w);
}

#define RARA_SIZES ->Arg(352)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond)

BENCHMARK(BM_RaraMul) RARA_SIZES;
BENCHMARK(BM_MpfrMul) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Rara, kExp) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Mpfr, kExp) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Rara, kLog) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Mpfr, kLog) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Rara, kSinCos) RARA_SIZES;
BENCHMARK_TEMPLATE(BM_Mpfr, kSinCos) RARA_SIZES;
BENCHMARK(BM_RaraComplexExp) RARA_SIZES;
BENCHMARK(BM_MpcExp) RARA_SIZES;
BENCHMARK(BM_RaraPiFresh) RARA_SIZES;
BENCHMARK(BM_MpfrPiFresh) RARA_SIZES;
BENCHMARK(BM_RaraPiCached) RARA_SIZES;
BENCHMARK(BM_MpfrPiCached) RARA_SIZES;

}  // namespace
