// Root finding in GF(2^N), N = 163, 233, 283, 360: FindRoot of a random
// irreducible polynomial of degree N over GF(2), with the field in the
// standard basis (P1363 polynomial) and in the normal basis (normal
// pentanomial), beside PARI/GP's polrootsmod over the same field and the same
// polynomial. gp is timed inside one run with getabstime over several calls;
// its time per call is the manual time of the Gp* benchmarks. polrootsmod
// returns all N roots where FindRoot returns one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2n.h"
#include "gf2/gf2n_poly.h"
#include "integers/random.h"

namespace {

using namespace rara;

TGF2Poly FieldPoly(int n, std::uint8_t basis) {
  TGF2Poly p;
  if (basis == btStandard)
    GetP1363Irreducible(p, n);
  else
    GetNormal(p, n);
  return p;
}

TGF2Poly Target(int n) {
  const std::uint64_t seed = 0x2007 + static_cast<std::uint64_t>(n);
  RuvSeed(&seed, sizeof seed);
  TGF2Poly p;
  do {
    GF2Rnd(p, n, true);
    p.SetCoef(0, true);
  } while (!GF2IsIrreducible(p));
  return p;
}

std::string GpPoly(const TGF2Poly& p, const char* var) {
  std::ostringstream s;
  s << "Mod(1,2)*Pol(binary(0x" << std::hex << p.Words()[p.Count() - 1];
  for (int i = p.Count() - 2; i >= 0; --i) {
    s.width(8);
    s.fill('0');
    s << p.Words()[i];
  }
  s << ")," << var << ")";
  return s.str();
}

// Milliseconds per call of polrootsmod(P, [T, 2]) over reps calls after a
// warm-up; negative when gp cannot run.
double GpMillis(const TGF2Poly& t, const TGF2Poly& p, int reps) {
  char path[] = "/tmp/rara_bench_roots_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  {
    std::ofstream out(path);
    out << "default(parisizemax, 2*10^9);\nT=" << GpPoly(t, "'y") << ";\nP=" << GpPoly(p, "'x") << ";\n"
        << "r=polrootsmod(P,[T,2]);if(#r!=poldegree(P),error(\"roots\"));\n"
        << "s=getabstime();for(k=1," << reps << ",polrootsmod(P,[T,2]));print((getabstime()-s)/" << reps
        << ".)\n";
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

void BM_FindRoot(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto basis = static_cast<std::uint8_t>(state.range(1));
  TGF2N f;
  f.SetField(FieldPoly(n, basis), basis, false);
  const TGF2Poly p = Target(n);
  TGF2Poly root;
  for (auto _ : state) {
    f.FindRoot(root, p, false);
    benchmark::DoNotOptimize(root.Words());
  }
}

void BM_GpPolrootsmod(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto basis = static_cast<std::uint8_t>(state.range(1));
  const int reps = n >= 300 ? 4 : 8;
  for (auto _ : state) {
    const double ms = GpMillis(FieldPoly(n, basis), Target(n), reps);
    if (ms < 0) {
      state.SkipWithError("gp not available");
      return;
    }
    state.SetIterationTime(ms / 1000.0);
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {163, 233, 283, 360})
    for (int basis : {0, 1}) b->Args({n, basis});
}

}  // namespace

BENCHMARK(BM_FindRoot)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GpPolrootsmod)->Apply(Sizes)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
