// Entry checks shared by the dialogs and the batch front end.
#include "reports/validation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdlib>

#include "engine/construction.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_text.h"
#include "integers/errors.h"
#include "reports/report_text.h"

namespace rara {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string WithoutSpaces(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ') s += c;
  return s;
}

// "[d0,d1,...]" with strictly decreasing degrees up to maxDegree. An empty
// item (two separators in a row) is a syntax error like any other.
bool ParseDegreeList(const std::string& s, TGF2Poly& p, std::int32_t maxDegree) {
  const std::size_t len = s.size();
  if (len < 3 || s.back() != ']') return false;
  std::vector<std::int32_t> degrees;
  std::int32_t previous = maxDegree + 1;
  // The final "]" is never read as an item's start, so "[163,7,]" is accepted.
  std::size_t i = 1;
  while (i + 1 < len) {
    std::size_t j = i;
    while (j < len && IsDigit(s[j])) ++j;
    if (j == i || j - i > 9 || j >= len || (s[j] != ',' && s[j] != ']')) return false;
    std::int32_t degree = 0;
    std::from_chars(s.data() + i, s.data() + j, degree);
    if (degree >= previous) return false;
    degrees.push_back(degree);
    previous = degree;
    i = j + 1;
  }
  if (degrees.empty() || degrees.front() < MinFieldDegree) return false;
  GF2SetDegs(p, degrees);
  return true;
}

bool ParseHex(const std::string& s, TGF2Poly& p, std::int32_t maxDegree) {
  TGF2Poly q;
  try {
    GF2Set(q, s, true);
  } catch (const ERuv&) {
    return false;
  }
  if (q.Degree() < MinFieldDegree || q.Degree() > maxDegree) return false;
  p.Assign(q);
  return true;
}

constexpr std::array<std::int32_t, 7> X963SameAsP1363 = {179, 192, 246, 254, 304, 334, 344};

}  // namespace

std::string_view KMaxSizeHint(bool kMod4) {
  return kMod4 ? "Min = 3, Max = (4*Field degree) div 5" : "Min = 2, Max = (4*Field degree) div 5";
}

std::int32_t KMaxSizeLimit(std::int32_t n) { return 4 * n / 5; }
std::int32_t KMaxSizeMin(bool kMod4) { return kMod4 ? 3 : 2; }

bool ReadIntEntry(std::string_view text, std::int32_t& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  // One sign at most: "+-5" is not an integer.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  std::int32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  value = v;
  return true;
}

std::int32_t CorrectTrialBound(std::int32_t bound, std::int32_t kMaxSize) {
  const std::uint32_t magnitude =
      bound < 0 ? 0u - static_cast<std::uint32_t>(bound) : static_cast<std::uint32_t>(bound);
  const std::int32_t bits = static_cast<std::int32_t>(std::bit_width(magnitude));
  if (bits > kMaxSize) {
    // kMaxSize < bits <= 32 here.
    const std::int64_t power = std::int64_t{1} << std::max(kMaxSize, 0);
    bound = power < 32768 ? MinTrialBound : static_cast<std::int32_t>(power - 1);
  }
  return std::clamp(bound, MinTrialBound, MaxTrialBound);
}

std::int32_t TrialBoundUp(std::int32_t bound) {
  std::int64_t b = 32768;
  while (bound >= b - 1) b *= 2;
  return static_cast<std::int32_t>(std::min<std::int64_t>(b - 1, MaxTrialBound));
}

std::int32_t TrialBoundDown(std::int32_t bound) {
  std::int64_t b = 4194304;
  // Stops at 32768: below it the result is 32767 anyway, and a bound of 0 or
  // less would otherwise halve forever.
  if (bound <= b)
    while (bound <= b && b > 32768) b /= 2;
  return static_cast<std::int32_t>(std::max<std::int64_t>(b - 1, MinTrialBound));
}

TParamEntry ValidateParams(TParamEntries& e, std::int32_t maxDegree) {
  if (e.N > maxDegree || e.N < MinFieldDegree) return TParamEntry::FieldDegree;
  const std::int32_t kLimit = KMaxSizeLimit(e.N);
  if (e.KMaxSize > kLimit) {
    e.KMaxSize = kLimit;
    return TParamEntry::KMaxSize;
  }
  if (e.KMaxSize < KMaxSizeMin(e.KMod4)) {
    e.KMaxSize = KMaxSizeMin(e.KMod4);
    return TParamEntry::KMaxSize;
  }
  e.TrialBound = CorrectTrialBound(e.TrialBound, e.KMaxSize);
  if (e.D > MaxDiscriminant) {
    e.D = MaxDiscriminant;
    return TParamEntry::Discriminant;
  }
  if (e.D < 0) {
    e.D = 0;
    return TParamEntry::Discriminant;
  }
  return TParamEntry::None;
}

