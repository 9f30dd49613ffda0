// Number and polynomial texts of the reports.
#include "reports/report_text.h"

#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/settings.h"

namespace rara {

TTextSettingsGuard::TTextSettingsGuard() : zeroPad_(StrZeroPad), lowerHex_(StrLowerHex) {
  StrZeroPad = false;
  StrLowerHex = true;
}

TTextSettingsGuard::~TTextSettingsGuard() {
  StrZeroPad = zeroPad_;
  StrLowerHex = lowerHex_;
}

std::string IntText(const TInteger& a) {
  std::string s;
  IStr(a, 10, 5, false, false, s);
  return s;
}

std::string PolyText(const TGF2Poly& p, std::int32_t n, const TDisplaySettings& settings) {
  if (p.Degree() < 0) return std::string(1, '0');
  TTextSettingsGuard guard;
  if (n > 0 && settings.Reversed) {
    TGF2Poly copy(p);
    GF2Reverse(copy, n);
    return settings.Binary ? GF2ToBinStr(copy, 8) : GF2ToHexStr(copy, 4);
  }
  return settings.Binary ? GF2ToBinStr(p, 8) : GF2ToHexStr(p, 4);
}

bool FieldPolyAsDegrees(const TGF2N& field) {
  return field.RedKind() == TGF2N::RedTrinomial || field.RedKind() == TGF2N::RedPentanomial;
}

std::string FieldPolyText(const TGF2N& field, const TDisplaySettings& settings) {
  if (FieldPolyAsDegrees(field)) return GF2DegsToStr(field.FieldPoly(), false);
  return PolyText(field.FieldPoly(), 0, settings);
}

}  // namespace rara
