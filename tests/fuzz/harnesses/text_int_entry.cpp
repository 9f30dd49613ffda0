// The numeric entries of the dialogs: ReadIntEntry against a plain reading
// of an optionally signed decimal with blanks around it, and the parameter
// checks and trial bound steps, whose results must stay in their ranges.
#include <algorithm>

#include "reports/validation.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool Reference(std::string s, std::int32_t& v) {
  while (!s.empty() && Blank(s.front())) s.erase(0, 1);
  while (!s.empty() && Blank(s.back())) s.pop_back();
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.erase(0, 1);
  }
  if (s.empty()) return false;
  std::int64_t m = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    m = m * 10 + (c - '0');
    if (m > std::int64_t{1} << 32) m = std::int64_t{1} << 32;  // too large either way
  }
  if (negative) m = -m;
  if (m < INT32_MIN || m > INT32_MAX) return false;
  v = static_cast<std::int32_t>(m);
  return true;
}

}  // namespace

RARA_FUZZ_ENTRY(text_int_entry) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  TParamEntries e;
  e.N = static_cast<std::int32_t>(in.U32());
  e.KMaxSize = static_cast<std::int32_t>(in.U32());
  e.TrialBound = static_cast<std::int32_t>(in.U32());
  e.D = static_cast<std::int32_t>(in.U32());
  e.KMod4 = (in.U8() & 1) != 0;
  const std::string text = in.Rest();

  std::int32_t expected = 0, got = 12345;
  const bool valid = Reference(text, expected);
  const bool read = ReadIntEntry(text, got);
  FUZZ_CHECK(read == valid, "ReadIntEntry " + std::string(read ? "accepted" : "refused") + " \"" + text + "\"");
  FUZZ_CHECK(read ? got == expected : got == 12345, "ReadIntEntry value of \"" + text + "\"");

  // The steps of the trial bound spin box stay in range and move the right way.
  const std::int32_t up = TrialBoundUp(e.TrialBound), down = TrialBoundDown(e.TrialBound);
  FUZZ_CHECK(up >= MinTrialBound && up <= MaxTrialBound && down >= MinTrialBound && down <= MaxTrialBound,
             "trial bound step out of range");
  if (e.TrialBound >= MinTrialBound && e.TrialBound < MaxTrialBound) FUZZ_CHECK(up > e.TrialBound, "bound step up");
  if (e.TrialBound > MinTrialBound && e.TrialBound <= MaxTrialBound) FUZZ_CHECK(down < e.TrialBound, "bound step down");
  const std::int32_t corrected = CorrectTrialBound(e.TrialBound, e.KMaxSize);
  FUZZ_CHECK(corrected >= MinTrialBound && corrected <= MaxTrialBound, "corrected trial bound out of range");

  // The checks correct what they refuse; once they pass, every entry is in range.
  TParamEntries v = e;
  TParamEntry failed = TParamEntry::None;
  for (int round = 0; round < 4 && (failed = ValidateParams(v)) != TParamEntry::None; ++round)
    if (failed == TParamEntry::FieldDegree) v.N = std::clamp(v.N, MinFieldDegree, MaxFieldDegree);
  FUZZ_CHECK(failed == TParamEntry::None, "the parameter checks do not settle");
  FUZZ_CHECK(v.N >= MinFieldDegree && v.N <= MaxFieldDegree && v.KMaxSize >= KMaxSizeMin(v.KMod4) &&
                 v.KMaxSize <= KMaxSizeLimit(v.N) && v.TrialBound >= MinTrialBound &&
                 v.TrialBound <= MaxTrialBound && v.D >= 0 && v.D <= MaxDiscriminant,
             "checked parameters out of range");
  return 0;
}
