// Look-ups in the generated field polynomial tables, and the Gaussian type search.
#include "gf2/field_poly_lists.h"

#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/primes.h"

namespace rara {

namespace {
#include "gf2/field_poly_lists_data.inc"

static_assert(sizeof P1363Table / sizeof P1363Table[0] ==
              BatchFieldListMaxDegree - FieldListMinDegree + 1);
static_assert(sizeof X963Table / sizeof X963Table[0] == BatchFieldListMaxDegree - X963MinDegree + 1);
static_assert(sizeof NormalTable / sizeof NormalTable[0] ==
              BatchFieldListMaxDegree - FieldListMinDegree + 1);
static_assert(sizeof GaussTable / sizeof GaussTable[0] ==
              BatchFieldListMaxDegree - FieldListMinDegree + 1);

bool InList(int n, int low, int maxDegree) {
  return n >= low && n <= maxDegree && n <= BatchFieldListMaxDegree;
}
}  // namespace

void GetP1363Irreducible(TGF2Poly& p, int n, int maxDegree) {
  if (!InList(n, FieldListMinDegree, maxDegree)) RaiseIndexError("GetP1363Irreducible");
  const unsigned short* k = P1363Table[n - FieldListMinDegree];
  if (k[0] == 0)
    GF2SetDegs(p, {n, k[2], 0});
  else
    GF2SetDegs(p, {n, k[0], k[1], k[2], 0});
}

void GetX963Irreducible(TGF2Poly& p, int n, int maxDegree) {
  if (!InList(n, X963MinDegree, maxDegree)) RaiseIndexError("GetX963Irreducible");
  const unsigned short* w = X963Table[n - X963MinDegree];
  if (w[0] == 0)
    GF2SetDegs(p, {n, w[1], 0});
  else
    GF2SetDegs(p, {n, w[0], w[1], 1, 0});
}

void GetNormal(TGF2Poly& p, int n, int maxDegree) {
  if (!InList(n, FieldListMinDegree, maxDegree)) RaiseIndexError("GetNormal");
  const unsigned short* ab = NormalTable[n - FieldListMinDegree];
  GF2SetDegs(p, {n, n - 1, ab[0], ab[1], 0});
}

std::string GaussNormalText(int n, int maxDegree) {
  if (!InList(n, FieldListMinDegree, maxDegree)) return std::string();
  return GaussTable[n - FieldListMinDegree];
}

int GaussType(std::uint16_t n) {
  if (n <= 2 || n % 8 == 0) return 0;
  for (std::uint32_t t = 1; t <= 255; ++t) {
    std::uint32_t p = t * n + 1;
    if (!IIsPrimeWord(p)) continue;
    // Order of 2 modulo p by repeated doubling.
    std::uint32_t k = 1;
    for (std::uint64_t v = 2 % p; v != 1; v = (v * 2) % p) ++k;
    if (IGcdWord((p - 1) / k, n) == 1) return static_cast<int>(t);
  }
  return 0;
}

}  // namespace rara
