// JSON form of a constructed curve.
#include "engine/export_json.h"

#include <cstdio>

#include "engine/construction.h"
#include "engine/trust.h"
#include "gf2/gf2_text.h"
#include "integers/errors.h"

namespace rara {

namespace {

std::string Quote(const std::string& s) {
  std::string out(1, '"');
  out += JsonEscape(s);
  out += '"';
  return out;
}

// "0x..." of |a| with the sign in front, lower-case digits.
std::string IntHex(const TInteger& a) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string s;
  const std::int32_t bits = a.BitSize();
  for (std::int32_t i = (bits + 3) / 4 - 1; i >= 0; --i) {
    int v = 0;
    for (int b = 3; b >= 0; --b)
      if (4 * i + b < bits && a.Bit(static_cast<std::uint32_t>(4 * i + b))) v |= 1 << b;
    s += Digits[v];
  }
  if (s.empty()) s.push_back('0');
  std::string out(a.Negative() ? "-0x" : "0x");
  out += s;
  return out;
}

// A field element in the field's own basis, as many hex digits as N needs.
std::string ElementHex(const TGF2Poly& e, std::int32_t n) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string s = "0x";
  for (std::int32_t i = (n + 3) / 4 - 1; i >= 0; --i) {
    int v = 0;
    for (int b = 0; b < 4; ++b)
      if (4 * i + b <= e.Degree() && e.Coef(4 * i + b)) v |= 1 << b;
    s += Digits[v];
  }
  return s;
}

std::string Raw(const std::string& hex) { return "{\"raw\": " + Quote(hex) + "}"; }

std::string Bool(bool b) { return b ? "true" : "false"; }

}  // namespace