bool WeberPolyConsistent(const TECGF2Data& data) {
  if (data.WIrreducible) return true;
  const std::int32_t count = data.WFactors.Count();
  if (count == 0) return false;
  const std::int32_t d = data.W.Degree() / count;
  for (std::int32_t i = 0; i < count; ++i) {
    const TGF2Poly& f = data.WFactors.Cell(i);
    if (f.Degree() != d || !GF2IsIrreducible(f)) return false;
  }
  return true;
}

bool ParseFieldPoly(std::string_view text, TGF2Poly& p, std::int32_t maxDegree) {
  const std::string s = WithoutSpaces(text);
  if (s.empty()) return false;
  if (IsHexDigit(s.front())) return ParseHex(s, p, maxDegree);
  if (s.front() == '[') return ParseDegreeList(s, p, maxDegree);
  return false;
}

TFieldPolyError CheckFieldPoly(std::string_view text, std::int32_t n, std::uint8_t basis,
                               TGF2Poly& p, std::int32_t maxDegree) {
  if (!ParseFieldPoly(text, p, maxDegree)) return TFieldPolyError::Syntax;
  if (p.Degree() != n) return TFieldPolyError::Degree;
  if (basis == 0) {
    if (!GF2IsIrreducible(p)) return TFieldPolyError::NotIrreducible;
  } else if (!GF2IsNormal(p)) {
    return TFieldPolyError::NotNormal;
  }
  return TFieldPolyError::None;
}

std::string FieldPolyMessage(TFieldPolyError error, std::int32_t n) {
  switch (error) {
    case TFieldPolyError::None: return std::string();
    case TFieldPolyError::Syntax: return "Field polynomial: Invalid syntax";
    case TFieldPolyError::Degree:
      return "Field polynomial degree should be equal to " + std::to_string(n);
    case TFieldPolyError::NotIrreducible: return "Field polynomial should be irreducible";
    case TFieldPolyError::NotNormal: return "Field polynomial should be normal";
  }
  return std::string();
}

std::string ToggleFieldPolyText(std::string_view text) {
  TGF2Poly p;
  if (!ParseFieldPoly(text, p)) return std::string(text);
  const std::string s = WithoutSpaces(text);
  if (s.front() == '[') {
    TTextSettingsGuard guard;
    return GF2ToHexStr(p, 0);
  }
  return GF2DegsToStr(p, false);
}

bool X963Available(std::int32_t n, std::int32_t maxDegree) {
  return X963StatusText(n, maxDegree).empty();
}

std::string X963StatusText(std::int32_t n, std::int32_t maxDegree) {
  maxDegree = std::min<std::int32_t>(maxDegree, BatchFieldListMaxDegree);
  if (n < FieldListMinDegree || n > maxDegree || n <= X963MinDegree) return "(None)";
  if (std::find(X963SameAsP1363.begin(), X963SameAsP1363.end(), n) != X963SameAsP1363.end())
    return "(Same as P1363 list)";
  TGF2Poly p;
  GetX963Irreducible(p, n, maxDegree);
  if (p.Weight() == 3) return "(Same as P1363 list)";
  if (n > FieldListMaxDegree) {
    // Beyond the dialogs' lists the pentanomial degrees shared by both lists
    // are not listed above: compare the entries.
    TGF2Poly q;
    GetP1363Irreducible(q, n, maxDegree);
    if (GF2Equal(p, q)) return "(Same as P1363 list)";
  }
  return "";
}

bool GaussAvailable(std::int32_t n, std::int32_t maxDegree) {
  return n >= FieldListMinDegree && n <= std::min<std::int32_t>(maxDegree, BatchFieldListMaxDegree) &&
         GaussType(static_cast<std::uint16_t>(n)) != 0;
}

std::string GaussStatusText(std::int32_t n, std::int32_t maxDegree) {
  if (!GaussAvailable(n, maxDegree)) return "(None)";
  return "of type " + std::to_string(GaussType(static_cast<std::uint16_t>(n)));
}

}  // namespace rara
