// What the curve-file harnesses require of a reader: a refusal is an ERuv
// (anything else escapes as a crash) and holds at most a few times the
// input; a curve that reads is within the readers' bounds, and the audit of
// a small one runs through without failing.
#pragma once

#include <functional>
#include <string>

#include "engine/audit.h"
#include "engine/curve_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace rara::fuzz {

inline void CheckCurveFile(const std::uint8_t* data, std::size_t size,
                           const std::function<void(const std::string&, TCurveFile&)>& read) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TCurveFile curve;
  {
    TAllocWatch watch(size);
    try {
      read(text, curve);
    } catch (const ERuv& e) {
      watch.Check("curve file refused");
      FUZZ_CHECK(std::string(e.what()).find_first_not_of(" \r\n") != std::string::npos, "empty message");
      return;
    }
    watch.Check("curve file read");
  }
  FUZZ_CHECK(curve.N >= CurveFileMinDegree && curve.N <= CurveFileMaxDegree, "curve file degree out of bounds");
  FUZZ_CHECK(curve.FieldPoly.Degree() == curve.N, "field polynomial of another degree");
  for (const TGF2Poly* e : {&curve.A, &curve.B, &curve.Gx, &curve.Gy})
    FUZZ_CHECK(e->Degree() < curve.N, "curve file element beyond the field");
  // Counting the points of large fields is slow; small ones cover the audit's paths.
  if (curve.N <= 64) {
    TAuditResult result;
    AuditCurve(curve, result);
  }
}

}  // namespace rara::fuzz
