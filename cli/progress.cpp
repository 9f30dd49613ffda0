// Terminal progress of rara-cli.
#include "cli/progress.h"

#include <chrono>
#include <cstdio>

#include "cli/std_output.h"
#include "integers/break.h"
#include "integers/stopwatch.h"

namespace rara::cli {

namespace {

// The break callback takes no context: the running step lives here.
struct TStepState {
  bool Running = false;
  std::string Step;
  const std::int32_t* Value = nullptr;
  std::chrono::steady_clock::time_point Started;
  std::chrono::steady_clock::time_point LastShown;
  std::int64_t Stopwatch = 0;
  std::size_t Width = 0;  // length of the line last written, to blank it out
};

TStepState State;

void WriteLine(const std::string& text, bool end) {
  std::string line = "\r" + text;
  if (text.size() < State.Width) line.append(State.Width - text.size(), ' ');
  State.Width = end ? 0 : text.size();
  if (end) line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void Show(bool withValue) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::steady_clock::now() - State.Started)
                           .count();
  std::string text = State.Step + ": " + std::to_string(seconds) + "s";
  if (withValue && State.Value) text += "  (" + std::to_string(*State.Value) + ")";
  WriteLine(text, false);
}

}  // namespace

// The callback runs without a display too: it watches standard output.
TProgress::TProgress(bool enabled) : enabled_(enabled) {
  RuvBreakWith(&TProgress::Tick);
}

TProgress::~TProgress() {
  RuvBreakStop();
  if (enabled_ && State.Running) WriteLine("", true);
  State.Running = false;
}

void TProgress::Start(const std::string& step, const std::int32_t* value) {
  if (!enabled_) return;
  State.Running = true;
  State.Step = step;
  State.Value = value;
  State.Started = State.LastShown = std::chrono::steady_clock::now();
  State.Stopwatch = TimerStart();
  // The value still holds the previous step's until the engine sets it.
  Show(false);
}

void TProgress::Stop() {
  if (!enabled_ || !State.Running) return;
  State.Running = false;
  char time[48];
  std::snprintf(time, sizeof time, "%.2Lfs", TimerElapsedMs(State.Stopwatch) / 1000.0L);
  WriteLine(State.Step + ": " + time, true);
}

void TProgress::Tick() {
  if (PollOutputGone()) RuvRequestAbort();
  if (!State.Running) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - State.LastShown < std::chrono::milliseconds(1000)) return;
  State.LastShown = now;
  Show(true);
}

}  // namespace rara::cli
