// Fuzz target for the curve-file readers (DER, PEM, JSON): any input either
// reads as a curve within the readers' bounds or is refused with ERuv; a
// curve that reads is audited, which must not fail either.
//   clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I. fuzz/curve_file_fuzz.cpp <rara_core built with the same sanitizers>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "engine/audit.h"
#include "engine/curve_file.h"
#include "integers/errors.h"
#include "integers/runtime.h"

// The runtime is made once and never destroyed: the fuzzer ends the process
// with exit(), after which the runtime's own statics may already be gone.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  alignas(rara::TRuvRuntime) static unsigned char storage[sizeof(rara::TRuvRuntime)];
  ::new (storage) rara::TRuvRuntime;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rara;
  TCurveFile curve;
  try {
    ReadCurveText(std::string(reinterpret_cast<const char*>(data), size), curve);
  } catch (const ERuv&) {
    return 0;
  }
  if (curve.N < CurveFileMinDegree || curve.N > CurveFileMaxDegree || curve.A.Degree() >= curve.N ||
      curve.B.Degree() >= curve.N || curve.Gx.Degree() >= curve.N || curve.Gy.Degree() >= curve.N)
    std::abort();
  // Counting large fields is slow; the audit of small ones covers its paths.
  if (curve.N <= 64) {
    TAuditResult result;
    AuditCurve(curve, result);
  }
  return 0;
}
