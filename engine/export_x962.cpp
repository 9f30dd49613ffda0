// ECParameters in DER and PEM.
#include "engine/export_x962.h"

#include "engine/construction.h"
#include "gf2/gf2n.h"
#include "integers/errors.h"

namespace rara {

namespace {

// 1.2.840.10045.1.2 and its basis arcs 3.2 (trinomial) and 3.3 (pentanomial).
const std::string OidCharTwo = std::string("\x06\x07\x2a\x86\x48\xce\x3d\x01\x02", 9);
const std::string OidTpBasis = std::string("\x06\x09\x2a\x86\x48\xce\x3d\x01\x02\x03\x02", 11);
const std::string OidPpBasis = std::string("\x06\x09\x2a\x86\x48\xce\x3d\x01\x02\x03\x03", 11);

}  // namespace

std::string DerLength(std::size_t length) {
  if (length < 0x80) return std::string(1, static_cast<char>(length));
  std::string bytes;
  for (std::size_t l = length; l; l >>= 8) bytes.insert(bytes.begin(), static_cast<char>(l & 0xff));
  return std::string(1, static_cast<char>(0x80 | bytes.size())) + bytes;
}

std::string DerTlv(std::uint8_t tag, const std::string& content) {
  std::string out(1, static_cast<char>(tag));
  out += DerLength(content.size());
  out += content;
  return out;
}

std::string DerInteger(const TInteger& a) {
  if (a.Negative()) RaiseInvalidArg("DerInteger", "A < 0");
  std::string bytes;
  for (std::int32_t i = a.ByteSize() - 1; i >= 0; --i)
    bytes.push_back(static_cast<char>(a.Byte(static_cast<std::uint32_t>(i))));
  // Minimal two's complement: one zero octet for zero or a set top bit.
  if (bytes.empty() || (static_cast<std::uint8_t>(bytes[0]) & 0x80)) bytes.insert(bytes.begin(), '\0');
  return DerTlv(0x02, bytes);
}

std::string DerInteger(std::int64_t a) { return DerInteger(TInteger(a)); }

std::string DerSequence(const std::string& content) { return DerTlv(0x30, content); }

std::string DerOctetString(const std::string& bytes) { return DerTlv(0x04, bytes); }

std::string FieldOctets(const TGF2Poly& a, std::int32_t n) {
  const std::int32_t count = (n + 7) / 8;
  std::string out(static_cast<std::size_t>(count), '\0');
  const std::int32_t deg = a.Degree();
  for (std::int32_t i = 0; i <= deg && i < 8 * count; ++i)
    if (a.Coef(i)) out[static_cast<std::size_t>(count - 1 - i / 8)] |= static_cast<char>(1 << (i % 8));
  return out;
}

void ToStandardBasis(const TGF2N& field, TGF2Poly& a) {
  if (field.BasisType() == btNormal) TGF2N::ApplyMatrix(a, *field.N2S());
}

bool X962CanDescribe(const TGF2Poly& p) {
  std::int32_t middle = 0;
  for (std::int32_t i = 1; i < p.Degree(); ++i) middle += p.Coef(i) ? 1 : 0;
  return p.Degree() > 0 && p.Coef(0) && (middle == 1 || middle == 3);
}

std::string ECParametersDer(const TECGF2Data& d) {
  if (!d.CurveBuilt || d.Point.IsZero())
    RaiseRuv("There is no point of order R to export: draw a point first");
  const TGF2N& field = d.Curve.Field();
  const TGF2Poly& p = field.FieldPoly();
  const std::int32_t n = p.Degree();
  std::vector<std::int32_t> middle;  // exponents strictly between 0 and N, ascending
  for (std::int32_t i = 1; i < n; ++i)
    if (p.Coef(i)) middle.push_back(i);
  if (!X962CanDescribe(p)) RaiseRuv(X962FieldRefusal);

  std::string basis;
  if (middle.size() == 1) {
    basis = OidTpBasis + DerInteger(std::int64_t{middle[0]});
  } else {
    basis = OidPpBasis + DerSequence(DerInteger(std::int64_t{middle[0]}) +
                                     DerInteger(std::int64_t{middle[1]}) +
                                     DerInteger(std::int64_t{middle[2]}));
  }
  const std::string fieldId =
      DerSequence(OidCharTwo + DerSequence(DerInteger(std::int64_t{n}) + basis));

  TGF2Poly a(d.Curve.A()), b(d.Curve.B()), x(d.Point.X()), y(d.Point.Y());
  for (TGF2Poly* e : {&a, &b, &x, &y}) ToStandardBasis(field, *e);
  const std::string curve =
      DerSequence(DerOctetString(FieldOctets(a, n)) + DerOctetString(FieldOctets(b, n)));
  std::string point(1, '\x04');  // uncompressed
  point += FieldOctets(x, n);
  point += FieldOctets(y, n);
  const std::string base = DerOctetString(point);

  return DerSequence(DerInteger(std::int64_t{1}) + fieldId + curve + base + DerInteger(d.R) +
                     DerInteger(d.K));
}

std::string PemWrap(const std::string& der, const std::string& label) {
  static constexpr char Digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string b64;
  for (std::size_t i = 0; i < der.size(); i += 3) {
    std::uint32_t v = static_cast<std::uint8_t>(der[i]) << 16;
    const std::size_t left = der.size() - i;
    if (left > 1) v |= static_cast<std::uint8_t>(der[i + 1]) << 8;
    if (left > 2) v |= static_cast<std::uint8_t>(der[i + 2]);
    b64 += Digits[(v >> 18) & 63];
    b64 += Digits[(v >> 12) & 63];
    b64 += left > 1 ? Digits[(v >> 6) & 63] : '=';
    b64 += left > 2 ? Digits[v & 63] : '=';
  }
  std::string out = "-----BEGIN " + label + "-----\n";
  for (std::size_t i = 0; i < b64.size(); i += 64) out += b64.substr(i, 64) + "\n";
  out += "-----END " + label + "-----\n";
  return out;
}

std::string ECParametersPem(const TECGF2Data& d) {
  return PemWrap(ECParametersDer(d), "EC PARAMETERS");
}

}  // namespace rara
