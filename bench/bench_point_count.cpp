// Point counting at 163, 283, 409 and 571 bits beside PARI/GP's ellcard on
// the same curves in the same run. Ours is Google Benchmark's CPU time; gp's
// is the median of its own CPU clock (getabstime) over several counts, each
// on a fresh ellinit so that no cached order is reused.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gmp.h>

#include "bench/gp_pipeline.h"
#include "curves/ec_point_count.h"
#include "integers/random.h"
#include "padic/agm_trace.h"
#include "padic/zq_kernels.h"

namespace rara {
namespace {

void SetPoly(TGF2Poly& p, int n) {
  switch (n) {
    case 163:
      GF2SetDegs(p, {163, 7, 6, 3, 0});
      break;
    case 283:
      GF2SetDegs(p, {283, 12, 7, 5, 0});
      break;
    case 409:
      GF2SetDegs(p, {409, 87, 0});
      break;
    default:
      GF2SetDegs(p, {571, 10, 5, 2, 0});
      break;
  }
}

std::string Hex(const TGF2Poly& p) {
  std::string s = "0x";
  char buf[16];
  for (std::int32_t i = p.Count() - 1; i >= 0; --i) {
    std::snprintf(buf, sizeof buf, i == p.Count() - 1 ? "%x" : "%08x", p.Words()[i]);
    s += buf;
  }
  return s;
}

struct TBenchCurve {
  TGF2N Field;
  TGF2Poly A, B;
};

// The same curve for every run: A = 1, B from a fixed seed.
void MakeCurve(TBenchCurve& c, int n) {
  TGF2Poly p;
  SetPoly(p, n);
  c.Field.SetField(p, btStandard, false);
  const std::uint32_t seed = 0x5EED0000u + static_cast<std::uint32_t>(n);
  RuvSeed(&seed, sizeof seed);
  c.Field.Set1(c.A);
  do c.Field.Rnd(c.B);
  while (c.B.IsZero());
}

double GpMedianMs(const TBenchCurve& c, int reps) {
  const std::string script = "g=ffgen(Mod(1,2)*Pol(binary(" + Hex(c.Field.FieldPoly()) +
                             ")),'g);e(n)=subst(Pol(binary(n)),'x,g);\n"
                             "b=e(" +
                             Hex(c.B) + ");v=vector(" + std::to_string(reps) +
                             ",i,my(t0=getabstime(),E=ellinit([1,1,0,0,b],g));ellcard(E);getabstime()-t0);\n"
                             "print(vecsort(v)[(#v+1)\\2]);\n";
  double ms = -1;
  std::sscanf(bench::Gp(script).c_str(), "%lf", &ms);
  return ms;
}

void BM_ECPointCount(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TBenchCurve c;
  MakeCurve(c, n);
  TInteger count;
  for (auto _ : state) {
    ECPointCount(count, c.Field, c.A, c.B);
    benchmark::DoNotOptimize(count);
  }
  static std::map<int, double> gpMs;
  if (!gpMs.count(n)) gpMs[n] = GpMedianMs(c, n >= 409 ? 5 : 9);
  state.counters["gp_ellcard_ms"] = gpMs[n];
}
BENCHMARK(BM_ECPointCount)
    ->Arg(163)
    ->Arg(283)
    ->Arg(409)
    ->Arg(571)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The two lifts beside each other about where they cross (AGMNewtonFrom):
// the trace modulo 2^(N/2 + 4 − d), d the bits the count leaves to its
// search. Arguments: N (163, 200 or 283), then 0 for the sequential AGM and
// 1 for Newton's lift.
void BM_AGMLift(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TGF2Poly p;
  if (n == 200)
    GF2SetDegs(p, {200, 5, 3, 2, 0});
  else
    SetPoly(p, n);
  TGF2N field;
  field.SetField(p, btStandard, true);
  const std::uint32_t seed = 0x5EED0000u + static_cast<std::uint32_t>(n);
  RuvSeed(&seed, sizeof seed);
  TGF2Poly b;
  do field.Rnd(b);
  while (b.IsZero());
  const int d = n >= AGMNewtonFrom ? 16 : std::min(22, 12 + n / 25);
  const TAGMLift lift = state.range(1) != 0 ? TAGMLift::Newton : TAGMLift::Sequential;
  TInteger t;
  for (auto _ : state) {
    AGMTraceMod(t, n / 2 + 4 - d, p, b, lift);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_AGMLift)
    ->ArgsProduct({{163, 200, 283}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// One product of two polynomials of 571 coefficients modulo 2^(64w), the
// kernel under every step of the lift, beside GMP: the same product by
// Kronecker substitution, as PARI/GP multiplies such polynomials (each
// coefficient in a slot of 128w + 10 bits, one mpn_mul, the low w words of
// each slot read back).
std::vector<std::uint64_t> RandomWords(std::size_t n) {
  std::vector<std::uint64_t> v(n);
  std::uint64_t s = 0x9E3779B97F4A7C15ull;
  for (auto& x : v) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    x = s;
  }
  return v;
}

constexpr std::size_t ProductN = 571;

void BM_ZqPolyMul(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const auto a = RandomWords(ProductN * w), b = RandomWords(ProductN * w + 1);
  std::vector<std::uint64_t> r(2 * ProductN * w), t(zq::MulScratchWords(ProductN, w));
  for (auto _ : state) {
    zq::PolyMul(r.data(), a.data(), b.data(), ProductN, w, t.data());
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_ZqPolyMul)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// The same with the second operand of wb words (the root in the lift).
void BM_ZqPolyMulShort(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), wb = static_cast<int>(state.range(1));
  const auto a = RandomWords(ProductN * w);
  auto b = RandomWords(ProductN * w + 1);
  for (std::size_t i = 0; i < ProductN; ++i) {
    for (int j = wb; j < w; ++j) b[i * w + j] = 0;
    b[i * w + wb - 1] >>= 8;
  }
  std::vector<std::uint64_t> r(2 * ProductN * w), t(zq::MulScratchWords(ProductN, w));
  for (auto _ : state) {
    zq::PolyMulShort(r.data(), a.data(), b.data(), ProductN, w, wb, t.data());
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_ZqPolyMulShort)
    ->Args({2, 1})
    ->Args({3, 2})
    ->Args({4, 2})
    ->Args({4, 3})
    ->Args({5, 3})
    ->Unit(benchmark::kMicrosecond);

// W words of a at bit offset 'bit' of the limb array r (OR-ed in).
void PutBits(mp_limb_t* r, std::size_t bit, const std::uint64_t* a, int w) {
  const std::size_t q = bit / 64;
  const int s = static_cast<int>(bit % 64);
  for (int j = 0; j < w; ++j) {
    r[q + j] |= a[j] << s;
    if (s != 0) r[q + j + 1] |= a[j] >> (64 - s);
  }
}

// W words from bit offset 'bit' of r.
void GetBits(std::uint64_t* a, const mp_limb_t* r, std::size_t bit, int w) {
  const std::size_t q = bit / 64;
  const int s = static_cast<int>(bit % 64);
  for (int j = 0; j < w; ++j) a[j] = s == 0 ? r[q + j] : (r[q + j] >> s) | (r[q + j + 1] << (64 - s));
}

void BM_ZqPolyMulGmpKronecker(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const auto a = RandomWords(ProductN * w), b = RandomWords(ProductN * w + 1);
  // Slots of 128w + 10 bits hold a sum of N products of two coefficients.
  const std::size_t slot = 128 * static_cast<std::size_t>(w) + 10;
  const std::size_t len = (ProductN * slot + 63) / 64 + 1;
  std::vector<mp_limb_t> pa(len), pb(len), pr(2 * len + 1);
  std::vector<std::uint64_t> r(2 * ProductN * w);
  for (auto _ : state) {
    std::fill(pa.begin(), pa.end(), 0);
    std::fill(pb.begin(), pb.end(), 0);
    for (std::size_t i = 0; i < ProductN; ++i) {
      PutBits(pa.data(), i * slot, a.data() + i * w, w);
      PutBits(pb.data(), i * slot, b.data() + i * w, w);
    }
    mpn_mul(pr.data(), pa.data(), len, pb.data(), len);
    for (std::size_t i = 0; i + 1 < 2 * ProductN; ++i) GetBits(r.data() + i * w, pr.data(), i * slot, w);
    benchmark::DoNotOptimize(r.data());
  }
  // The peer must compute the same product.
  std::vector<std::uint64_t> ours(2 * ProductN * w), t(zq::MulScratchWords(ProductN, w));
  zq::PolyMul(ours.data(), a.data(), b.data(), ProductN, w, t.data());
  if (!std::equal(r.begin(), r.begin() + (2 * ProductN - 1) * w, ours.begin()))
    state.SkipWithError("the Kronecker product differs");
}
BENCHMARK(BM_ZqPolyMulGmpKronecker)->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rara
