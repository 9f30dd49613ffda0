// Shared helpers of the curve tests: random curves in either basis, an
// independent check of the curve equation, hexadecimal texts for gp, and
// integers from hexadecimal text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "curves/ec_gf2n.h"
#include "gf2/field_poly_lists.h"
#include "integers/random.h"

namespace rara::test {

// Field of degree n in the basis: the built-in one up to 255, above that the
// listed P1363 (standard) or normal polynomial.
inline void MakeField(TGF2N& f, int n, std::uint8_t basis) {
  if (n <= 255) {
    f.SetField(static_cast<std::uint8_t>(n), basis);
    return;
  }
  TGF2Poly p;
  if (basis == btStandard)
    GetP1363Irreducible(p, n);
  else
    GetNormal(p, n);
  f.SetField(p, basis, false);
}

// Random coefficients: A is 0, 1 or random, B random non-zero.
inline void RandomCoefs(const TGF2N& f, TGF2Poly& a, TGF2Poly& b) {
  switch (RuvRandom() % 3) {
    case 0: a.Clear(); break;
    case 1: f.Set1(a); break;
    default: f.Rnd(a); break;
  }
  do f.Rnd(b); while (b.IsZero());
}

inline void MakeCurve(TGF2NECurve& c, int n, std::uint8_t basis) {
  TGF2N f;
  MakeField(f, n, basis);
  c.SetField(&f);
  TGF2Poly a, b;
  RandomCoefs(c.Field(), a, b);
  c.SetCoefs(&a, &b);
}

// y^2 + x·y = x^3 + A·x^2 + B from the field's products alone (O counts).
inline bool OnCurve(const TGF2NECurve& c, const TGF2NEPoint& p) {
  if (p.IsZero()) return true;
  const TGF2N& f = c.Field();
  if (p.X().Degree() >= f.N() || p.Y().Degree() >= f.N()) return false;
  TGF2Poly l(p.Y()), t(p.X()), r(p.X()), x2(p.X());
  f.Mul(l, p.Y());
  f.Mul(t, p.Y());
  f.Add(l, t);  // y^2 + x·y
  f.Mul(x2, p.X());
  r.Assign(x2);
  f.Mul(r, p.X());  // x^3
  f.Mul(x2, c.A());
  f.Add(r, x2);
  f.Add(r, c.B());
  return GF2Equal(l, r);
}

inline bool SamePoint(const TGF2NEPoint& p, const TGF2NEPoint& q) {
  return GF2Equal(p.X(), q.X()) && GF2Equal(p.Y(), q.Y());
}

inline std::string HexWords(const std::uint32_t* w, std::int32_t count) {
  if (count == 0) return "0x0";
  std::ostringstream s;
  s << "0x" << std::hex << w[count - 1];
  for (std::int32_t i = count - 2; i >= 0; --i) {
    s.width(8);
    s.fill('0');
    s << w[i];
  }
  return s.str();
}

inline std::string Hex(const TGF2Poly& p) { return HexWords(p.Words(), p.Count()); }

inline std::string Hex(const TInteger& k) {
  std::string s = HexWords(k.Limbs(), k.Size());
  if (k.Negative()) s.insert(s.begin(), '-');
  return s;
}

// Standard-basis coordinates of an element of the curve's field.
inline TGF2Poly ToStandard(const TGF2N& f, const TGF2Poly& e) {
  TGF2Poly s(e);
  if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(s, *f.N2S());
  return s;
}

inline std::string PointText(const TGF2NECurve& c, const TGF2NEPoint& p) {
  if (p.IsZero()) return "O";
  return Hex(ToStandard(c.Field(), p.X())) + " " + Hex(ToStandard(c.Field(), p.Y()));
}

// Non-negative integer from hexadecimal digits (no prefix).
inline TInteger FromHex(const std::string& h) {
  std::vector<std::uint8_t> bytes;
  for (int i = static_cast<int>(h.size()); i > 0; i -= 2) {
    const std::string pair = h.substr(i >= 2 ? i - 2 : 0, i >= 2 ? 2 : 1);
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  }
  TInteger k;
  k.SetDigits(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return k;
}

inline TInteger RandomScalar(int bits, bool allowNegative) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>((bits + 7) / 8));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(RuvRandom());
  TInteger k;
  k.SetDigits(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  if (allowNegative && (RuvRandom() & 1)) INeg(k);
  return k;
}

inline std::string CurveText(const TGF2NECurve& c) {
  return "N=" + std::to_string(c.Field().N()) + " basis=" + std::to_string(c.Field().BasisType()) +
         " A=" + Hex(c.A()) + " B=" + Hex(c.B());
}

}  // namespace rara::test
