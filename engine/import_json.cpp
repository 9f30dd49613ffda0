// A binary curve from JSON: the public curve database's layout
//   {"name", "field": {"type": "Binary", "poly": [{"power", "coeff"}...], "degree"},
//    "params": {"a": {"raw": "0x.."}, "b": ...}, "generator": {"x": .., "y": ..},
//    "order": "0x..", "cofactor": "0x..", "seed": ".."}
// and our own export, which adds "field.basis" ("poly" or "normal": the
// elements are then in the normal basis of the field polynomial).
#include <algorithm>

#include "engine/curve_file.h"
#include "engine/json_reader.h"
#include "gf2/gf2n.h"
#include "integers/errors.h"

namespace rara {

namespace {

// Digits beyond any curve we read: refused before any arithmetic.
constexpr std::size_t MaxDigits = 400;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A value given as a string or as {"raw": string}.
const std::string& RawText(const TJsonValue* v, const std::string& what) {
  if (v && v->Kind == TJsonValue::TKind::Object) v = v->Find("raw");
  if (!v) RaiseRuv("JSON: " + what + " is missing");
  if (v->Kind != TJsonValue::TKind::String) RaiseRuv("JSON: " + what + " is not a string");
  return v->Text;
}

// "0x" + hex digits, or decimal digits (a JSON number or a string).
void ReadInteger(const TJsonValue* v, TInteger& a, const std::string& what) {
  if (v && v->Kind == TJsonValue::TKind::Object) v = v->Find("raw");
  if (!v) RaiseRuv("JSON: " + what + " is missing");
  if (v->Kind != TJsonValue::TKind::String && v->Kind != TJsonValue::TKind::Number)
    RaiseRuv("JSON: " + what + " is neither a number nor a string");
  const std::string& t = v->Text;
  const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  const std::string digits = hex ? t.substr(2) : t;
  if (digits.empty() || digits.size() > MaxDigits)
    RaiseRuv("JSON: " + what + " \"" + t.substr(0, 40) + "\" is not an integer of at most " +
             std::to_string(MaxDigits) + " digits");
  a.Clear();
  for (const char c : digits) {
    const int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) RaiseRuv("JSON: " + what + " \"" + t.substr(0, 40) + "\" is not a " + (hex ? "hexadecimal" : "decimal") + " integer");
    IMul(a, std::int64_t{hex ? 16 : 10});
    IAdd(a, std::int64_t{d});
  }
}

// A field element "0x..." whose bit i is coefficient i.
void ReadElement(const TJsonValue* v, TGF2Poly& e, std::int32_t n, const std::string& what) {
  const std::string& t = RawText(v, what);
  std::string digits = t;
  if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.erase(0, 2);
  if (digits.empty() || digits.size() > MaxDigits) RaiseRuv("JSON: " + what + " is not a hexadecimal field element");
  e.Clear();
  const std::size_t count = digits.size();
  for (std::size_t k = 0; k < count; ++k) {
    const int d = HexDigit(digits[count - 1 - k]);
    if (d < 0) RaiseRuv("JSON: " + what + " \"" + t.substr(0, 40) + "\" is not hexadecimal");
    for (int bit = 0; bit < 4; ++bit)
      if (d & (1 << bit)) {
        const std::size_t i = 4 * k + static_cast<std::size_t>(bit);
        if (i >= static_cast<std::size_t>(n))
          RaiseRuv("JSON: " + what + " has a bit at degree " + std::to_string(i) +
                   ", beyond the field's " + std::to_string(n) + " bits");
        e.SetCoef(static_cast<std::int32_t>(i), true);
      }
  }
}

std::int32_t SmallNumber(const TJsonValue& v, const std::string& what) {
  TInteger a;
  ReadInteger(&v, a, what);
  if (a.BitSize() > 31) RaiseRuv("JSON: " + what + " is too large");
  return a.IsZero() ? 0 : static_cast<std::int32_t>(a.Long(0));
}

void ReadField(const TJsonValue& root, TCurveFile& c, bool& normal) {
  const TJsonValue* field = root.Find("field");
  if (!field || field->Kind != TJsonValue::TKind::Object) RaiseRuv("JSON: \"field\" is missing or not an object");
  const TJsonValue* type = field->Find("type");
  if (!type || type->Kind != TJsonValue::TKind::String) RaiseRuv("JSON: \"field.type\" is missing");
  if (type->Text != "Binary")
    RaiseRuv("JSON: field type \"" + type->Text.substr(0, 40) + "\": only binary fields are audited");
  const TJsonValue* poly = field->Find("poly");
  if (!poly || poly->Kind != TJsonValue::TKind::Array || poly->Items.empty())
    RaiseRuv("JSON: \"field.poly\" is missing or not a list of terms");
  c.FieldPoly.Clear();
  std::int32_t n = -1;
  for (const TJsonValue& term : poly->Items) {
    const TJsonValue* power = term.Find("power");
    if (!power) RaiseRuv("JSON: a term of \"field.poly\" has no \"power\"");
    const std::int32_t e = SmallNumber(*power, "field.poly power");
    if (e > CurveFileMaxDegree) RaiseRuv("JSON: field.poly power " + std::to_string(e) + " exceeds " + std::to_string(CurveFileMaxDegree));
    if (const TJsonValue* coeff = term.Find("coeff")) {
      TInteger k;
      ReadInteger(coeff, k, "field.poly coeff");
      if (!k.IsOne()) RaiseRuv("JSON: field.poly coeff of power " + std::to_string(e) + " is not 1");
    }
    if (c.FieldPoly.Coef(e)) RaiseRuv("JSON: field.poly lists power " + std::to_string(e) + " twice");
    c.FieldPoly.SetCoef(e, true);
    n = std::max(n, e);
  }
  if (n < CurveFileMinDegree) RaiseRuv("JSON: the field polynomial has degree below " + std::to_string(CurveFileMinDegree));
  for (const char* key : {"degree", "bits"})
    if (const TJsonValue* d = field->Find(key))
      if (SmallNumber(*d, std::string("field.") + key) != n)
        RaiseRuv(std::string("JSON: field.") + key + " does not match the polynomial's degree " + std::to_string(n));
  c.N = n;
  normal = false;
  if (const TJsonValue* basis = field->Find("basis")) {
    if (basis->Kind != TJsonValue::TKind::String || (basis->Text != "poly" && basis->Text != "normal"))
      RaiseRuv("JSON: \"field.basis\" is neither \"poly\" nor \"normal\"");
    normal = basis->Text == "normal";
  }
}

}  // namespace

