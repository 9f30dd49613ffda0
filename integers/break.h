// Break mechanism: long computations on the main thread poll RuvBreak; a timer
// thread sets the tick flag every 100 ms while the mechanism is on, and the
// poll then calls the front end's callback and honours an abort request.
#pragma once

#include <atomic>

namespace rara {

using TRuvBreakProc = void (*)();

namespace break_detail {
extern std::atomic<bool> Tick;
// Called when an abort is about to be raised, so that a half-updated result
// can be cleared first. Null means nothing to clear.
using TBeforeAbort = void (*)(void* context);
void Poll(TBeforeAbort beforeAbort, void* context);
}  // namespace break_detail

// One flag test between ticks: cheap enough for every inner loop.
inline void RuvBreak() {
  if (break_detail::Tick.load(std::memory_order_relaxed)) break_detail::Poll(nullptr, nullptr);
}

// Poll variant for kernels that must not leave a half-updated value behind an
// abort: beforeAbort(context) runs just before ERuvAbort is raised.
inline void RuvBreakThen(break_detail::TBeforeAbort beforeAbort, void* context) {
  if (break_detail::Tick.load(std::memory_order_relaxed)) break_detail::Poll(beforeAbort, context);
}

// Switches the mechanism on with ToCall as the per-tick callback (null acts
// as RuvBreakStop). Main thread only; ignored elsewhere.
void RuvBreakWith(TRuvBreakProc toCall);
// Switches the mechanism off and suspends the timer thread. Main thread only.
void RuvBreakStop();
// Asks the next poll to raise ERuvAbort (only while enabled, main thread).
void RuvRequestAbort();
// True when the mechanism is on and the caller is the main thread.
bool RuvBreakActive();

// True on the thread that started the arithmetic runtime.
bool RuvIsMainThread();

// RAII: switches the mechanism on for a scope and always off at its end.
class TRuvBreakScope {
 public:
  explicit TRuvBreakScope(TRuvBreakProc toCall) { RuvBreakWith(toCall); }
  ~TRuvBreakScope() { RuvBreakStop(); }
  TRuvBreakScope(const TRuvBreakScope&) = delete;
  TRuvBreakScope& operator=(const TRuvBreakScope&) = delete;
};

}  // namespace rara
