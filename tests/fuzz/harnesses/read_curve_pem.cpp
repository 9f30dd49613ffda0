// Curve-file reader: curve file content, PEM seeds (the content decides the reader).
#include "tests/fuzz/curve_file_check.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(read_curve_pem) {
  EnsureRuntime();
  CheckCurveFile(data, size, [](const std::string& t, TCurveFile& c) { ReadCurveText(t, c); });
  return 0;
}
