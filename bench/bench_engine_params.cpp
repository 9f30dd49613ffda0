// The CM parameter search and the Weber polynomial modulo 2 for the field
// degrees of the figures (defaults: K at most 15 bits, bound 32767, D from 0,
// ratio 1.0), beside a PARI/GP pipeline doing the same: the same search loop
// in gp with qfbclassno and qfbsolve, and polclass(-D, 1) modulo 2. The gp
// figures are gp's own time for the work (getabstime), without its start-up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/gp_pipeline.h"
#include "engine/cm_search.h"
#include "engine/weber.h"
#include "gf2/gf2_poly.h"

namespace rara {
namespace {

using bench::Gp;
using bench::GpSearch;

void BM_Search(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  std::int32_t d = 0, h = 0, progress = 0;
  for (auto _ : state) {
    d = 0;
    std::string kFactors;
    TInteger k, r;
    GetGF2CurveParams(d, h, kFactors, k, r, n, 15, 32767, false, progress);
    benchmark::DoNotOptimize(r);
  }
  state.counters["D"] = d;
  state.counters["h"] = h;
}

void BM_Weber(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  std::int32_t d = 0, h = 0, progress = 0;
  std::string kFactors;
  TInteger k, r;
  GetGF2CurveParams(d, h, kFactors, k, r, n, 15, 32767, false, progress);
  for (auto _ : state) {
    TGF2Poly w;
    GetWeberPolyMod2(w, d, h, progress, 1.0L);
    benchmark::DoNotOptimize(w);
  }
  state.counters["D"] = d;
  state.counters["h"] = h;
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

// gp's time per step in milliseconds, taken over `reps` runs in one gp process.
void BM_GpPipeline(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const int reps = 3;
  double searchMs = 0, polclassMs = 0;
  for (auto _ : state) {
    const std::string script = std::string(GpSearch) + "my(t0=getabstime(),r,w);for(i=1," +
                               std::to_string(reps) + ",r=cmsearch(" + std::to_string(n) +
                               ",0,15,32767,0));my(t1=getabstime());for(i=1," +
                               std::to_string(reps) +
                               ",w=polclass(-r[1],1)*Mod(1,2));print((t1-t0)/" +
                               std::to_string(reps) + ".,\" \",(getabstime()-t1)/" +
                               std::to_string(reps) + ".);\n";
    const std::string out = Gp(script);
    std::sscanf(out.c_str(), "%lf %lf", &searchMs, &polclassMs);
  }
  state.counters["gp_search_ms"] = searchMs;
  state.counters["gp_polclass_ms"] = polclassMs;
}

BENCHMARK(BM_Search)->Arg(163)->Arg(233)->Arg(283)->Arg(360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Weber)->Arg(163)->Arg(233)->Arg(283)->Arg(360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GpPipeline)
    ->Arg(163)->Arg(233)->Arg(283)->Arg(360)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rara
