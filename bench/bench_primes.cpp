// Primality of a 360-bit prime beside GMP's mpz_probab_prime_p (which does
// trial division and the Baillie-PSW test for up to 24 rounds), one strong
// test beside the same test written on mpz_powm, and the prime table below
// 2^30 beside a plain odd-only sieve of Eratosthenes collecting its primes.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <cstdint>
#include <vector>

#include "integers/integers.h"
#include "integers/primes.h"

namespace {

using rara::TInteger;

// The 360-bit prime used by both sides: the next prime after 2^359 + 2^200 + 12345.
struct TPrime360 {
  mpz_t m;
  TInteger a;
  TPrime360() {
    mpz_init(m);
    mpz_ui_pow_ui(m, 2, 359);
    mpz_t t;
    mpz_init(t);
    mpz_ui_pow_ui(t, 2, 200);
    mpz_add(m, m, t);
    mpz_add_ui(m, m, 12345);
    mpz_nextprime(m, m);
    mpz_clear(t);
    std::vector<std::uint32_t> limbs((mpz_sizeinbase(m, 2) + 31) / 32);
    size_t count = 0;
    mpz_export(limbs.data(), &count, -1, 4, 0, 0, m);
    a.SetDigits(limbs.data(), static_cast<std::int64_t>(count * 4));
  }
  ~TPrime360() { mpz_clear(m); }
};

TPrime360& Prime360() {
  static TPrime360 p;
  return p;
}

void BM_IIsPrime360(benchmark::State& state) {
  const TInteger& a = Prime360().a;
  for (auto _ : state) benchmark::DoNotOptimize(rara::IIsPrime(a));
}

void BM_GmpProbabPrime360(benchmark::State& state) {
  mpz_srcptr m = Prime360().m;
  const int reps = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(mpz_probab_prime_p(m, reps));
}

void BM_ISprp360(benchmark::State& state) {
  const TInteger& a = Prime360().a;
  for (auto _ : state) benchmark::DoNotOptimize(rara::ISprp(a, 2));
}

void BM_GmpSprp360(benchmark::State& state) {
  mpz_srcptr n = Prime360().m;
  mpz_t d, x, nm1;
  mpz_inits(d, x, nm1, nullptr);
  for (auto _ : state) {
    mpz_sub_ui(nm1, n, 1);
    const mp_bitcnt_t s = mpz_scan1(nm1, 0);
    mpz_tdiv_q_2exp(d, nm1, s);
    mpz_set_ui(x, 2);
    mpz_powm(x, x, d, n);
    bool probable = mpz_cmp_ui(x, 1) == 0 || mpz_cmp(x, nm1) == 0;
    for (mp_bitcnt_t r = 1; r < s && !probable; ++r) {
      mpz_powm_ui(x, x, 2, n);
      probable = mpz_cmp(x, nm1) == 0;
    }
    benchmark::DoNotOptimize(probable);
  }
  mpz_clears(d, x, nm1, nullptr);
}

void BM_ISmallestFactor360(benchmark::State& state) {
  const TInteger& a = Prime360().a;
  for (auto _ : state) benchmark::DoNotOptimize(rara::ISmallestFactor(a));
}

void BM_SetBound2To30(benchmark::State& state) {
  for (auto _ : state) {
    rara::TPrimeList list;
    list.SetBound(0x40000000);
    benchmark::DoNotOptimize(list.Largest());
  }
}

// The sieve alone: the last prime below 2^30 by counting, without a table.
void BM_IPrimeLast(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rara::IPrime(54400028));
}

// Peer: odd-only bit sieve of Eratosthenes over the whole range, then the primes collected.
void BM_PlainSieve2To30(benchmark::State& state) {
  const std::uint32_t limit = 0x40000000;
  for (auto _ : state) {
    std::vector<bool> composite(limit / 2, false);   // index i stands for 2i + 1
    for (std::uint32_t i = 1; 2 * i * (i + 1) < limit / 2; ++i)
      if (!composite[i])
        for (std::uint32_t j = 2 * i * (i + 1); j < limit / 2; j += 2 * i + 1) composite[j] = true;
    std::vector<std::uint32_t> primes;
    primes.reserve(54400028);
    primes.push_back(2);
    for (std::uint32_t i = 1; i < limit / 2; ++i)
      if (!composite[i]) primes.push_back(2 * i + 1);
    benchmark::DoNotOptimize(primes.back());
  }
}

}  // namespace

BENCHMARK(BM_IIsPrime360);
BENCHMARK(BM_GmpProbabPrime360)->Arg(24)->Arg(26);
BENCHMARK(BM_ISprp360);
BENCHMARK(BM_GmpSprp360);
BENCHMARK(BM_ISmallestFactor360);
BENCHMARK(BM_SetBound2To30)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IPrimeLast)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainSieve2To30)->Unit(benchmark::kMillisecond)->Iterations(2);
