// The audit run of rara-cli.
#include "cli/audit_run.h"
#include "cli/std_output.h"

#include <cstdio>

#include "engine/audit.h"
#include "engine/curve_file.h"
#include "integers/errors.h"

namespace rara::cli {

namespace {

std::string OneLine(std::string text) {
  for (std::size_t i; (i = text.find("\r\n")) != std::string::npos;) text.replace(i, 2, ": ");
  return text;
}

}  // namespace

int RunAudit(const std::string& fileName) {
  TCurveFile curve;
  try {
    ReadCurveFile(fileName, curve);
  } catch (const ERuvAbort&) {
    throw;
  } catch (const ERuv& e) {
    // A file that cannot be read says so itself; a content fault is named
    // after the file.
    const std::string message = OneLine(e.what());
    if (message.starts_with("Cannot read \""))
      std::fprintf(stderr, "rara-cli: c%s\n", message.c_str() + 1);
    else
      std::fprintf(stderr, "rara-cli: cannot audit \"%s\": %s\n", fileName.c_str(), message.c_str());
    return AuditUnreadable;
  }
  TAuditResult result;
  AuditCurve(curve, result);
  std::string text;
  for (const std::string& line : result.Lines) text += line + "\n";
  WriteOut(text);
  for (const std::string& claim : result.FalseClaims)
    std::fprintf(stderr, "rara-cli: false claim in \"%s\": %s\n", fileName.c_str(), claim.c_str());
  return result.FalseClaims.empty() ? 0 : AuditClaimFalse;
}

}  // namespace rara::cli
