// Curve-file reader: X9.62 ECParameters in DER.
#include "tests/fuzz/curve_file_check.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(read_curve_der) {
  EnsureRuntime();
  CheckCurveFile(data, size, [](const std::string& t, TCurveFile& c) { ReadECParametersDer(t, c); });
  return 0;
}
