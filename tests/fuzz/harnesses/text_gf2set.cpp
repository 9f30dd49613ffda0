// GF2Set on binary and hexadecimal text: the result is what a plain
// digit-by-digit reading gives, a refused text leaves the polynomial as it
// was, and the text forms read back to the same polynomial in every layout.
#include "gf2/gf2_text.h"
#include "integers/settings.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

// The polynomial of the text, or false when it is not one.
bool Reference(const std::string& s, bool hex, TGF2Poly& p) {
  std::vector<int> digits;
  for (char c : s) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0 || v >= (hex ? 16 : 2)) return false;
    digits.push_back(v);
  }
  p.Clear();
  const int bits = hex ? 4 : 1;
  const std::size_t n = digits.size();
  for (std::size_t k = 0; k < n; ++k)
    for (int b = 0; b < bits; ++b)
      if ((digits[n - 1 - k] >> b) & 1) p.SetCoef(static_cast<std::int32_t>(k) * bits + b, true);
  return true;
}

}  // namespace

RARA_FUZZ_ENTRY(text_gf2set) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  const std::uint8_t mode = in.U8();
  const bool hex = (mode & 1) != 0;
  const std::int32_t group = (mode >> 1) & 15;
  const std::string text = in.Rest();

  TGF2Poly expected;
  const bool valid = Reference(text, hex, expected);
  TGF2Poly a;
  a.SetWord(0xBEEF);
  try {
    GF2Set(a, text, hex);
  } catch (const ERuvInvalidArg& e) {
    FUZZ_CHECK(!valid, "GF2Set refused a valid text");
    FUZZ_CHECK(std::string(e.what()) == "GF2Set\r\nInvalid parameter\r\nS has not a valid syntax", "GF2Set message");
    FUZZ_CHECK(a.Count() == 1 && a.Words()[0] == 0xBEEF, "a refused text changed the polynomial");
    return 0;
  }
  FUZZ_CHECK(valid, "GF2Set accepted an invalid text");
  FUZZ_CHECK(GF2Equal(a, expected), "GF2Set read a different polynomial");
  FUZZ_CHECK(a.IsZero() || a.Words()[a.Count() - 1] != 0, "GF2Set result not in normal form");

  const bool zeroPad = StrZeroPad, lowerHex = StrLowerHex;
  StrZeroPad = (mode & 0x20) != 0;
  StrLowerHex = (mode & 0x40) != 0;
  const std::string bin = GF2ToBinStr(a, group), hx = GF2ToHexStr(a, group);
  StrZeroPad = zeroPad;
  StrLowerHex = lowerHex;
  TGF2Poly b;
  GF2Set(b, bin, false);
  FUZZ_CHECK(GF2Equal(a, b), "binary text does not read back: " + bin);
  GF2Set(b, hx, true);
  FUZZ_CHECK(GF2Equal(a, b), "hexadecimal text does not read back: " + hx);
  return 0;
}
