// Progress of rara-cli on standard error: the running step with its time
// and progress value, refreshed about once a second from the break
// callback, and each step's time when it ends. The same callback stops the
// computation once standard output has lost its reader.
#pragma once

#include <cstdint>
#include <string>

namespace rara::cli {

class TProgress {
 public:
  // Shows nothing unless enabled (standard error is a terminal, not quiet);
  // the break callback is installed either way.
  explicit TProgress(bool enabled);
  ~TProgress();  // the break callback is always removed
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // Starts timing a step; value, when given, is shown beside the time.
  void Start(const std::string& step, const std::int32_t* value);
  // Ends the step: its time with two decimals.
  void Stop();

 private:
  static void Tick();
  bool enabled_;
};

}  // namespace rara::cli
