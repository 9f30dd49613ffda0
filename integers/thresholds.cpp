// Karatsuba thresholds of integer multiplication.
#include "integers/thresholds.h"

#include "integers/errors.h"

namespace rara {

void IKaratsubaThresholds(std::int32_t s, std::int32_t m) {
  constexpr std::int32_t maxLongSize = 0x3000000;
  if (s < 8 || s > maxLongSize) RaiseInvalidArg("IKaratsubaThresholds", "(S < 8) or (S > MaxLongSize)");
  if (m < 8 || m > maxLongSize) RaiseInvalidArg("IKaratsubaThresholds", "(M < 8) or (M > MaxLongSize)");
  KaratsubaSqrThreshold.store(s, std::memory_order_relaxed);
  KaratsubaMulThreshold.store(m, std::memory_order_relaxed);
}

}  // namespace rara
