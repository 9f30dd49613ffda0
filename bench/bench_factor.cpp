// Factoring and irreducibility over GF(2) beside PARI/GP. GF2Factor runs on
// random polynomials of degree 163, 360, 1000 and 4000; GF2IsIrreducible on
// the irreducible field polynomials of degree 163, 283 and 571 (the worst
// case: every round runs). The peer is gp's factormod / polisirreducible on
// the same polynomials, timed inside one gp run with gettime() over enough
// repetitions; its time per call is reported as the manual time of the
// Gp* benchmarks.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gf2/gf2_factor.h"
#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/random.h"

namespace {

using rara::TGF2Poly;

TGF2Poly RandomPoly(int deg) {
  const std::uint64_t seed = 0xFAC7000 + static_cast<std::uint64_t>(deg);
  rara::RuvSeed(&seed, sizeof seed);
  TGF2Poly p;
  rara::GF2Rnd(p, deg, true);
  p.SetCoef(0, true);
  return p;
}

TGF2Poly FieldPoly(int deg) {
  TGF2Poly p;
  switch (deg) {
    case 163: rara::GF2SetDegs(p, {163, 7, 6, 3, 0}); break;
    case 283: rara::GF2SetDegs(p, {283, 12, 7, 5, 0}); break;
    default: rara::GF2SetDegs(p, {571, 10, 5, 2, 0}); break;
  }
  return p;
}

std::string GpPoly(const TGF2Poly& p) {
  std::ostringstream s;
  s << "Mod(1,2)*Pol(binary(0x" << std::hex << p.Words()[p.Count() - 1];
  for (int i = p.Count() - 2; i >= 0; --i) {
    s.width(8);
    s.fill('0');
    s << p.Words()[i];
  }
  s << "))";
  return s.str();
}

// Runs a gp script and returns the last number it printed: the milliseconds
// of `reps` calls of `call` on f. Negative when gp cannot run.
double GpMillis(const TGF2Poly& p, const std::string& call, int reps) {
  char path[] = "/tmp/rara_bench_gp_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  {
    std::ofstream out(path);
    out << "default(parisizemax, 2*10^9);\nf=" << GpPoly(p) << ";\n" << call << ";\n"  // warm-up
        << "t=gettime();for(k=1," << reps << "," << call << ");print(gettime())\n";
  }
  const std::string cmd = std::string("gp -q -f < ") + path + " 2>/dev/null";
  FILE* pipe = popen(cmd.c_str(), "r");
  double ms = -1;
  if (pipe != nullptr) {
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) ms = std::atof(line);
    pclose(pipe);
  }
  std::remove(path);
  return ms;
}

void ReportGp(benchmark::State& state, const TGF2Poly& p, const std::string& call, int reps) {
  for (auto _ : state) {
    const double ms = GpMillis(p, call, reps);
    if (ms < 0) {
      state.SkipWithError("gp not available");
      return;
    }
    state.SetIterationTime(ms / 1000.0 / reps);
  }
}

void BM_GF2Factor(benchmark::State& state) {
  const TGF2Poly p = RandomPoly(static_cast<int>(state.range(0)));
  rara::TGF2PolyVector v;
  for (auto _ : state) {
    rara::GF2Factor(p, v, true);
    benchmark::DoNotOptimize(v.Count());
  }
  state.counters["factors"] = v.Count();
}

void BM_GpFactormod(benchmark::State& state) {
  const int deg = static_cast<int>(state.range(0));
  const int reps = deg <= 400 ? 200 : (deg <= 1000 ? 20 : 3);
  ReportGp(state, RandomPoly(deg), "factormod(f,2)", reps);
}

void BM_GF2IsIrreducible(benchmark::State& state) {
  const TGF2Poly p = FieldPoly(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(rara::GF2IsIrreducible(p));
}

void BM_GpPolIsIrreducible(benchmark::State& state) {
  ReportGp(state, FieldPoly(static_cast<int>(state.range(0))), "polisirreducible(f)", 2000);
}

}  // namespace

BENCHMARK(BM_GF2Factor)->Arg(163)->Arg(360)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GpFactormod)->Arg(163)->Arg(360)->Arg(1000)->Arg(4000)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GF2IsIrreducible)->Arg(163)->Arg(283)->Arg(571)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GpPolIsIrreducible)->Arg(163)->Arg(283)->Arg(571)->UseManualTime()->Iterations(1)
    ->Unit(benchmark::kMicrosecond);
