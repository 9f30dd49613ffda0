// Helpers shared by the test programs: iteration counts that soak runs can
// raise, fixed seeds, and the PARI/GP oracle.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

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

}  // namespace rara::test
