// The curve as one JSON object: the fields of the public binary-curve
// database schema, plus a "rara" block with how it was built and the checks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rara {

class TECGF2Data;
struct TTrustReport;

struct TExportInfo {
  std::string Name;                 // empty: made from N and D
  std::string FieldList;            // where the field polynomial came from
  std::optional<std::string> Seed;  // the user's seed, if one was given
};

// Text with JSON string escapes, without the quotes. JSON text is Unicode:
// a byte that does not belong to a well-formed UTF-8 sequence becomes U+FFFD.
std::string JsonEscape(const std::string& text);

// Length of the well-formed UTF-8 sequence at the start of text (1 to 4),
// 0 when there is none (stray, overlong, surrogate or beyond U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text);
// True when the whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// Raises ERuv when there is no point.
std::string CurveJson(const TECGF2Data& data, const TTrustReport& trust, const TExportInfo& info);

}  // namespace rara
