// The process-wide services pointer.
#include "dialogs/ui_services.h"

#include <stdexcept>

namespace rara {

namespace {
TUiServices* Services = nullptr;
}

TUiServices& Ui() {
  if (Services == nullptr) throw std::logic_error("Ui: no user-interface services installed");
  return *Services;
}

void SetUi(TUiServices* services) { Services = services; }

}  // namespace rara
