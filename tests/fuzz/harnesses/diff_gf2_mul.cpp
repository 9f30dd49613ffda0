// Products of binary polynomials three ways: the hardware kernels, the
// portable kernels and a word-by-word schoolbook product; any difference
// aborts. Squares go through GF2Mul(A, A) and GF2Sqr as well.
#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

void Schoolbook(TGF2Poly& r, const TGF2Poly& a, const TGF2Poly& b) {
  std::vector<std::uint32_t> w(static_cast<std::size_t>(a.Count() + b.Count()) + 1, 0);
  for (std::int32_t i = 0; i < a.Count(); ++i)
    for (std::int32_t j = 0; j < b.Count(); ++j) {
      const std::uint64_t p = GF2MulWordPortable(a.Words()[i], b.Words()[j]);
      w[static_cast<std::size_t>(i + j)] ^= static_cast<std::uint32_t>(p);
      w[static_cast<std::size_t>(i + j) + 1] ^= static_cast<std::uint32_t>(p >> 32);
    }
  r.Clear();
  for (std::size_t k = 0; k < w.size(); ++k)
    for (int bit = 0; bit < 32; ++bit)
      if ((w[k] >> bit) & 1u) r.SetCoef(static_cast<std::int32_t>(32 * k) + bit, true);
}

void Products(TGF2Poly& ab, TGF2Poly& aa, TGF2Poly& sq, const TGF2Poly& a, const TGF2Poly& b) {
  ab.Assign(a);
  GF2Mul(ab, b);
  aa.Assign(a);
  GF2Mul(aa, aa);
  sq.Assign(a);
  GF2Sqr(sq);
}

}  // namespace

RARA_FUZZ_ENTRY(diff_gf2_mul) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  const std::size_t split = in.U8() * 4u;
  TGF2Poly a, b;
  in.Poly(a, split, -1);
  in.Poly(b, 1024, -1);

  TGF2Poly ref, refSq;
  Schoolbook(ref, a, b);
  Schoolbook(refSq, a, a);
  const bool hardware = GF2HardwareKernelsActive();
  for (const bool use : {true, false}) {
    if (use && !GF2HardwareKernelsAvailable()) continue;
    GF2UseHardwareKernels(use);
    TGF2Poly ab, aa, sq;
    Products(ab, aa, sq, a, b);
    const std::string kernels = use ? "hardware" : "portable";
    FUZZ_CHECK(GF2Equal(ab, ref), kernels + " product differs from the schoolbook one");
    FUZZ_CHECK(GF2Equal(aa, refSq), kernels + " product A*A differs from the schoolbook one");
    FUZZ_CHECK(GF2Equal(sq, refSq), kernels + " square differs from the schoolbook one");
    for (std::int32_t i = 0; i < a.Count() && i < b.Count(); ++i)
      FUZZ_CHECK(GF2MulWord(a.Words()[i], b.Words()[i]) == GF2MulWordPortable(a.Words()[i], b.Words()[i]),
                 kernels + " word product differs");
  }
  GF2UseHardwareKernels(hardware);
  return 0;
}
