// Display settings of the reports: binary or hexadecimal strings, and the
// reversed bit order of field elements. One process-wide set, used by the
// main thread; the text routines also take an explicit set.
#pragma once

#include <string>

namespace rara {

struct TDisplaySettings {
  bool Binary = false;    // binary strings instead of hexadecimal
  bool Reversed = false;  // field elements shown with their N coefficients reversed

  // "binary" or "hexadecimal", as the report notes name the representation.
  std::string RepresentationName() const { return Binary ? "binary" : "hexadecimal"; }
};

// The process-wide settings (defaults: hexadecimal, not reversed).
TDisplaySettings& DisplaySettings();

}  // namespace rara
