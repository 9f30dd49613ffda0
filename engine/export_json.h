// The curve as one JSON object: the fields of the public binary-curve
// database schema, plus a "rara" block with how it was built and the checks.
#pragma once

#include <optional>
#include <string>

namespace rara {

class TECGF2Data;
struct TTrustReport;

struct TExportInfo {
  std::string Name;                 // empty: made from N and D
  std::string FieldList;            // where the field polynomial came from
  std::optional<std::string> Seed;  // the user's seed, if one was given
};

// Text with JSON string escapes, without the quotes.
std::string JsonEscape(const std::string& text);

// Raises ERuv when there is no point.
std::string CurveJson(const TECGF2Data& data, const TTrustReport& trust, const TExportInfo& info);

}  // namespace rara
