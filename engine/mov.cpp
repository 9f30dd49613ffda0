// Embedding degree and critical threshold of the MOV condition.
#include "engine/mov.h"

#include <cmath>

#include "integers/break.h"

namespace rara {

std::int32_t MOVDegree(std::int32_t n, const TInteger& r) {
  if (ICmp(r, 2) < 0) return -1;
  TUVInteger x;
  x->SetOne();
  for (std::int32_t i = 1; i <= 1000; ++i) {
    RuvBreak();
    IShl(*x, n);
    IMod(*x, r);
    if (x->IsOne()) return i;
  }
  return 0;
}

std::int32_t CriticalThreshold(std::int32_t n) {
  if (n < 1) return 1;
  const long double ln2 = std::log(2.0L);
  for (std::int32_t k = 1;; ++k) {
    const long double m = static_cast<long double>(k) * n;
    const long double l2 = std::log(m * ln2) / ln2;  // log2(m·ln 2)
    const long double cube = std::exp(std::log(3 * m * l2 * l2) / 3);
    const long double v = std::trunc(8.0L / 3 * cube - 17.135872L);
    if (v >= n) return k;
  }
}

}  // namespace rara
