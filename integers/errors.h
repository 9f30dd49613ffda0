// Exception classes of the arithmetic library and the routines that raise them
// with their fixed message templates.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace rara {

// Root of every library error; also raised directly for internal misuse.
class ERuv : public std::runtime_error {
 public:
  explicit ERuv(const std::string& msg) : std::runtime_error(msg) {}
};

#define RARA_DECLARE_ERUV(Name)                                  \
  class Name : public ERuv {                                     \
   public:                                                       \
    explicit Name(const std::string& msg) : ERuv(msg) {}         \
  };
RARA_DECLARE_ERUV(ERuvAbort)
RARA_DECLARE_ERUV(ERuvDivByZero)
RARA_DECLARE_ERUV(ERuvDuplicatePtr)
RARA_DECLARE_ERUV(ERuvFileError)
RARA_DECLARE_ERUV(ERuvIndexError)
RARA_DECLARE_ERUV(ERuvInvalidArg)
RARA_DECLARE_ERUV(ERuvInvalidCall)
RARA_DECLARE_ERUV(ERuvOverflow)
RARA_DECLARE_ERUV(ERuvSizeError)
RARA_DECLARE_ERUV(ERuvStreamError)
#undef RARA_DECLARE_ERUV

// The message of ERuvAbort.
inline constexpr std::string_view RuvAbortMessage = "Ruv - Operation aborted";

// Each routine builds its message and throws; none returns.
// Name is a routine name ("IDiv") or class.method ("TInteger.Bit").
[[noreturn]] void RaiseRuv(const std::string& msg);                                   // ERuv, verbatim
[[noreturn]] void RaiseDivByZero(std::string_view name);                              // "%s\r\nDivision by 0"
[[noreturn]] void RaiseDuplicatePtr(std::string_view name, std::string_view params);  // "%s\r\n%s must point to distinct objects"
[[noreturn]] void RaiseFileError(std::string_view name, std::string_view fileName);   // "%s\r\nInvalid \"%s\" file"
[[noreturn]] void RaiseIndexError(std::string_view name);                             // "%s\r\nInvalid index"
[[noreturn]] void RaiseInvalidArg(std::string_view name, std::string_view why);       // "%s\r\nInvalid parameter\r\n%s"
[[noreturn]] void RaiseInvalidCall(std::string_view name, std::string_view why);      // "%s\r\nInvalid call\r\n%s"
[[noreturn]] void RaiseOverflow(std::string_view name);                               // "%s\r\nOverflow"
[[noreturn]] void RaiseSizeError(std::string_view name);                              // "%s\r\nInvalid size specification"
[[noreturn]] void RaiseStreamError(std::string_view name);                            // "%s\r\nInvalid stream"
[[noreturn]] void RaiseAbort();                                                       // "Ruv - Operation aborted"

}  // namespace rara
