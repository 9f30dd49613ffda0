// The curve with its current point as generator in the X9.62 / SEC 1
// explicit ECParameters form, DER and PEM, through a small DER encoder of our
// own. Curves in the normal basis are written in the polynomial basis of the
// same field polynomial.
#pragma once

#include <cstdint>
#include <string>

#include "gf2/gf2_poly.h"
#include "integers/integers.h"

namespace rara {

class TECGF2Data;
class TGF2N;

// DER pieces (content octets in, the whole TLV out).
std::string DerLength(std::size_t length);
std::string DerTlv(std::uint8_t tag, const std::string& content);
std::string DerInteger(const TInteger& a);  // a >= 0
std::string DerInteger(std::int64_t a);     // a >= 0
std::string DerSequence(const std::string& content);
std::string DerOctetString(const std::string& bytes);

// The field element A (standard basis) as ceil(N/8) octets, most significant first.
std::string FieldOctets(const TGF2Poly& a, std::int32_t n);
// A of the field in the field's basis, converted to the standard basis.
void ToStandardBasis(const TGF2N& field, TGF2Poly& a);

// X9.62 describes a field only by a trinomial or pentanomial polynomial;
// ECParametersDer refuses any other with this message.
bool X962CanDescribe(const TGF2Poly& fieldPoly);
inline constexpr const char* X962FieldRefusal =
    "The field polynomial is neither a trinomial nor a pentanomial: "
    "X9.62 parameters cannot describe this field";

// The ECParameters of the record's curve and point. Raises ERuv when there is
// no point, or when the field polynomial is neither a trinomial nor a pentanomial.
std::string ECParametersDer(const TECGF2Data& data);
std::string ECParametersPem(const TECGF2Data& data);

// Base64 of the bytes in 64-character lines between the PEM markers of label.
std::string PemWrap(const std::string& der, const std::string& label);

}  // namespace rara
