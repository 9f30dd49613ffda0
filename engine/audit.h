// Auditing a binary curve that someone else made: every claim its file makes
// (a field, a non-singular curve, a generator on it of prime order R, the
// group order R·cofactor, b from the seed) is checked with our own
// arithmetic, the points are counted independently, and the security
// verdicts of our own curves are given as well.
#pragma once

#include <string>
#include <vector>

#include "engine/curve_file.h"

namespace rara {

struct TAuditResult {
  std::vector<std::string> Lines;        // the report, one text line each
  std::vector<std::string> FalseClaims;  // what the file claims and does not hold
};

// Audits the curve read from a file (the curve is not changed). Polls RuvBreak.
void AuditCurve(const TCurveFile& curve, TAuditResult& result);

}  // namespace rara
