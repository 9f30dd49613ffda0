// ECParameters (X9.62 / SEC 1) of a characteristic-two field, read strictly:
//   ECParameters ::= SEQUENCE { version INTEGER (1..3), fieldID FieldID,
//     curve Curve, base ECPoint, order INTEGER, cofactor INTEGER OPTIONAL }
//   FieldID ::= SEQUENCE { fieldType OID, parameters Characteristic-two }
//   Characteristic-two ::= SEQUENCE { m INTEGER, basis OID, parameters }
//   Curve ::= SEQUENCE { a OCTET STRING, b OCTET STRING, seed BIT STRING OPTIONAL }
#include <vector>

#include "engine/curve_file.h"
#include "engine/der_reader.h"
#include "gf2/gf2n.h"
#include "integers/errors.h"

namespace rara {

namespace {

// Content octets of the object identifiers.
const std::string OidPrimeField("\x2a\x86\x48\xce\x3d\x01\x01", 7);
const std::string OidCharTwo("\x2a\x86\x48\xce\x3d\x01\x02", 7);
const std::string OidGnBasis("\x2a\x86\x48\xce\x3d\x01\x02\x03\x01", 9);
const std::string OidTpBasis("\x2a\x86\x48\xce\x3d\x01\x02\x03\x02", 9);
const std::string OidPpBasis("\x2a\x86\x48\xce\x3d\x01\x02\x03\x03", 9);

void ReadField(TDerReader& outer, TCurveFile& c) {
  TDerReader field = outer.ReadSequence("fieldID");
  const TDerSpan type = field.Read(DerTagOid, "fieldID.fieldType");
  if (type.Bytes() == OidPrimeField)
    field.Fail(type.Offset, "fieldID.fieldType", "a prime field; only binary fields GF(2^m) are audited");
  if (type.Bytes() != OidCharTwo)
    field.Fail(type.Offset, "fieldID.fieldType", "not the characteristic-two field identifier");
  TDerReader two = field.ReadSequence("characteristic-two parameters");
  const std::int32_t m = two.ReadSmallInteger("field degree m");
  if (m < CurveFileMinDegree || m > CurveFileMaxDegree)
    RaiseRuv("field degree m = " + std::to_string(m) + " is outside " +
             std::to_string(CurveFileMinDegree) + ".." + std::to_string(CurveFileMaxDegree));
  const TDerSpan basis = two.Read(DerTagOid, "basis");
  std::vector<std::int32_t> k;
  if (basis.Bytes() == OidTpBasis) {
    k.push_back(two.ReadSmallInteger("trinomial exponent k"));
  } else if (basis.Bytes() == OidPpBasis) {
    TDerReader pp = two.ReadSequence("pentanomial exponents");
    for (const char* name : {"pentanomial exponent k1", "pentanomial exponent k2", "pentanomial exponent k3"})
      k.push_back(pp.ReadSmallInteger(name));
    pp.ExpectEnd();
    if (!(k[0] < k[1] && k[1] < k[2]))
      RaiseRuv("pentanomial exponents k1 = " + std::to_string(k[0]) + ", k2 = " + std::to_string(k[1]) +
               ", k3 = " + std::to_string(k[2]) + " are not increasing");
  } else if (basis.Bytes() == OidGnBasis) {
    RaiseRuv("the field is given in a Gaussian normal basis: only trinomial and pentanomial "
             "bases are read");
  } else {
    two.Fail(basis.Offset, "basis", "unknown basis identifier");
  }
  two.ExpectEnd();
  field.ExpectEnd();
  for (const std::int32_t e : k)
    if (e < 1 || e >= m)
      RaiseRuv("field polynomial exponent " + std::to_string(e) + " is outside 1.." +
               std::to_string(m - 1));
  c.N = m;
  c.FieldPoly.Clear();
  c.FieldPoly.SetCoef(m, true);
  c.FieldPoly.SetCoef(0, true);
  for (const std::int32_t e : k) c.FieldPoly.SetCoef(e, true);
}

// FieldElement ::= OCTET STRING of exactly ceil(m/8) octets.
void ReadElement(TDerReader& r, TGF2Poly& e, std::int32_t m, const std::string& what) {
  const TDerSpan s = r.Read(DerTagOctetString, what);
  const std::size_t want = static_cast<std::size_t>((m + 7) / 8);
  if (s.Size != want)
    r.Fail(s.Offset, what, std::to_string(s.Size) + " octets instead of " + std::to_string(want));
  ElementFromOctets(e, s.Bytes(), m, what);
}

// The base point: uncompressed (04), compressed (02, 03) or hybrid (06, 07).
void ReadBase(TDerReader& r, TCurveFile& c) {
  const TDerSpan s = r.Read(DerTagOctetString, "base point");
  const std::size_t len = static_cast<std::size_t>((c.N + 7) / 8);
  if (s.Size == 0) r.Fail(s.Offset, "base point", "empty");
  const std::uint8_t form = s.Data[0];
  const std::string body(reinterpret_cast<const char*>(s.Data + 1), s.Size - 1);
  if (form == 0x04 || form == 0x06 || form == 0x07) {
    if (body.size() != 2 * len)
      r.Fail(s.Offset, "base point", std::to_string(s.Size) + " octets instead of " + std::to_string(1 + 2 * len));
    ElementFromOctets(c.Gx, body.substr(0, len), c.N, "base point x");
    ElementFromOctets(c.Gy, body.substr(len), c.N, "base point y");
    if (form != 0x04) {
      // Hybrid: the form's low bit must be the compression bit of (x, y).
      TGF2N f;
      f.SetField(c.FieldPoly, btStandard, false);
      bool bit = false;
      if (!c.Gx.IsZero()) {
        TGF2Poly z(c.Gx);
        f.Inv(z);
        f.Mul(z, c.Gy);
        bit = z.Coef(0);
      }
      if (bit != ((form & 1) != 0)) RaiseRuv("hybrid base point: its form octet contradicts y");
    }
  } else if (form == 0x02 || form == 0x03) {
    if (body.size() != len)
      r.Fail(s.Offset, "base point", std::to_string(s.Size) + " octets instead of " + std::to_string(1 + len));
    ElementFromOctets(c.Gx, body, c.N, "base point x");
    // y^2 + x·y = x^3 + a·x^2 + b; with y = x·z, z^2 + z = x + a + b/x^2, and z's
    // lowest bit is the form's.
    TGF2N f;
    f.SetField(c.FieldPoly, btStandard, false);
    if (c.Gx.IsZero()) {
      c.Gy.Assign(c.B);
      f.SqrRoot(c.Gy);
    } else {
      TGF2Poly rhs(c.Gx), t(c.Gx);
      f.Sqr(t);       // x^2
      TGF2Poly inv(t);
      f.Inv(inv);     // 1/x^2
      f.Mul(inv, c.B);
      f.Add(rhs, c.A);
      f.Add(rhs, inv);  // x + a + b/x^2
      TGF2Poly one, z;
      f.Set1(one);
      if (!f.SolveQuad(z, one, rhs)) RaiseRuv("compressed base point: no point of the curve has this x");
      if (z.Coef(0) != ((form & 1) != 0)) f.Add(z, one);
      c.Gy.Assign(z);
      f.Mul(c.Gy, c.Gx);
    }
  } else if (form == 0x00) {
    RaiseRuv("the base point is the point at infinity");
  } else {
    r.Fail(s.Offset, "base point", "unknown point form " + std::to_string(form));
  }
  c.HasGenerator = true;
}

}  // namespace

void ReadECParametersDer(const std::string& der, TCurveFile& c) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(der.data());
  TDerReader file(TDerSpan{data, der.size(), 0}, "the file");
  if (!file.AtEnd() && file.PeekTag("ECParameters") == DerTagOid)
    RaiseRuv("the file names a curve by its identifier instead of giving its parameters; "
             "write it with explicit parameters");
  TDerReader p = file.ReadSequence("ECParameters");
  file.ExpectEnd();
  const std::int32_t version = p.ReadSmallInteger("version");
  if (version < 1 || version > 3) RaiseRuv("ECParameters version " + std::to_string(version) + " is not 1, 2 or 3");
  ReadField(p, c);

