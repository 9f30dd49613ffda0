// Start-up and shut-down of the arithmetic units: one object, created first in
// main (and in every test and benchmark program) and destroyed last.
#pragma once

namespace rara {

class TRuvRuntime {
 public:
  TRuvRuntime();   // registry, break state, settings, thresholds, seed, timer thread
  ~TRuvRuntime();  // timer thread told to terminate, pools released
  TRuvRuntime(const TRuvRuntime&) = delete;
  TRuvRuntime& operator=(const TRuvRuntime&) = delete;
};

}  // namespace rara
