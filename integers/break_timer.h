// The timer thread of the break mechanism: while the mechanism is on it sets
// the tick flag every 100 ms; while it is off it sleeps on a condition
// variable and costs nothing.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace rara {

class TTimerThread {
 public:
  static constexpr int PeriodMs = 100;

  TTimerThread();   // starts suspended
  ~TTimerThread();  // tells the thread to terminate and joins it
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

  // Wakes the thread; it ticks while Enabled() is set.
  void Resume();
  // Number of times the thread has set the tick flag (for tests).
  long Ticks() const { return ticks_.load(std::memory_order_relaxed); }
  // True while the thread sleeps waiting for the mechanism to be switched on.
  bool Suspended() const { return suspended_.load(std::memory_order_relaxed); }

  // The mechanism's Enabled flag (read by the thread).
  static std::atomic<bool>& Enabled();
  // The runtime's timer thread, or null outside a runtime.
  static TTimerThread* Instance();
  static void SetInstance(TTimerThread* timer);

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  bool terminated_ = false;
  bool resumed_ = false;
  std::atomic<long> ticks_{0};
  std::atomic<bool> suspended_{true};
  std::thread thread_;
};

// Returns the break state to "off, nothing pending" (runtime start-up).
void RuvBreakReset();
// Records the calling thread as the main thread (runtime start-up).
void RuvSetMainThread();

}  // namespace rara
