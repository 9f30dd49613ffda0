// The Weber polynomial at a forced or an automatic precision ratio.
#include "reports/weber_ratio.h"

#include <cstdio>

#include "engine/construction.h"
#include "reports/validation.h"

namespace rara {

std::string RatioText(long double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2Lf", ratio);
  std::string s(text);
  if (s.size() > 3 && s.back() == '0') s.pop_back();
  return s;
}

TWeberOutcome ComputeWeber(TECGF2Data& data, std::optional<long double> forced,
                           TWeberSteps& steps, std::int32_t& value) {
  std::vector<long double> ratios;
  if (forced)
    ratios.push_back(*forced);
  else
    ratios.assign(std::begin(AutoRatios), std::end(AutoRatios));
  TWeberOutcome outcome;
  for (const long double ratio : ratios) {
    std::string step = "Weber polynomial modulo 2";
    if (!outcome.Failed.empty()) step += ", precision ratio " + RatioText(ratio);
    steps.Start(step, data.ClassNumber >= 256 ? &value : nullptr);
    data.ComputeWeberPoly(value, ratio);
    steps.Stop();
    outcome.Ratio = ratio;
    outcome.Consistent = WeberPolyConsistent(data);
    if (outcome.Consistent) break;
    outcome.Failed.push_back(ratio);
  }
  return outcome;
}

std::string WeberOutcomeText(const TWeberOutcome& o) {
  if (o.Consistent && o.Failed.empty()) return std::string();
  std::string failed;
  for (std::size_t i = 0; i < o.Failed.size(); ++i)
    failed += (i == 0 ? "" : i + 1 == o.Failed.size() ? " and " : ", ") + RatioText(o.Failed[i]);
  if (o.Consistent)
    return "the Weber polynomial is consistent at precision ratio " + RatioText(o.Ratio) +
           " (inconsistent at " + failed + ")";
  if (o.Failed.size() == 1) return std::string(WeberFailedMessage);
  return "Failed computation\r\nThe Weber polynomial is inconsistent at every precision ratio "
         "tried: " + failed + ".";
}

}  // namespace rara
