// Stopwatch over the high-resolution counter.
#pragma once

#include <cstdint>

namespace rara {

std::int64_t TimerStart();
// Milliseconds since Start, or -1.0 when the counter has no frequency.
long double TimerElapsedMs(std::int64_t start);
// The computation behind TimerElapsedMs, for a given counter and frequency.
long double TimerElapsedMsAt(std::int64_t start, std::int64_t now, std::int64_t frequency);

}  // namespace rara
