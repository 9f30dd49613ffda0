// rara-cli --audit FILE: the audit report on standard output, the false
// claims or the reason the file cannot be read on standard error.
#pragma once

#include <string>

namespace rara::cli {

inline constexpr int AuditClaimFalse = 1;  // a claim of the file does not hold
inline constexpr int AuditUnreadable = 2;  // the file cannot be read as a curve

int RunAudit(const std::string& fileName);

}  // namespace rara::cli
