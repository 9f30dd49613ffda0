// The Weber polynomial in rara-cli at a forced or the automatic precision
// ratio (reports/weber_ratio.h), with the steps shown as progress.
#pragma once

#include <cstdint>
#include <optional>

#include "reports/weber_ratio.h"

namespace rara::cli {

class TProgress;

TWeberOutcome ComputeWeber(TECGF2Data& data, std::optional<long double> forced,
                           TProgress& progress, std::int32_t& value);

}  // namespace rara::cli
