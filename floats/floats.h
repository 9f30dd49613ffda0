// Binary floating point of user-settable precision: TReal (a TInteger
// mantissa times a power of two) and TComplex, with the X-prefixed routines
// that change their first argument in place. All values share one working
// precision P; every result is truncated toward zero to exactly P mantissa
// bits, and the transcendental routines work with 32 guard bits.
#pragma once

#include <cstdint>

#include "integers/integers.h"
#include "integers/ruv_object.h"

namespace rara {

// Base class; carries the class-wide precision.
class TFloat : public TRuvObject {
 public:
  static constexpr std::int32_t MaxPrecision = 0x60000000;
  static constexpr std::int32_t DefaultPrecision = 128;
  static constexpr std::int32_t GuardBits = 32;

  // P := (bits + 31) rounded down to a multiple of 32; 96 or less, or 128,
  // gives 128. Above MaxPrecision: "TFloat.SetPrecision", "Precision > MAX".
  static void SetPrecision(std::int32_t bits);
  // The same rule applied to P + bits ("TFloat.IncPrecision").
  static void IncPrecision(std::int32_t bits);
  static std::int32_t Precision() noexcept;
};

// Saves the working precision and puts it back when the scope ends, also
// when an exception passes. Restore() puts it back early.
class TPrecisionGuard {
 public:
  TPrecisionGuard() noexcept;
  ~TPrecisionGuard();
  TPrecisionGuard(const TPrecisionGuard&) = delete;
  TPrecisionGuard& operator=(const TPrecisionGuard&) = delete;
  void Restore() noexcept;
  std::int32_t Saved() const noexcept { return saved_; }

 private:
  std::int32_t saved_;
};

struct TRealAccess;

// Value m·2^e; zero is m = 0, e = 0. A non-zero value in normal form has
// 2^(P-1) <= |m| < 2^P.
class TReal : public TFloat {
 public:
  TReal() noexcept = default;
  explicit TReal(std::int64_t value);
  explicit TReal(std::int32_t value) : TReal(static_cast<std::int64_t>(value)) {}
  explicit TReal(long double value);
  TReal(const TReal& other);                 // normalized to the current P
  TReal& operator=(const TReal&) = delete;   // use XAssign

  const TInteger& Mantissa() const noexcept { return m_; }
  std::int32_t Exponent() const noexcept { return e_; }
  // Magnitude position bits(m) + e: a non-zero value lies in [2^(pos-1), 2^pos).
  std::int64_t Pos() const noexcept { return static_cast<std::int64_t>(m_.BitSize()) + e_; }

  int Sign() const noexcept { return m_.Sign(); }
  bool IsZero() const noexcept { return m_.IsZero(); }
  bool IsOne() const noexcept;
  void SetZero();

 private:
  friend struct TRealAccess;
  TInteger m_;
  std::int32_t e_ = 0;
};

class TComplex : public TFloat {
 public:
  TComplex() noexcept = default;
  TComplex(const TComplex& other);           // normalized to the current P
  TComplex& operator=(const TComplex&) = delete;  // use XAssign

  TReal& Re() noexcept { return re_; }
  const TReal& Re() const noexcept { return re_; }
  TReal& Im() noexcept { return im_; }
  const TReal& Im() const noexcept { return im_; }
  bool IsZero() const noexcept { return re_.IsZero() && im_.IsZero(); }
  void SetZero();

 private:
  TReal re_;
  TReal im_;
};

// ---- Real numbers: setting, copying, comparison ----
void XSet(TReal& a, std::int64_t value);
inline void XSet(TReal& a, std::int32_t value) { XSet(a, static_cast<std::int64_t>(value)); }
void XSet(TReal& a, std::int32_t num, std::int32_t den);   // num/den; den = 0: "XSet"
// From the 80-bit extended format; infinity raises "XSet", "E = ±INF".
void XSet(TReal& a, long double value);
void XSet(TReal& a, const TInteger& value);
void XAssign(TReal& a, const TReal& b);
void XSwap(TReal& a, TReal& b) noexcept;
void XNeg(TReal& a) noexcept;
void XAbs(TReal& a) noexcept;
void XConj(TReal& a) noexcept;                 // a real is its own conjugate
void XNorm(TReal& r, const TReal& a);          // r := a²
int XCmp(const TReal& a, const TReal& b);      // -1, 0, 1
bool XEqual(const TReal& a, const TReal& b);
bool XGreater(const TReal& a, const TReal& b);
// True when |a| < 2^(bits - P), or a = 0 for bits <= 0. bits > P: "TReal.IsEpsilon".
bool IsEpsilon(const TReal& a, std::int32_t bits);

// ---- Real arithmetic (a := a op b; b may be a) ----
void XAdd(TReal& a, const TReal& b);
void XSub(TReal& a, const TReal& b);
void XMul(TReal& a, const TReal& b);
void XMul2(TReal& a);
void XMulPow2(TReal& a, std::int64_t k);       // a·2^k through the exponent ("XMulPow2")
void XSqr(TReal& a);
void XDiv(TReal& a, const TReal& b);
void XDiv(TReal& a, std::int64_t n);
void XInv(TReal& a);
void XSqrRoot(TReal& a);

// ---- Rounding ----
bool XTrunc(TReal& a);                          // toward zero; returns whether odd
void XFloor(TReal& a);
void XRound(TReal& a);                          // floor(a + 1/2)
void XToInteger(const TReal& a, TInteger& out); // integer part toward zero

// ---- Real transcendental functions (32 guard bits) ----
void XExp(TReal& a);
void XLog(TReal& a);
void XSinCos(const TReal& x, TReal& sin, TReal& cos);  // sin and cos distinct
void XArcTan(TReal& a);
void XArcTan2(TReal& y, const TReal& x);        // y := atan2(y, x) in (-pi, pi]
void XPi(TReal& a);

// ---- Complex numbers ----
void XSet(TComplex& z, std::int64_t re, std::int64_t im);
void XAssign(TComplex& z, const TComplex& w);
void XSwap(TComplex& z, TComplex& w) noexcept;
void XNeg(TComplex& z) noexcept;
void XConj(TComplex& z) noexcept;
void XNorm(TReal& r, const TComplex& z);        // r := Re² + Im²
void XAbs(TReal& r, const TComplex& z);         // r := |z|
bool IsEpsilon(const TComplex& z, std::int32_t bits);  // both parts; "TComplex.IsEpsilon"

void XAdd(TComplex& z, const TComplex& w);
void XSub(TComplex& z, const TComplex& w);
void XMul(TComplex& z, const TComplex& w);      // three real products
void XMul2(TComplex& z);
void XSqr(TComplex& z);
void XDiv(TComplex& z, const TComplex& w);
void XDiv(TComplex& z, std::int64_t n);
void XDiv(TComplex& z, const TReal& r);
void XInv(TComplex& z);

void XExp(TComplex& z);
void XLog(TComplex& z);                         // principal branch
void XPow(TComplex& z, std::int32_t a, std::int32_t b);  // z^(a/b)
void XPow(TComplex& z, std::int32_t n);         // z^n by binary powering
void XRoot(TComplex& z, std::int32_t n);        // z^(1/n)

}  // namespace rara
