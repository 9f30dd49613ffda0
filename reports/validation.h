// Checks of the entries of a construction, shared by the dialogs and the
// batch front end: the parameter entries with their ranges and corrections,
// the consistency of the Weber polynomial, and the field polynomial with its
// two notations and the built-in list choices.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gf2/gf2_poly.h"

namespace rara {

class TECGF2Data;

// ---- Parameter entries ----
inline constexpr std::int32_t MinFieldDegree = 64;
inline constexpr std::int32_t MaxFieldDegree = 360;       // the parameters dialog
inline constexpr std::int32_t BatchMaxFieldDegree = 571;  // the batch front end
inline constexpr std::int32_t MinTrialBound = 32767;
inline constexpr std::int32_t MaxTrialBound = 4194303;
inline constexpr std::int32_t MaxDiscriminant = 9999999;
inline constexpr long double PrecisionRatios[5] = {0.75L, 1.0L, 1.25L, 1.5L, 1.75L};

struct TParamEntries {
  std::int32_t N = 64;
  std::int32_t KMaxSize = 15;
  std::int32_t TrialBound = 32767;
  std::int32_t D = 0;
  bool KMod4 = false;
};

enum class TParamEntry { None, FieldDegree, KMaxSize, TrialBound, Discriminant };

// Labels and range hints of the entries, as the parameters dialog shows them.
inline constexpr std::string_view FieldDegreeLabel = "Field degree";
inline constexpr std::string_view KMaxSizeLabel = "K Max binary size";
inline constexpr std::string_view TrialBoundLabel = "Trial division bound";
inline constexpr std::string_view DiscriminantLabel = "CM discriminant";
inline constexpr std::string_view PrecisionRatioLabel = "Floating-point Precision Ratio";
inline constexpr std::string_view FieldDegreeHint = "Min = 64, Max = 360";
inline constexpr std::string_view BatchFieldDegreeHint = "Min = 64, Max = 571";
inline constexpr std::string_view TrialBoundHint = "Min = 32767, Max = 4194303";
inline constexpr std::string_view DiscriminantHint = "Min = 0, Max = 9999999";
std::string_view KMaxSizeHint(bool kMod4);  // "Min = 2, ..." or "Min = 3, ..."

std::int32_t KMaxSizeLimit(std::int32_t n);  // (4·N) div 5
std::int32_t KMaxSizeMin(bool kMod4);        // 2, or 3 with K mod 4 = 0

// A decimal integer entry (sign allowed, blanks around it ignored); false
// when the text is not one or does not fit 32 bits.
bool ReadIntEntry(std::string_view text, std::int32_t& value);

// The bound lowered to 2^KMaxSize - 1 when it has more bits than K may have
// (32767 when that is below 32768), then kept within 32767..4194303.
std::int32_t CorrectTrialBound(std::int32_t bound, std::int32_t kMaxSize);
// The spin steps of the bound between values 2^k - 1.
std::int32_t TrialBoundUp(std::int32_t bound);
std::int32_t TrialBoundDown(std::int32_t bound);

// Checks the entries in the dialog's order, writing every correction into
// them. Returns the entry that failed (the one to focus), or None. The trial
// bound is corrected without failing. A negative discriminant fails and
// becomes 0: the search is defined from 0 upwards. N may go up to
// maxDegree (the batch front end passes BatchMaxFieldDegree).
TParamEntry ValidateParams(TParamEntries& entries, std::int32_t maxDegree = MaxFieldDegree);

// ---- Weber polynomial ----
inline constexpr std::string_view WeberFailedMessage =
    "Failed computation\r\n"
    "An error occurred while computing the Weber polynomial.\r\n"
    "You should increase the \"Floating-point Precision Ratio\" and restart the computation.";

// True when W is irreducible, or its factors all have degree deg W / count
// and are irreducible (checked in order, stopping at the first failure).
bool WeberPolyConsistent(const TECGF2Data& data);

// ---- Field polynomial ----
enum class TFieldPolyError { None, Syntax, Degree, NotIrreducible, NotNormal };

// Parses a hexadecimal text (first character a hexadecimal digit, degree
// 64..maxDegree) or a list of decreasing degrees "[163,7,6,3,0]" (degree 64
// up to maxDegree). Blanks are ignored. False, P unchanged, when the text is
// invalid.
bool ParseFieldPoly(std::string_view text, TGF2Poly& p, std::int32_t maxDegree = MaxFieldDegree);

// The curve dialog's check of a field polynomial text for degree N in the
// basis (0 standard, 1 normal); P receives the parsed polynomial.
TFieldPolyError CheckFieldPoly(std::string_view text, std::int32_t n, std::uint8_t basis,
                               TGF2Poly& p, std::int32_t maxDegree = MaxFieldDegree);
// The message of a failed check ("" for None).
std::string FieldPolyMessage(TFieldPolyError error, std::int32_t n);

// The other notation of a parsable text: a list becomes hexadecimal without
// groups, anything else a list of degrees. An unparsable text is returned as
// it is.
std::string ToggleFieldPolyText(std::string_view text);

// Status texts of the built-in lists for N: "(None)", "(Same as P1363 list)"
// or "" for the ANSI X9.63 entry; "of type T" or "(None)" for the Gaussian one.
// The lists end at maxDegree (the batch front end passes
// BatchFieldListMaxDegree).
bool X963Available(std::int32_t n, std::int32_t maxDegree = MaxFieldDegree);
std::string X963StatusText(std::int32_t n, std::int32_t maxDegree = MaxFieldDegree);
bool GaussAvailable(std::int32_t n, std::int32_t maxDegree = MaxFieldDegree);
std::string GaussStatusText(std::int32_t n, std::int32_t maxDegree = MaxFieldDegree);

}  // namespace rara