std::size_t Utf8SequenceLength(std::string_view t) {
  if (t.empty()) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(t[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;   // overlong below U+0800
    if (c == 0xED) high = 0x9F;  // surrogates U+D800..U+DFFF
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;   // overlong below U+10000
    if (c == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (t.size() < length || b(1) < low || b(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = Utf8SequenceLength(text);
    if (n == 0) return false;
    text.remove_prefix(n);
  }
  return true;
}

std::string JsonEscape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const std::size_t n = Utf8SequenceLength(std::string_view(text).substr(i));
    if (n == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    if (n > 1) {
      out.append(text, i, n);
      i += n;
      continue;
    }
    ++i;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string CurveJson(const TECGF2Data& d, const TTrustReport& t, const TExportInfo& info) {
  if (!d.CurveBuilt || d.Point.IsZero())
    RaiseRuv("There is no point of order R to export: draw a point first");
  const TGF2N& field = d.Curve.Field();
  const std::int32_t n = d.N;
  const bool normal = field.BasisType() == btNormal;
  const std::string name = info.Name.empty()
                               ? "rara-gf2^" + std::to_string(n) + "-d" + std::to_string(d.D)
                               : info.Name;

  std::string poly;
  const TGF2Poly& p = field.FieldPoly();
  for (std::int32_t i = p.Degree(); i >= 0; --i)
    if (p.Coef(i)) {
      if (!poly.empty()) poly += ", ";
      poly += "{\"power\": " + std::to_string(i) + ", \"coeff\": \"0x01\"}";
    }

  // Conductor f of the order: t^2 - 4q = -D·f^2 when that division is exact.
  std::string conductor = "null";
  {
    TInteger v(t.Trace);
    IMul(v, v);
    TInteger q4(1);
    IShl(q4, n + 2);
    ISub(q4, v);  // 4q - t^2 = D·f^2
    if (d.D > 0 && ICmp(q4, 0) > 0 && IMod(q4, std::int64_t{d.D}) == 0) {
      IDiv(q4, std::int64_t{d.D});
      TInteger f(q4);
      ISqrRoot(f);
      TInteger sq(f);
      IMul(sq, f);
      if (ICmp(sq, q4) == 0) conductor = Quote(IntHex(f));
    }
  }
  // Embedding degree over GF(2^N): ord_R(2^N) = m / gcd(m, N).
  std::string embedding = "null";
  if (t.EmbeddingDegree > 0) {
    std::int32_t a = t.EmbeddingDegree, b = n;
    while (b) {
      const std::int32_t r = a % b;
      a = b;
      b = r;
    }
    embedding = Quote(IntHex(TInteger(t.EmbeddingDegree / a)));
  }

  std::string verdicts;
  for (const TVerdict& v : t.Verdicts) {
    if (!verdicts.empty()) verdicts += ",\n";
    verdicts += "      {\"check\": " + Quote(v.Key) + ", \"verdict\": " +
                Quote(VerdictLevelName(v.Level)) + ", \"text\": " + Quote(v.Text) +
                ", \"threshold\": " + Quote(v.Threshold) + "}";
  }

  std::string j = "{\n";
  j += "  \"name\": " + Quote(name) + ",\n";
  j += "  \"category\": \"rara\",\n";
  j += "  \"desc\": " + Quote("CM curve over GF(2^" + std::to_string(n) + ") with discriminant -" +
                             std::to_string(d.D) + ", built by Rara") + ",\n";
  j += "  \"field\": {\"type\": \"Binary\", \"base\": \"0x02\", \"degree\": " + std::to_string(n) +
       ", \"bits\": " + std::to_string(n) + ", \"poly\": [" + poly + "], \"basis\": " +
       (normal ? "\"normal\"" : "\"poly\"") + "},\n";
  j += "  \"form\": \"Weierstrass\",\n";
  j += "  \"params\": {\"a\": " + Raw(ElementHex(d.Curve.A(), n)) +
       ", \"b\": " + Raw(ElementHex(d.Curve.B(), n)) + "},\n";
  j += "  \"generator\": {\"x\": " + Raw(ElementHex(d.Point.X(), n)) +
       ", \"y\": " + Raw(ElementHex(d.Point.Y(), n)) + "},\n";
  j += "  \"order\": " + Quote(IntHex(d.R)) + ",\n";
  j += "  \"cofactor\": " + Quote(IntHex(d.K)) + ",\n";
  j += "  \"characteristics\": {\"trace_of_frobenius\": " + Quote(IntHex(t.Trace)) +
       ", \"embedding_degree\": " + embedding + ", \"anomalous\": " +
       Bool(ICmp(t.Trace, 1) == 0) + ", \"supersingular\": " + Bool(!t.Trace.IsOdd()) +
       ", \"cm_disc\": " + Quote(IntHex(TInteger(-std::int64_t{d.D}))) +
       ", \"conductor\": " + conductor + "},\n";
  j += "  \"rara\": {\n";
  j += "    \"D\": " + std::to_string(d.D) + ",\n";
  j += "    \"h\": " + std::to_string(d.ClassNumber) + ",\n";
  j += "    \"K_factors\": " + Quote(d.KFactors) + ",\n";
  j += "    \"W_mod_2\": " + Quote("0x" + GF2ToHexStr(d.W, 0)) + ",\n";
  j += "    \"W_irreducible\": " + Bool(d.WIrreducible) + ",\n";
  j += "    \"field_list\": " + Quote(info.FieldList) + ",\n";
  j += "    \"seed\": " + (info.Seed ? Quote(*info.Seed) : std::string("null")) + ",\n";
  j += "    \"embedding_degree_of_2\": {\"m\": " +
       (t.EmbeddingDegree > 0 ? std::to_string(t.EmbeddingDegree) : std::string("null")) +
       ", \"bound\": " + std::to_string(t.EmbeddingBound) + "},\n";
  j += "    \"order_proof\": {\"proven\": " + Bool(t.Proof.Proven) + ", \"reason\": " +
       Quote(t.Proof.Reason) + ", \"point_count\": " +
       (t.Proof.PointCount.empty() ? std::string("null") : Quote(t.Proof.PointCount)) +
       ", \"confirmed_by_count\": " + Bool(t.Proof.CountConfirmed) + "},\n";
  j += "    \"verdicts\": [\n" + verdicts + "\n    ]\n";
  j += "  }\n}\n";
  return j;
}

}  // namespace rara
