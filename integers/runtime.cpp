// Start-up and shut-down order of the arithmetic units.
#include "integers/runtime.h"

#include <memory>
#include <mutex>
#include <vector>

#include "integers/break_timer.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "integers/scratch_pool.h"
#include "integers/settings.h"
#include "integers/thresholds.h"

namespace rara {

namespace {
std::mutex HookMutex;
std::vector<TRuvShutdownHook>& Hooks() {
  static std::vector<TRuvShutdownHook> hooks;
  return hooks;
}
std::unique_ptr<TTimerThread>& Timer() {
  static std::unique_ptr<TTimerThread> timer;
  return timer;
}
bool Running = false;
}  // namespace

void RuvAddShutdownHook(TRuvShutdownHook hook) {
  std::lock_guard<std::mutex> lock(HookMutex);
  Hooks().push_back(hook);
}

void RuvSetStartupSettings() {
  SecureWipe = false;
  StrZeroPad = true;
  StrLowerHex = true;
  StrShowSign = true;
  StrSpacePlus = true;
}

TRuvRuntime::TRuvRuntime() {
  if (Running) RaiseRuv("TRuvRuntime: the arithmetic runtime is already running");
  Running = true;
  RuvSetMainThread();
  RuvBreakReset();
  RuvSetStartupSettings();
  IKaratsubaThresholds(72, 48);
  RuvSeedTime();
  Timer() = std::make_unique<TTimerThread>();
  TTimerThread::SetInstance(Timer().get());
}

TRuvRuntime::~TRuvRuntime() {
  RuvBreakReset();
  TTimerThread::SetInstance(nullptr);
  Timer().reset();
  std::vector<TRuvShutdownHook> hooks;
  {
    std::lock_guard<std::mutex> lock(HookMutex);
    hooks.swap(Hooks());
  }
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) (*it)();
  Running = false;
}

}  // namespace rara
