// Texts of the values in the reports: large integers in grouped decimal,
// polynomials over GF(2) and field elements in the chosen representation,
// and field polynomials as lists of degrees.
#pragma once

#include <cstdint>
#include <string>

#include "gf2/gf2_poly.h"
#include "integers/integers.h"
#include "reports/display_settings.h"

namespace rara {

class TGF2N;

// The digit conversions read per-thread text settings; report texts need
// unpadded lower-case digits whatever another part of the program chose.
// Holds those for a scope and restores the previous ones.
class TTextSettingsGuard {
 public:
  TTextSettingsGuard();
  ~TTextSettingsGuard();
  TTextSettingsGuard(const TTextSettingsGuard&) = delete;
  TTextSettingsGuard& operator=(const TTextSettingsGuard&) = delete;

 private:
  bool zeroPad_;
  bool lowerHex_;
};

// Decimal, no sign, groups of 5 digits from the right separated by a blank.
std::string IntText(const TInteger& a);

// P in the settings' representation, highest coefficient first, groups of 4
// hexadecimal or 8 binary digits from the right, no zero padding, "0" for
// zero. n > 0 marks a field element of GF(2^n): with Reversed its n low
// coefficients are shown in reversed order. P is not changed.
std::string PolyText(const TGF2Poly& p, std::int32_t n,
                     const TDisplaySettings& settings = DisplaySettings());

// True when the field keeps its polynomial as a trinomial or pentanomial;
// the reports then show it as a list of degrees.
bool FieldPolyAsDegrees(const TGF2N& field);
// "[163,7,6,3,0]" for such a field, else PolyText of the field polynomial.
std::string FieldPolyText(const TGF2N& field,
                          const TDisplaySettings& settings = DisplaySettings());

}  // namespace rara
