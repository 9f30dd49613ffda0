// The Weber polynomial's steps as rara-cli progress.
#include "cli/weber_ratio.h"

#include "cli/progress.h"

namespace rara::cli {

namespace {

class TProgressSteps : public TWeberSteps {
 public:
  explicit TProgressSteps(TProgress& progress) : progress_(progress) {}
  void Start(const std::string& step, const std::int32_t* value) override {
    progress_.Start(step, value);
  }
  void Stop() override { progress_.Stop(); }

 private:
  TProgress& progress_;
};

}  // namespace

TWeberOutcome ComputeWeber(TECGF2Data& data, std::optional<long double> forced,
                           TProgress& progress, std::int32_t& value) {
  TProgressSteps steps(progress);
  return rara::ComputeWeber(data, forced, steps, value);
}

}  // namespace rara::cli
