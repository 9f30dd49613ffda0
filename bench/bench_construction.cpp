// The whole construction through the record, step by step, for the dialog's
// defaults (K at most 15 bits, bound 32767, D from 0, ratio 1.0, the P1363
// field polynomial, standard basis), beside a PARI/GP pipeline doing the same
// work: the search, polclass(-D, 1) modulo 2, the roots of the Weber
// polynomial in GF(2^N) (gp finds all of them; there is no single-root call),
// the curve from a root, and a point of order R.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/gp_pipeline.h"
#include "engine/construction.h"
#include "floats/floats.h"
#include "gf2/field_poly_lists.h"
#include "integers/random.h"

namespace rara {
namespace {

enum TStep { kParams, kWeber, kRoot, kCurve, kPoint, kWhole };

void Params(TECGF2Data& rec, int n) {
  std::int32_t progress = 0;
  rec.Clear();
  rec.ComputeParams(n, 0, 15, 32767, false, progress);
}
void Weber(TECGF2Data& rec) {
  std::int32_t progress = 0;
  rec.ComputeWeberPoly(progress, 1.0L);
}
void Root(TECGF2Data& rec) {
  TGF2Poly p;
  GetP1363Irreducible(p, rec.N, BatchFieldListMaxDegree);
  rec.CurveBuilt = false;
  rec.SetField(p, btStandard);
  rec.PickRoot();
}

template <TStep S>
void BM_Record(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  RuvSeed("bench", 5);
  TECGF2Data rec;
  rec.SeedFromClock = false;
  // Everything before the measured step, once.
  if (S != kParams && S != kWhole) Params(rec, n);
  if (S > kWeber && S != kWhole) Weber(rec);
  if (S > kRoot && S != kWhole) Root(rec);
  if (S > kCurve && S != kWhole) rec.MakeCurve();
  for (auto _ : state) {
    switch (S) {
      case kParams: Params(rec, n); break;
      case kWeber: Weber(rec); break;
      case kRoot: Root(rec); break;
      case kCurve: rec.MakeCurve(); break;
      case kPoint: rec.NewPoint(); break;
      case kWhole:
        Params(rec, n);
        Weber(rec);
        Root(rec);
        rec.MakeCurve();
        rec.NewPoint();
        break;
    }
  }
  state.counters["D"] = rec.D;
  state.counters["h"] = rec.ClassNumber;
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

std::string PolyText(int n) {
  TGF2Poly p;
  GetP1363Irreducible(p, n, BatchFieldListMaxDegree);
  std::string s = "0";
  for (int i = p.Degree(); i >= 0; --i)
    if (p.Coef(i)) s += "+y^" + std::to_string(i);
  return s;
}

// gp's time per step in milliseconds, averaged over reps runs in one process.
void BM_GpPipeline(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int reps = 3;
  double ms[5] = {0, 0, 0, 0, 0};
  const std::string r = std::to_string(reps);
  for (auto _ : state) {
    const std::string script =
        std::string(bench::GpSearch) + "P = " + PolyText(n) + ";\n" +
        "{ my(t=vector(5), t0, s, W, rs, g, th, a, b, E, Q, K, R);\n"
        "for(i=1," + r + ", t0=getabstime(); s=cmsearch(" + std::to_string(n) +
        ",0,15,32767,0); t[1]+=getabstime()-t0;\n"
        " t0=getabstime(); W=polrecip(polclass(-s[1],1))*Mod(1,2); t[2]+=getabstime()-t0;\n"
        " t0=getabstime(); rs=polrootsmod(W,[P,2]); t[3]+=getabstime()-t0;\n"
        " t0=getabstime(); g=ffgen(Mod(1,2)*P,'g); th=subst(lift(rs[1]),y,g);"
        " b=if(s[1]%3,th^3,th); K=s[3]; R=s[4];"
        " a=if(K%4, my(j=0); while(trace(g^j)==0, j++); g^j, 0);"
        " E=ellinit([1,a,0,0,b],g); t[4]+=getabstime()-t0;\n"
        " t0=getabstime(); Q=[0]; until(Q!=[0], Q=ellmul(E,random(E),K)); if(ellmul(E,Q,R)!=[0], error(\"order\"));"
        " t[5]+=getabstime()-t0);\n"
        "print(t[1]/" + r + ".,\" \",t[2]/" + r + ".,\" \",t[3]/" + r + ".,\" \",t[4]/" + r +
        ".,\" \",t[5]/" + r + ".); }\n";
    const std::string out = bench::Gp(script);
    std::sscanf(out.c_str(), "%lf %lf %lf %lf %lf", &ms[0], &ms[1], &ms[2], &ms[3], &ms[4]);
  }
  state.counters["gp_params_ms"] = ms[0];
  state.counters["gp_weber_ms"] = ms[1];
  state.counters["gp_roots_ms"] = ms[2];
  state.counters["gp_curve_ms"] = ms[3];
  state.counters["gp_point_ms"] = ms[4];
  state.counters["gp_whole_ms"] = ms[0] + ms[1] + ms[2] + ms[3] + ms[4];
}

#define RARA_STEP(step) \
  BENCHMARK_TEMPLATE(BM_Record, step)->Arg(163)->Arg(233)->Arg(283)->Arg(360)->Arg(409)->Arg(571)->Unit(benchmark::kMillisecond)
RARA_STEP(kParams);
RARA_STEP(kWeber);
RARA_STEP(kRoot);
RARA_STEP(kCurve);
RARA_STEP(kPoint);
RARA_STEP(kWhole);
#undef RARA_STEP
BENCHMARK(BM_GpPipeline)->Arg(163)->Arg(233)->Arg(283)->Arg(360)->Arg(409)->Arg(571)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rara
