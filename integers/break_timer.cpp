// Timer thread and main-thread identity of the break mechanism.
#include "integers/break_timer.h"

#include <chrono>

#include "integers/break.h"

namespace rara {

namespace {
std::atomic<bool> EnabledFlag{false};
std::atomic<TTimerThread*> TheTimer{nullptr};
std::thread::id MainThreadId{};
}  // namespace

std::atomic<bool>& TTimerThread::Enabled() { return EnabledFlag; }
TTimerThread* TTimerThread::Instance() { return TheTimer.load(); }
void TTimerThread::SetInstance(TTimerThread* timer) { TheTimer.store(timer); }

TTimerThread::TTimerThread() : thread_([this] { Run(); }) {}

TTimerThread::~TTimerThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TTimerThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    resumed_ = true;
  }
  wake_.notify_all();
}

void TTimerThread::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!terminated_) {
    if (!EnabledFlag.load(std::memory_order_relaxed)) {
      // Off: sleep until switched on again (or told to terminate).
      suspended_.store(true, std::memory_order_relaxed);
      resumed_ = false;
      wake_.wait(lock, [this] { return terminated_ || resumed_; });
      suspended_.store(false, std::memory_order_relaxed);
      continue;
    }
    if (wake_.wait_for(lock, std::chrono::milliseconds(PeriodMs), [this] { return terminated_; }))
      break;
    bool on = EnabledFlag.load(std::memory_order_relaxed);
    break_detail::Tick.store(on, std::memory_order_relaxed);
    if (on) ticks_.fetch_add(1, std::memory_order_relaxed);
  }
  break_detail::Tick.store(false, std::memory_order_relaxed);
}

void RuvSetMainThread() { MainThreadId = std::this_thread::get_id(); }
bool RuvIsMainThread() { return std::this_thread::get_id() == MainThreadId; }

}  // namespace rara
