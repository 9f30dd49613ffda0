// Stopwatch on the steady clock (nanosecond counter).
#include "integers/stopwatch.h"

#include <chrono>

namespace rara {

namespace {
constexpr std::int64_t Frequency = 1000000000;  // counter ticks per second
}

std::int64_t TimerStart() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

long double TimerElapsedMsAt(std::int64_t start, std::int64_t now, std::int64_t frequency) {
  if (frequency == 0) return -1.0L;
  return static_cast<long double>(now - start) * 1000.0L / static_cast<long double>(frequency);
}

long double TimerElapsedMs(std::int64_t start) { return TimerElapsedMsAt(start, TimerStart(), Frequency); }

}  // namespace rara
