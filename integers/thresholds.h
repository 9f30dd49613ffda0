// Karatsuba thresholds of integer multiplication, in limbs (process-wide).
#pragma once

#include <atomic>
#include <cstdint>

namespace rara {

inline std::atomic<std::int32_t> KaratsubaSqrThreshold{72};  // S
inline std::atomic<std::int32_t> KaratsubaMulThreshold{48};  // M

// Sets S and M; each must be in [8, MaxLongSize].
void IKaratsubaThresholds(std::int32_t s, std::int32_t m);

}  // namespace rara
