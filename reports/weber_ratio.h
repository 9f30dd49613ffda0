// The precision ratio of the Weber polynomial for front ends without a
// dialog to ask for a larger one: a forced ratio, or the automatic sequence
// that starts at the dialog's default and goes on with larger ratios until W
// is consistent. The default precision rule is slightly too small for a few
// discriminants.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rara {

class TECGF2Data;

inline constexpr long double AutoRatios[] = {1.0L, 1.25L, 1.5L, 1.75L, 2.0L, 2.5L, 3.0L};

// "0.75", "1.0", "1.25", "2.0", ...
std::string RatioText(long double ratio);

struct TWeberOutcome {
  bool Consistent = false;
  long double Ratio = 0;            // the ratio of the last W computed
  std::vector<long double> Failed;  // ratios that gave an inconsistent W, in order
};

// Told when each computation of W starts (with the progress value to show,
// or null) and ends.
class TWeberSteps {
 public:
  virtual ~TWeberSteps() = default;
  virtual void Start(const std::string& step, const std::int32_t* value) = 0;
  virtual void Stop() = 0;
};

// Computes W at the forced ratio, or else at each automatic ratio in turn
// until W is consistent (the record then holds that W).
TWeberOutcome ComputeWeber(TECGF2Data& data, std::optional<long double> forced,
                           TWeberSteps& steps, std::int32_t& value);

// The line for standard error when the automatic sequence went past its
// first ratio, or the failure when no ratio gave a consistent W.
std::string WeberOutcomeText(const TWeberOutcome& outcome);

}  // namespace rara
