// Text forms of binary polynomials: binary and hexadecimal digit strings,
// highest coefficient first, optionally cut into blank-separated groups, and
// the degree list "[163, 7, 6, 3, 0]".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gf2/gf2_poly.h"

namespace rara {

// A := the polynomial written in S: binary digits, or hexadecimal digits
// (either case) when hex. Blanks, tabs and line breaks are ignored anywhere;
// no digits (or only zeros) give 0. Any other character: ERuvInvalidArg
// "GF2Set", "S has not a valid syntax", A unchanged.
void GF2Set(TGF2Poly& a, std::string_view s, bool hex);

// Digit strings without leading zeros; group > 0 cuts them into groups of
// that many digits from the right. StrZeroPad pads the leftmost group (and
// writes zero as one full group); StrLowerHex picks the hexadecimal case.
std::string GF2ToBinStr(const TGF2Poly& a, std::int32_t group);
std::string GF2ToHexStr(const TGF2Poly& a, std::int32_t group);

// "[" degree, then the lower non-zero coefficients high to low, "]";
// separator ", " when spaced, else ",". Degrees 0 and -1 give "[]".
std::string GF2DegsToStr(const TGF2Poly& a, bool spaced);

}  // namespace rara