  TDerReader curve = p.ReadSequence("curve");
  ReadElement(curve, c.A, c.N, "coefficient a");
  ReadElement(curve, c.B, c.N, "coefficient b");
  c.Seed.reset();
  if (!curve.AtEnd()) {
    const TDerSpan seed = curve.Read(DerTagBitString, "seed");
    if (seed.Size < 1) curve.Fail(seed.Offset, "seed", "BIT STRING without content");
    const std::uint8_t unused = seed.Data[0];
    if (unused > 7 || (seed.Size == 1 && unused != 0))
      curve.Fail(seed.Offset, "seed", "invalid count of unused bits");
    c.Seed = std::string(reinterpret_cast<const char*>(seed.Data + 1), seed.Size - 1);
    c.SeedBits = static_cast<std::int32_t>(8 * (seed.Size - 1)) - unused;
  }
  curve.ExpectEnd();

  ReadBase(p, c);
  p.ReadInteger(c.Order, "order");
  c.HasOrder = true;
  c.HasCofactor = !p.AtEnd() && p.PeekTag("cofactor") == DerTagInteger;
  if (c.HasCofactor) p.ReadInteger(c.Cofactor, "cofactor");
  // Later versions may add elements (the hash of the seed method); they are
  // not needed for the audit but must still be well-formed.
  while (!p.AtEnd()) p.Read(p.PeekTag("extension"), "extension");
}

}  // namespace rara
