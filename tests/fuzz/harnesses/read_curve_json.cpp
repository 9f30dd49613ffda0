// Curve-file reader: JSON curve descriptions, both layouts.
#include "tests/fuzz/curve_file_check.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(read_curve_json) {
  EnsureRuntime();
  CheckCurveFile(data, size, [](const std::string& t, TCurveFile& c) { ReadCurveJson(t, c); });
  return 0;
}
