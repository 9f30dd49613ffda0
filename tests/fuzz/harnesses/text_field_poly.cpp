// The field polynomial entry of the curve dialog: hexadecimal text or the
// degree list "[163,7,6,3,0]". A refused text leaves the polynomial as it
// was; an accepted one has a degree of the entry's range, its toggled
// notation reads back to the same polynomial, and the check of the dialog
// agrees with it.
#include "gf2/gf2_factor.h"
#include "gf2/gf2_text.h"
#include "reports/validation.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(text_field_poly) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  const std::uint8_t basis = in.U8() & 1;
  const std::string text = in.Rest();

  TGF2Poly p;
  p.SetWord(0xBEEF);
  if (!ParseFieldPoly(text, p)) {
    FUZZ_CHECK(p.Count() == 1 && p.Words()[0] == 0xBEEF, "a refused field polynomial text changed P");
    FUZZ_CHECK(ToggleFieldPolyText(text) == text, "a refused text was toggled");
    TGF2Poly q;
    FUZZ_CHECK(CheckFieldPoly(text, 163, basis, q) == TFieldPolyError::Syntax, "check of a refused text");
    return 0;
  }
  FUZZ_CHECK(p.Degree() >= MinFieldDegree && p.Degree() <= MaxFieldDegree,
             "accepted field polynomial of degree " + std::to_string(p.Degree()));

  const std::string toggled = ToggleFieldPolyText(text);
  TGF2Poly q;
  FUZZ_CHECK(ParseFieldPoly(toggled, q) && GF2Equal(p, q), "toggled text reads differently: " + toggled);
  const std::string back = ToggleFieldPolyText(toggled);
  FUZZ_CHECK(ParseFieldPoly(back, q) && GF2Equal(p, q), "text toggled twice reads differently: " + back);
  FUZZ_CHECK(ToggleFieldPolyText(back) == toggled, "toggling is not stable");
  const std::string list = GF2DegsToStr(p, true);
  FUZZ_CHECK(ParseFieldPoly(list, q) && GF2Equal(p, q), "the degree list does not read back: " + list);

  const TFieldPolyError e = CheckFieldPoly(text, p.Degree(), basis, q);
  const bool proper = basis == 0 ? GF2IsIrreducible(p) : GF2IsNormal(p);
  FUZZ_CHECK((e == TFieldPolyError::None) == proper, "the field polynomial check disagrees");
  FUZZ_CHECK(CheckFieldPoly(text, p.Degree() + 1, basis, q) == TFieldPolyError::Degree, "degree check");
  FUZZ_CHECK(!FieldPolyMessage(e, p.Degree()).empty() || e == TFieldPolyError::None, "message of a failed check");
  return 0;
}
