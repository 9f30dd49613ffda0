// What a user needs to trust a curve without re-deriving it: the proof that
// its order is K·R, and the security verdicts with their thresholds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "integers/integers.h"

namespace rara {

class TECGF2Data;

enum class TVerdictLevel { Pass, Fail, Note };

struct TVerdict {
  std::string Key;        // short stable name, used in the JSON
  TVerdictLevel Level = TVerdictLevel::Note;
  std::string Text;       // what was found
  std::string Threshold;  // what decides between PASS and FAIL
};

struct TOrderProof {
  bool Proven = false;
  std::string Reason;     // why it holds, or why it could not be shown
  // #E from an independent point count (decimal), empty when not counted,
  // and whether it equals K·R.
  std::string PointCount;
  bool CountConfirmed = false;
};

struct TTrustReport {
  TOrderProof Proof;
  std::int32_t EmbeddingBound = 0;   // m searched in 1..EmbeddingBound
  std::int32_t EmbeddingDegree = 0;  // smallest m with 2^m = 1 (mod R), 0 none
  TInteger Trace;                    // t = 2^N + 1 - K·R
  TInteger TwistOrder;               // 2^(N+1) + 2 - K·R
  std::string TwistSmallFactors;     // "2^2 * 3", empty when none
  TInteger TwistRest;                // the twist order without its small factors
  bool TwistRestPrime = false;
  std::vector<TVerdict> Verdicts;
};

const char* VerdictLevelName(TVerdictLevel level);  // "PASS", "FAIL", "NOTE"

// Smallest m in 1..bound with 2^m = 1 (mod r), 0 when there is none; r >= 3 odd.
std::int32_t EmbeddingDegreeOf2(const TInteger& r, std::int32_t bound);

// m is searched up to this bound: 1000 extension degrees of N.
std::int32_t EmbeddingSearchBound(std::int32_t n);

// The order proof for the record's current point: R prime, P a point of
// order R, K·R in the Hasse interval and R > 4·2^(N/2), so that K·R is the
// only multiple of R the interval holds.
TOrderProof ProveOrder(TECGF2Data& data);

// Proof and verdicts of the record (parameters at least; the proof needs a point).
// A caller that has counted the curve's points already passes the count, which
// is then not counted again.
void CheckTrust(TECGF2Data& data, TTrustReport& report, const TInteger* pointCount = nullptr);

// The checks section as text lines, for printing after the reports.
std::vector<std::string> TrustLines(const TECGF2Data& data, const TTrustReport& report);

}  // namespace rara
