// The process-wide display settings.
#include "reports/display_settings.h"

namespace rara {

TDisplaySettings& DisplaySettings() {
  static TDisplaySettings settings;
  return settings;
}

}  // namespace rara
