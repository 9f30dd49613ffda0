// Helpers shared by the test programs: iteration counts that soak runs can
// raise, fixed seeds, and the PARI/GP oracle.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <thread>

#include "integers/break.h"

namespace rara::test {

// base × RARA_SOAK (environment, default 1): soak runs raise the counts.
int Iterations(int base);

// Seeds the calling thread's RuvRandom with a fixed 64-bit seed and returns a
// text to attach to assertions ("seed=…"), so a failure reproduces.
std::string SeedRandom(std::uint64_t seed);

// Runs `gp -q -f` with the script on standard input (parisizemax raised
// first) and returns what it printed. Throws std::runtime_error when gp
// cannot be run or exits non-zero.
std::string RunGp(const std::string& script);

// True when the gp program is on the PATH.
bool HaveGp();

// True when the program is on the PATH.
bool HaveProgram(const char* name);

// The whole content of a file, bytes as they are; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// What a shell command prints on standard output, bytes as they are.
std::string CommandOutput(const std::string& command);

// True when CI is set in the environment: a continuous-integration run has
// every oracle installed, so there a missing one is a fault of the machine
// and fails its test instead of skipping it.
bool OraclesRequired();

// Skips the current test when an oracle (gp, openssl, ...) is missing, or
// fails it when OraclesRequired().
#define RARA_NEED_ORACLE(present, name)                                   \
  if (present) {                                                          \
  } else if (::rara::test::OraclesRequired())                             \
    GTEST_FAIL() << (name) << " is missing; CI needs every oracle";       \
  else                                                                    \
    GTEST_SKIP() << (name) << " is missing"

// Points TMPDIR at a fresh directory for the life of the test program and
// removes it afterwards, so that test programs run side by side (one process
// per case under ctest) never meet in each other's temporary files.
class TPrivateTempDir {
 public:
  TPrivateTempDir();
  ~TPrivateTempDir();
  TPrivateTempDir(const TPrivateTempDir&) = delete;
  TPrivateTempDir& operator=(const TPrivateTempDir&) = delete;

 private:
  std::string path_;
};

// The message of the E that f() raises; another exception or none at all
// gives a text that no expected message equals.
template <class E, class F>
std::string MessageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("wrong class: ") + e.what();
  }
  return "no error";
}

// Break callback that makes every RuvBreak poll (it raises the tick flag
// again each time) and requests the abort at the PollsBeforeAbort-th poll,
// so that an abort can be injected at any chosen poll of a computation.
extern int PollsBeforeAbort;
void AbortAtPoll();

// Raises the tick flag every millisecond for its lifetime instead of every
// 100 ms, so that a test aborting at a tick does not depend on how long the
// computation under test takes on this machine.
class TFastTicks {
 public:
  TFastTicks()
      : thread_([this] {
          while (!stop_.load()) {
            break_detail::Tick.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        }) {}
  ~TFastTicks() {
    stop_.store(true);
    thread_.join();
  }
  TFastTicks(const TFastTicks&) = delete;
  TFastTicks& operator=(const TFastTicks&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace rara::test
