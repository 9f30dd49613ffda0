// K·P on binary curves over GF(2^163) and GF(2^283), standard and normal
// basis, K of N bits, in Jacobian and affine coordinates. The peer is gp's
// ellmul on the same curve, point and scalar (standard coordinates over the
// same field polynomial), timed inside one gp run with getabstime() over
// enough repetitions; its time per call is the manual time of BM_GpEllmul.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "curves/ec_gf2n.h"
#include "gf2/field_poly_lists.h"
#include "integers/random.h"

namespace {

using namespace rara;

struct TSetup {
  TGF2NECurve Curve;
  TGF2NEPoint P;
  TInteger K;
};

// The same curve, point and scalar for a given N and basis on every call.
void MakeSetup(TSetup& s, int n, std::uint8_t basis) {
  const std::uint64_t seed = 0xEC0B000 + static_cast<std::uint64_t>(n);
  RuvSeed(&seed, sizeof seed);
  TGF2N f;
  if (n <= 255) {
    f.SetField(static_cast<std::uint8_t>(n), basis);
  } else {
    TGF2Poly p;
    if (basis == btStandard)
      GetP1363Irreducible(p, n);
    else
      GetNormal(p, n);
    f.SetField(p, basis, false);
  }
  s.Curve.SetField(&f);
  TGF2Poly a, b;
  f.Rnd(a);
  do f.Rnd(b); while (b.IsZero());
  s.Curve.SetCoefs(&a, &b);
  s.Curve.GetRndPoint(s.P);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>((n + 7) / 8));
  for (auto& x : bytes) x = static_cast<std::uint8_t>(RuvRandom());
  s.K.SetDigits(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  ICut(s.K, n);
  s.K.SetBit(static_cast<std::uint32_t>(n - 1), true);  // exactly N bits
}

void BM_EcMul(benchmark::State& state) {
  TSetup s;
  MakeSetup(s, static_cast<int>(state.range(0)), static_cast<std::uint8_t>(state.range(1)));
  const bool projective = state.range(2) != 0;
  TGF2NEPoint q;
  for (auto _ : state) {
    q.Assign(s.P);
    s.Curve.Mul(q, s.K, projective);
    benchmark::DoNotOptimize(q.X().Words());
  }
}

std::string Hex(const std::uint32_t* w, std::int32_t count) {
  if (count == 0) return "0x0";
  std::ostringstream s;
  s << "0x" << std::hex << w[count - 1];
  for (std::int32_t i = count - 2; i >= 0; --i) {
    s.width(8);
    s.fill('0');
    s << w[i];
  }
  return s.str();
}

std::string StdHex(const TGF2N& f, const TGF2Poly& e) {
  TGF2Poly s(e);
  if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(s, *f.N2S());
  return Hex(s.Words(), s.Count());
}

// Milliseconds of reps calls of ellmul in one gp run; negative when gp
// cannot run.
double GpMillis(const TSetup& s, int reps) {
  char path[] = "/tmp/rara_bench_gp_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  const TGF2N& f = s.Curve.Field();
  {
    std::ofstream out(path);
    out << "default(parisizemax, 2*10^9);\n"
        << "e(n)=subst(Pol(binary(n)),'x,t);\n"
        << "t=ffgen(Mod(1,2)*Pol(binary(" << Hex(f.FieldPoly().Words(), f.FieldPoly().Count()) << ")),'t);\n"
        << "E=ellinit([1,e(" << StdHex(f, s.Curve.A()) << "),0,0,e(" << StdHex(f, s.Curve.B()) << ")],t);\n"
        << "P=[e(" << StdHex(f, s.P.X()) << "),e(" << StdHex(f, s.P.Y()) << ")];\n"
        << "k=" << Hex(s.K.Limbs(), s.K.Size()) << ";\n"
        << "Q=ellmul(E,P,k);\n"  // warm-up
        << "t0=getabstime();for(i=1," << reps << ",Q=ellmul(E,P,k));print(getabstime()-t0)\n";
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

void BM_GpEllmul(benchmark::State& state) {
  TSetup s;
  MakeSetup(s, static_cast<int>(state.range(0)), btStandard);
  const int reps = 2000;
  for (auto _ : state) {
    const double ms = GpMillis(s, reps);
    if (ms < 0) {
      state.SkipWithError("gp not available");
      return;
    }
    state.SetIterationTime(ms / 1000.0 / reps);
  }
}

}  // namespace

// Args: N, basis (0 standard, 1 normal), Jacobian (1) or affine (0).
BENCHMARK(BM_EcMul)
    ->Args({163, 0, 1})->Args({163, 1, 1})->Args({283, 0, 1})->Args({283, 1, 1})
    ->Args({163, 0, 0})->Args({283, 0, 0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GpEllmul)->Arg(163)->Arg(283)->UseManualTime()->Iterations(1)->Unit(benchmark::kMicrosecond);
