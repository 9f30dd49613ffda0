// Working precision, normal form, construction, setting, comparison and
// rounding of reals.
#include "floats/floats.h"

#include <cstring>
#include <limits>

#include "floats/float_internal.h"
#include "integers/errors.h"

namespace rara {

namespace float_detail {

std::int32_t Precision = TFloat::DefaultPrecision;

void SetExponent(TReal& a, std::int64_t e, std::string_view name) {
  if (e < std::numeric_limits<std::int32_t>::min() || e > std::numeric_limits<std::int32_t>::max())
    RaiseOverflow(name);
  E(a) = static_cast<std::int32_t>(e);
}

void Normalize(TReal& a, std::int64_t e, std::string_view name) {
  TInteger& m = M(a);
  if (m.IsZero()) {
    E(a) = 0;
    return;
  }
  const std::int64_t shift = static_cast<std::int64_t>(Precision) - m.BitSize();
  // Check first so that an overflow leaves the value as it was.
  const std::int64_t ne = e - shift;
  if (ne < std::numeric_limits<std::int32_t>::min() || ne > std::numeric_limits<std::int32_t>::max())
    RaiseOverflow(name);
  if (shift > 0)
    IShl(m, static_cast<std::int32_t>(shift));
  else if (shift < 0)
    IShr(m, static_cast<std::int32_t>(-shift));
  E(a) = static_cast<std::int32_t>(ne);
}

void NormalizeInto(TReal& a, TInteger& m, std::int64_t e, std::string_view name) {
  if (!m.IsZero()) {
    const std::int64_t ne = e - (static_cast<std::int64_t>(Precision) - m.BitSize());
    if (ne < std::numeric_limits<std::int32_t>::min() || ne > std::numeric_limits<std::int32_t>::max())
      RaiseOverflow(name);
  }
  ISwap(M(a), m);
  Normalize(a, e, name);
}

void MulInt64(TReal& a, std::int64_t n, std::string_view name) {
  if (a.IsZero()) return;
  IMul(M(a), n);
  Normalize(a, name);
}

void MulPow2(TReal& a, std::int64_t k, std::string_view name) {
  if (a.IsZero()) return;
  SetExponent(a, static_cast<std::int64_t>(E(a)) + k, name);
}

}  // namespace float_detail

using namespace float_detail;

// ---- Precision ----

namespace {

std::int32_t RoundPrecision(std::int64_t request, std::string_view name) {
  std::int64_t p = (request + 31) / 32 * 32;
  if (request + 31 < 0) p = 0;  // negative requests fall to the minimum
  if (p <= 96 || p == 128) p = 128;
  if (p > TFloat::MaxPrecision) RaiseInvalidArg(name, "Precision > MAX");
  return static_cast<std::int32_t>(p);
}

}  // namespace

void TFloat::SetPrecision(std::int32_t bits) {
  float_detail::Precision = RoundPrecision(bits, "TFloat.SetPrecision");
}

void TFloat::IncPrecision(std::int32_t bits) {
  float_detail::Precision =
      RoundPrecision(static_cast<std::int64_t>(float_detail::Precision) + bits, "TFloat.IncPrecision");
}

std::int32_t TFloat::Precision() noexcept { return float_detail::Precision; }

TPrecisionGuard::TPrecisionGuard() noexcept : saved_(float_detail::Precision) {}
TPrecisionGuard::~TPrecisionGuard() { Restore(); }
void TPrecisionGuard::Restore() noexcept { float_detail::Precision = saved_; }

// ---- Construction ----

TReal::TReal(std::int64_t value) { XSet(*this, value); }
TReal::TReal(long double value) { XSet(*this, value); }
TReal::TReal(const TReal& other) : TFloat(), m_(other.m_), e_(other.e_) { Normalize(*this, "TReal"); }

bool TReal::IsOne() const noexcept {
  // 1 = 2^(b-1)·2^(1-b): a single set bit at the top with the matching exponent.
  if (m_.IsZero() || m_.Negative()) return false;
  const std::int32_t b = m_.BitSize();
  return m_.LowBit() == b - 1 && static_cast<std::int64_t>(e_) == 1 - static_cast<std::int64_t>(b);
}

void TReal::SetZero() {
  m_.Clear();
  e_ = 0;
}

TComplex::TComplex(const TComplex& other) : TFloat(), re_(other.re_), im_(other.im_) {}

void TComplex::SetZero() {
  re_.SetZero();
  im_.SetZero();
}

// ---- Setting ----

void XSet(TReal& a, std::int64_t value) {
  M(a).SetInt64(value);
  Normalize(a, 0, "XSet");
}

void XSet(TReal& a, std::int32_t num, std::int32_t den) {
  if (den == 0) RaiseDivByZero("XSet");
  XSet(a, static_cast<std::int64_t>(num));
  XDiv(a, static_cast<std::int64_t>(den));
}

void XSet(TReal& a, long double value) {
  static_assert(std::numeric_limits<long double>::digits == 64,
                "long double must be the 80-bit extended format");
  unsigned char raw[sizeof(long double)] = {};
  std::memcpy(raw, &value, sizeof(long double));
  std::uint64_t significand = 0;
  std::uint16_t signExp = 0;
  std::memcpy(&significand, raw, 8);
  std::memcpy(&signExp, raw + 8, 2);
  const bool negative = (signExp & 0x8000u) != 0;
  const std::int32_t field = signExp & 0x7FFF;
  if (field == 0x7FFF) {
    // Infinity has only the explicit integer bit set; anything else is a NaN.
    if ((significand << 1) == 0) RaiseInvalidArg("XSet", "E = \u00B1INF");
    RaiseInvalidArg("XSet", "E = NAN");
  }
  // Denormals share the exponent of field 1.
  const std::int64_t e = (field == 0 ? 1 : field) - 16446;
  TInteger& m = M(a);
  m.SetInt64(static_cast<std::int64_t>(significand >> 1));
  IShl(m, 1);
  if (significand & 1u) IAddWord(m, 1);
  if (negative) INeg(m);
  Normalize(a, e, "XSet");
}

void XSet(TReal& a, const TInteger& value) {
  IAssign(M(a), value);
  Normalize(a, 0, "XSet");
}

void XAssign(TReal& a, const TReal& b) {
  if (&a != &b) {
    IAssign(M(a), b.Mantissa());
    E(a) = b.Exponent();
  }
  Normalize(a, "XAssign");
}

void XSwap(TReal& a, TReal& b) noexcept {
  ISwap(M(a), M(b));
  std::swap(E(a), E(b));
}

void XNeg(TReal& a) noexcept { INeg(M(a)); }
void XAbs(TReal& a) noexcept { IAbs(M(a)); }
void XConj(TReal&) noexcept {}

void XNorm(TReal& r, const TReal& a) {
  XAssign(r, a);
  XSqr(r);
}

// ---- Comparison ----

int XCmp(const TReal& a, const TReal& b) {
  const int sa = a.Sign(), sb = b.Sign();
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  int mag;
  if (a.Pos() != b.Pos()) {
    mag = a.Pos() < b.Pos() ? -1 : 1;
  } else {
    // Same position: align the mantissas to the same bit length.
    const std::int32_t ba = a.Mantissa().BitSize(), bb = b.Mantissa().BitSize();
    if (ba == bb) {
      mag = ICmpAbs(a.Mantissa(), b.Mantissa());
    } else if (ba < bb) {
      TUVInteger t(a.Mantissa());
      IShl(*t, bb - ba);
      mag = ICmpAbs(*t, b.Mantissa());
    } else {
      TUVInteger t(b.Mantissa());
      IShl(*t, ba - bb);
      mag = ICmpAbs(a.Mantissa(), *t);
    }
  }
  return sa > 0 ? mag : -mag;
}

bool XEqual(const TReal& a, const TReal& b) { return XCmp(a, b) == 0; }
bool XGreater(const TReal& a, const TReal& b) { return XCmp(a, b) > 0; }

bool IsEpsilon(const TReal& a, std::int32_t bits) {
  if (bits <= 0) return a.IsZero();
  if (bits > float_detail::Precision) RaiseInvalidArg("TReal.IsEpsilon", "Bits > Precision");
  return a.IsZero() || a.Pos() < static_cast<std::int64_t>(bits) - float_detail::Precision;
}

// ---- Rounding ----

namespace {

// Moves a to exponent 0, dropping the fraction toward zero. Returns whether
// non-zero fraction bits were dropped.
bool TruncToInteger(TInteger& m, std::int32_t e) {
  if (e >= 0) {
    if (e > 0) IShl(m, e);
    return false;
  }
  const std::int64_t drop = -static_cast<std::int64_t>(e);
  const std::int32_t low = m.LowBit();
  const bool dropped = low >= 0 && low < drop;
  if (drop >= m.BitSize())
    m.Clear();
  else
    IShr(m, static_cast<std::int32_t>(drop));
  return dropped;
}

}  // namespace

bool XTrunc(TReal& a) {
  if (a.IsZero()) return false;
  if (a.Exponent() > 0) {
    // Already an integer with factor 2^e, hence even.
    Normalize(a, "XTrunc");
    return false;
  }
  TInteger& m = M(a);
  TruncToInteger(m, a.Exponent());
  const bool odd = m.IsOdd();
  Normalize(a, 0, "XTrunc");
  return odd;
}

void XFloor(TReal& a) {
  if (a.IsZero()) return;
  if (a.Exponent() >= 0) {
    Normalize(a, "XFloor");
    return;
  }
  TInteger& m = M(a);
  const bool negative = m.Negative();
  if (TruncToInteger(m, a.Exponent()) && negative) IDec(m);
  Normalize(a, 0, "XFloor");
}

void XRound(TReal& a) {
  if (a.IsZero()) return;
  const TReal half(0.5L);
  XAdd(a, half);
  XFloor(a);
}

void XToInteger(const TReal& a, TInteger& out) {
  IAssign(out, a.Mantissa());
  if (out.IsZero()) return;
  if (a.Exponent() > TInteger::MaxBitSize) {
    IShl(out, a.Exponent());  // raises the shift range error
  }
  TruncToInteger(out, a.Exponent());
}

}  // namespace rara
