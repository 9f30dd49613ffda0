// Integer division (2048/1024 and 8192/4096 bits) beside GMP's mpz_tdiv_q,
// and the decimal text of a 10,000-digit number beside mpz_get_str. IDiv
// works in place, so each round first copies the dividend back (IAssign, a
// linear cost included in the figures); GMP's round does the same copy.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <string>

#include "bench/bench_int_util.h"
#include "integers/integers.h"
#include "integers/random.h"

namespace {

using rara::TInteger;

using rara::bench::RandomBits;
using rara::bench::ToMpz;

void BM_IDiv(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  TInteger u, v, x;
  RandomBits(u, bits);
  RandomBits(v, bits / 2);
  for (auto _ : state) {
    rara::IAssign(x, u);
    benchmark::DoNotOptimize(rara::IDiv(x, v));
    benchmark::DoNotOptimize(x.Limbs());
  }
}

void BM_GmpTdivQ(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  TInteger u, v;
  RandomBits(u, bits);
  RandomBits(v, bits / 2);
  mpz_t mu, mv, x, q;
  mpz_inits(mu, mv, x, q, nullptr);
  ToMpz(mu, u);
  ToMpz(mv, v);
  for (auto _ : state) {
    mpz_set(x, mu);
    mpz_tdiv_q(q, x, mv);
    benchmark::DoNotOptimize(q->_mp_d);
  }
  mpz_clears(mu, mv, x, q, nullptr);
}

// A 10,000-digit number: 10^9999 plus random low digits.
void TenThousandDigits(mpz_t out) {
  mpz_t r;
  mpz_init(r);
  mpz_ui_pow_ui(out, 10, 9999);
  TInteger low;
  RandomBits(low, 32000);
  ToMpz(r, low);
  mpz_add(out, out, r);
  mpz_clear(r);
}

void BM_IStr10(benchmark::State& state) {
  mpz_t m;
  mpz_init(m);
  TenThousandDigits(m);
  TInteger a;
  a.SetSize(static_cast<std::int32_t>((mpz_sizeinbase(m, 2) + 31) / 32), false);
  size_t count = 0;
  mpz_export(a.Limbs(), &count, -1, 4, 0, 0, m);
  a.Normalize();
  mpz_clear(m);
  std::string s;
  for (auto _ : state) {
    rara::IStr(a, 10, 0, false, false, s);
    benchmark::DoNotOptimize(s.data());
  }
  state.counters["digits"] = static_cast<double>(s.size());
}

void BM_GmpGetStr10(benchmark::State& state) {
  mpz_t m;
  mpz_init(m);
  TenThousandDigits(m);
  std::string s(mpz_sizeinbase(m, 10) + 2, '\0');
  for (auto _ : state) {
    mpz_get_str(s.data(), 10, m);
    benchmark::DoNotOptimize(s.data());
  }
  mpz_clear(m);
}

}  // namespace

BENCHMARK(BM_IDiv)->Arg(2048)->Arg(8192);
BENCHMARK(BM_GmpTdivQ)->Arg(2048)->Arg(8192);
BENCHMARK(BM_IStr10);
BENCHMARK(BM_GmpGetStr10);
