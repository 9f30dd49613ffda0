// Break state, the poll and the timer thread that drives it.
#include "integers/break.h"

#include "integers/break_timer.h"
#include "integers/errors.h"

namespace rara {

namespace break_detail {
std::atomic<bool> Tick{false};
}  // namespace break_detail

namespace {
// Touched by the main thread only (Tick and Enabled are shared with the timer).
TRuvBreakProc Callback = nullptr;
std::atomic<bool> AbortRequested{false};
std::atomic<bool> Busy{false};
}  // namespace

void break_detail::Poll(TBeforeAbort beforeAbort, void* context) {
  if (!RuvIsMainThread() || Busy.load(std::memory_order_relaxed)) return;
  Busy.store(true, std::memory_order_relaxed);
  Tick.store(false, std::memory_order_relaxed);
  struct TClearBusy {
    ~TClearBusy() { Busy.store(false, std::memory_order_relaxed); }
  } clearBusy;
  if (Callback != nullptr) Callback();
  if (AbortRequested.load(std::memory_order_relaxed)) {
    AbortRequested.store(false, std::memory_order_relaxed);
    if (beforeAbort != nullptr) beforeAbort(context);
    RaiseAbort();
  }
}

void RuvBreakWith(TRuvBreakProc toCall) {
  if (toCall == &RuvBreak) RaiseInvalidArg("RuvBreakWith", "@ToCall = @RuvBreak");
  if (!RuvIsMainThread()) return;
  if (toCall == nullptr) {
    RuvBreakStop();
    return;
  }
  Callback = toCall;
  TTimerThread::Enabled().store(true, std::memory_order_relaxed);
  if (TTimerThread* timer = TTimerThread::Instance()) timer->Resume();
  Busy.store(false, std::memory_order_relaxed);
}

void RuvBreakStop() {
  if (!RuvIsMainThread()) return;
  TTimerThread::Enabled().store(false, std::memory_order_relaxed);
  break_detail::Tick.store(false, std::memory_order_relaxed);
  Callback = nullptr;
  // The timer thread suspends itself at its next tick once Enabled is off.
}

void RuvRequestAbort() {
  if (TTimerThread::Enabled().load(std::memory_order_relaxed) && RuvIsMainThread())
    AbortRequested.store(true, std::memory_order_relaxed);
}

bool RuvBreakActive() {
  return TTimerThread::Enabled().load(std::memory_order_relaxed) && RuvIsMainThread();
}

void RuvBreakReset() {
  Callback = nullptr;
  AbortRequested.store(false, std::memory_order_relaxed);
  Busy.store(false, std::memory_order_relaxed);
  TTimerThread::Enabled().store(false, std::memory_order_relaxed);
  break_detail::Tick.store(false, std::memory_order_relaxed);
}

}  // namespace rara
