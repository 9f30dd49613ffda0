// Message templates of the library errors.
#include "integers/errors.h"

namespace rara {

namespace {
std::string Join(std::string_view a, std::string_view b) {
  std::string s;
  s.reserve(a.size() + b.size() + 2);
  s.append(a).append("\r\n").append(b);
  return s;
}
}  // namespace

void RaiseRuv(const std::string& msg) { throw ERuv(msg); }
void RaiseDivByZero(std::string_view name) { throw ERuvDivByZero(Join(name, "Division by 0")); }
void RaiseDuplicatePtr(std::string_view name, std::string_view params) {
  throw ERuvDuplicatePtr(Join(name, std::string(params) + " must point to distinct objects"));
}
void RaiseFileError(std::string_view name, std::string_view fileName) {
  throw ERuvFileError(Join(name, "Invalid \"" + std::string(fileName) + "\" file"));
}
void RaiseIndexError(std::string_view name) { throw ERuvIndexError(Join(name, "Invalid index")); }
void RaiseInvalidArg(std::string_view name, std::string_view why) {
  throw ERuvInvalidArg(Join(Join(name, "Invalid parameter"), why));
}
void RaiseInvalidCall(std::string_view name, std::string_view why) {
  throw ERuvInvalidCall(Join(Join(name, "Invalid call"), why));
}
void RaiseOverflow(std::string_view name) { throw ERuvOverflow(Join(name, "Overflow")); }
void RaiseSizeError(std::string_view name) { throw ERuvSizeError(Join(name, "Invalid size specification")); }
void RaiseStreamError(std::string_view name) { throw ERuvStreamError(Join(name, "Invalid stream")); }
void RaiseAbort() { throw ERuvAbort(std::string(RuvAbortMessage)); }

}  // namespace rara
