// 64-bit helpers of the enumerations of reduced forms: integer square root
// and greatest common divisor.
#pragma once

#include <cmath>
#include <cstdint>

namespace rara {

// floor(sqrt(n)), 0 for n <= 0; the floating estimate is corrected exactly.
inline std::int64_t ISqrt64(std::int64_t n) {
  if (n <= 0) return 0;
  auto r = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(n)));
  while (r * r > n) --r;
  while ((r + 1) * (r + 1) <= n) ++r;
  return r;
}

inline std::uint64_t GcdU64(std::uint64_t a, std::uint64_t b) {
  while (b != 0) {
    const std::uint64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// gcd(a, b, c) of non-negative values.
inline std::uint64_t Gcd3(std::int64_t a, std::int64_t b, std::int64_t c) {
  return GcdU64(GcdU64(static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(b)),
                static_cast<std::uint64_t>(c));
}

}  // namespace rara
