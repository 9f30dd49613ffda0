// Field arithmetic in GF(2^163), GF(2^283) and GF(2^360): product, square and
// inverse in the standard basis with the sparse (pentanomial or trinomial)
// and the general reduction, and the normal-basis product, beside NTL's GF2E
// with the same field polynomial.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2n.h"
#include "integers/random.h"

#ifdef RARA_HAVE_NTL
#include <NTL/GF2E.h>
#include <NTL/GF2X.h>
#endif

namespace {

using namespace rara;

// Kind 0: the sparse polynomial (built-in for 163, the P1363 list above);
// kind 1: a weight-7 irreducible polynomial (general reduction);
// kind 2: the normal pentanomial of the lists, in the normal basis;
// kind 3: the same polynomial, standard-basis arithmetic (its second exponent
// N - 1 lies next to N, the hard case for a sparse reduction).
TGF2Poly FieldPoly(int n, int kind) {
  TGF2Poly p;
  if (kind == 0) {
    GetP1363Irreducible(p, n);
  } else if (kind == 2 || kind == 3) {
    GetNormal(p, n);
  } else {
    for (int a = 5;; ++a)
      for (int b = 4; b < a; ++b)
        for (int c = 3; c < b; ++c) {
          GF2SetDegs(p, {n, a, b, c, 2, 1, 0});
          if (GF2IsIrreducible(p)) return p;
        }
  }
  return p;
}

void SetUp(TGF2N& f, TGF2Poly& a, TGF2Poly& b, int n, int kind) {
  const std::uint32_t seed = 12345;
  RuvSeed(&seed, sizeof seed);
  f.SetField(FieldPoly(n, kind), kind == 2 ? btNormal : btStandard, false);
  f.Rnd(a);
  f.Rnd(b);
}

std::string Label(const TGF2N& f) {
  static const char* kinds[] = {"trinomial", "pentanomial", "general"};
  return std::string(kinds[f.RedKind()]) + (f.BasisType() == btNormal ? " normal" : "");
}

// Args: N, kind.
void BM_Mul(benchmark::State& state) {
  TGF2N f;
  TGF2Poly a, b;
  SetUp(f, a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    f.Mul(a, b);
    benchmark::DoNotOptimize(a.Words());
  }
  state.SetLabel(Label(f));
}

void BM_Sqr(benchmark::State& state) {
  TGF2N f;
  TGF2Poly a, b;
  SetUp(f, a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    f.Sqr(a);
    benchmark::DoNotOptimize(a.Words());
  }
  state.SetLabel(Label(f));
}

void BM_Inv(benchmark::State& state) {
  TGF2N f;
  TGF2Poly a, b;
  SetUp(f, a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    f.Inv(a);
    benchmark::DoNotOptimize(a.Words());
  }
  state.SetLabel(Label(f));
}

#define RARA_FIELD_ARGS(B) \
  B->Args({163, 0})->Args({163, 1})->Args({283, 0})->Args({283, 1})->Args({360, 0})->Args({360, 1})

RARA_FIELD_ARGS(BENCHMARK(BM_Mul))->Args({163, 3})->Args({283, 3});
RARA_FIELD_ARGS(BENCHMARK(BM_Sqr))->Args({163, 3})->Args({283, 3});
RARA_FIELD_ARGS(BENCHMARK(BM_Inv))->Args({163, 3})->Args({283, 3});
BENCHMARK(BM_Mul)->Name("BM_MulNormal")->Args({163, 2})->Args({283, 2})->Args({360, 2});

#ifdef RARA_HAVE_NTL

void NtlSetUp(NTL::GF2E& a, NTL::GF2E& b, int n, int kind) {
  const TGF2Poly p = FieldPoly(n, kind);
  NTL::GF2X q;
  for (int i = 0; i <= p.Degree(); ++i)
    if (p.Coef(i)) NTL::SetCoeff(q, i);
  NTL::GF2E::init(q);
  NTL::SetSeed(NTL::ZZ(12345));
  NTL::random(a);
  NTL::random(b);
}

void BM_NtlMul(benchmark::State& state) {
  NTL::GF2E a, b;
  NtlSetUp(a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    NTL::mul(a, a, b);
    benchmark::DoNotOptimize(&a);
  }
}

void BM_NtlSqr(benchmark::State& state) {
  NTL::GF2E a, b;
  NtlSetUp(a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    NTL::sqr(a, a);
    benchmark::DoNotOptimize(&a);
  }
}

void BM_NtlInv(benchmark::State& state) {
  NTL::GF2E a, b;
  NtlSetUp(a, b, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    NTL::inv(a, a);
    benchmark::DoNotOptimize(&a);
  }
}

RARA_FIELD_ARGS(BENCHMARK(BM_NtlMul))->Args({163, 3})->Args({283, 3});
RARA_FIELD_ARGS(BENCHMARK(BM_NtlSqr))->Args({163, 3})->Args({283, 3});
RARA_FIELD_ARGS(BENCHMARK(BM_NtlInv))->Args({163, 3})->Args({283, 3});

#endif

}  // namespace