void ReadCurveJson(const std::string& text, TCurveFile& c) {
  TJsonValue root;
  ParseJson(text, root);
  if (root.Kind != TJsonValue::TKind::Object) RaiseRuv("JSON: the file is not one object");
  if (const TJsonValue* name = root.Find("name"); name && name->Kind == TJsonValue::TKind::String)
    c.Name = name->Text.substr(0, 200);
  if (const TJsonValue* form = root.Find("form"); form && form->Kind == TJsonValue::TKind::String &&
                                                  form->Text != "Weierstrass")
    RaiseRuv("JSON: form \"" + form->Text.substr(0, 40) + "\": only Weierstrass curves are audited");
  bool normal = false;
  ReadField(root, c, normal);

  const TJsonValue* params = root.Find("params");
  if (!params || params->Kind != TJsonValue::TKind::Object) RaiseRuv("JSON: \"params\" is missing or not an object");
  ReadElement(params->Find("a"), c.A, c.N, "params.a");
  ReadElement(params->Find("b"), c.B, c.N, "params.b");
  c.HasGenerator = false;
  if (const TJsonValue* g = root.Find("generator"); g && g->Kind == TJsonValue::TKind::Object) {
    ReadElement(g->Find("x"), c.Gx, c.N, "generator.x");
    ReadElement(g->Find("y"), c.Gy, c.N, "generator.y");
    c.HasGenerator = true;
  }
  c.HasOrder = root.Find("order") != nullptr;
  if (c.HasOrder) ReadInteger(root.Find("order"), c.Order, "order");
  c.HasCofactor = root.Find("cofactor") != nullptr;
  if (c.HasCofactor) ReadInteger(root.Find("cofactor"), c.Cofactor, "cofactor");
  c.Seed.reset();
  if (const TJsonValue* seed = root.Find("seed"); seed && seed->Kind != TJsonValue::TKind::Null) {
    std::string digits = RawText(seed, "seed");
    if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.erase(0, 2);
    if (digits.empty() || digits.size() % 2 || digits.size() > MaxDigits)
      RaiseRuv("JSON: seed is not a whole number of hexadecimal octets");
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
      const int hi = HexDigit(digits[i]), lo = HexDigit(digits[i + 1]);
      if (hi < 0 || lo < 0) RaiseRuv("JSON: seed is not hexadecimal");
      bytes += static_cast<char>(hi * 16 + lo);
    }
    c.SeedBits = static_cast<std::int32_t>(8 * bytes.size());
    c.Seed = std::move(bytes);
  }

  if (normal) {
    // Our own export of a normal-basis curve: elements in the normal basis of
    // the (normal) field polynomial.
    TGF2N f;
    try {
      f.SetField(c.FieldPoly, btNormal, true);
    } catch (const ERuv&) {
      RaiseRuv("JSON: the elements are said to be in the normal basis, but the field polynomial "
               "has no normal basis");
    }
    for (TGF2Poly* e : {&c.A, &c.B, &c.Gx, &c.Gy}) TGF2N::ApplyMatrix(*e, *f.N2S());
  }
}

}  // namespace rara
