// A binary-field curve as a file describes it, before anything is checked:
// read from X9.62 / SEC 1 ECParameters (DER or PEM) or from JSON (the public
// curve database's layout or our own export). Field elements are converted to
// the standard basis of the field polynomial.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gf2/gf2_poly.h"
#include "integers/integers.h"

namespace rara {

// Field degrees a curve file may have.
inline constexpr std::int32_t CurveFileMinDegree = 2;
inline constexpr std::int32_t CurveFileMaxDegree = 571;
// Larger files are refused before they are parsed.
inline constexpr std::size_t CurveFileMaxBytes = 1 << 20;

struct TCurveFile {
  std::string Format;         // "X9.62 DER", "X9.62 PEM", "JSON"
  std::string Name;           // the JSON's name, empty otherwise
  std::int32_t N = 0;
  TGF2Poly FieldPoly;         // degree N
  TGF2Poly A, B;              // standard basis, degree < N
  bool HasGenerator = false;
  TGF2Poly Gx, Gy;
  bool HasOrder = false;
  TInteger Order;
  bool HasCofactor = false;
  TInteger Cofactor;
  std::optional<std::string> Seed;  // the seed's octets
  std::int32_t SeedBits = 0;        // its length in bits
};

// Reads the curve from a file's content: JSON when it starts with '{', PEM
// when it holds a BEGIN line, DER otherwise. Raises ERuv naming the fault.
void ReadCurveText(const std::string& content, TCurveFile& curve);

// Reads the file (at most CurveFileMaxBytes) and then its content; ERuv
// "Cannot read "<file>": <reason>" when the file cannot be read.
void ReadCurveFile(const std::string& fileName, TCurveFile& curve);

// X9.62 / SEC 1 ECParameters in DER; ReadCurveText dispatches here.
void ReadECParametersDer(const std::string& der, TCurveFile& curve);
// JSON of either layout.
void ReadCurveJson(const std::string& text, TCurveFile& curve);

// An element given as a big-endian octet string of N bits; ERuv naming what
// when it is longer than N bits.
void ElementFromOctets(TGF2Poly& e, const std::string& octets, std::int32_t n, const std::string& what);

}  // namespace rara
