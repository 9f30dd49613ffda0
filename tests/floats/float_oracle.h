// MPFR/MPC as the oracle of the floating-point tests: conversions, random
// reals, and the error measure in units of the last kept bit.
#pragma once

#include <mpc.h>
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "floats/float_internal.h"
#include "floats/floats.h"
#include "integers/random.h"
#include "tests/support/gmp_support.h"

namespace rara::test {

class Mpfr {
 public:
  explicit Mpfr(mpfr_prec_t prec) { mpfr_init2(v_, prec); }
  ~Mpfr() { mpfr_clear(v_); }
  Mpfr(const Mpfr&) = delete;
  Mpfr& operator=(const Mpfr&) = delete;
  operator mpfr_ptr() { return v_; }
  operator mpfr_srcptr() const { return v_; }

 private:
  mpfr_t v_;
};

class Mpc {
 public:
  explicit Mpc(mpfr_prec_t prec) { mpc_init2(v_, prec); }
  ~Mpc() { mpc_clear(v_); }
  Mpc(const Mpc&) = delete;
  Mpc& operator=(const Mpc&) = delete;
  operator mpc_ptr() { return v_; }
  operator mpc_srcptr() const { return v_; }

 private:
  mpc_t v_;
};

// Exact: out gets enough precision for the mantissa.
inline void ToMpfr(mpfr_ptr out, const TReal& a) {
  Mpz m(a.Mantissa());
  const mpfr_prec_t need = std::max<mpfr_prec_t>(a.Mantissa().BitSize(), MPFR_PREC_MIN);
  if (mpfr_get_prec(out) < need) mpfr_set_prec(out, need);
  mpfr_set_z_2exp(out, m, a.Exponent(), MPFR_RNDN);
}

inline void ToMpc(mpc_ptr out, const TComplex& z) {
  ToMpfr(mpc_realref(out), z.Re());
  ToMpfr(mpc_imagref(out), z.Im());
}

// Exact when the mantissa fits the current precision (then a is in normal form).
inline void FromMpfr(TReal& a, mpfr_srcptr x) {
  if (mpfr_zero_p(x)) {
    a.SetZero();
    return;
  }
  Mpz m;
  const mpfr_exp_t e = mpfr_get_z_2exp(m, x);
  FromMpz(TRealAccess::M(a), m);
  float_detail::Normalize(a, e, "test");
}

// A random value with a P-bit mantissa, position in [posLo, posHi], random sign.
inline void RandomReal(TReal& a, std::int64_t posLo, std::int64_t posHi, bool allowNegative = true) {
  const std::int32_t p = TFloat::Precision();
  TInteger& m = TRealAccess::M(a);
  m.Clear();
  for (std::int32_t i = 0; i < p / 32; ++i) m.SetLong(i, RuvRandom());
  // Now and then a power of two or all ones: the carry and borrow paths.
  const std::uint32_t shape = RuvRandom() % 8;
  if (shape == 0) {
    m.Clear();
  } else if (shape == 1) {
    for (std::int32_t i = 0; i < p / 32; ++i) m.SetLong(i, 0xFFFFFFFFu);
  }
  m.SetBit(p - 1, true);
  if (allowNegative && (RuvRandom() & 1)) INeg(m);
  const std::int64_t pos = posLo + static_cast<std::int64_t>(RuvRandom() % static_cast<std::uint32_t>(posHi - posLo + 1));
  TRealAccess::E(a) = static_cast<std::int32_t>(pos - p);
}

// Random working precision in [lo, hi] bits, log-uniform, set with SetPrecision.
inline std::int32_t RandomPrecision(std::int32_t lo, std::int32_t hi) {
  const double r = static_cast<double>(RuvRandom()) / 4294967296.0;
  const double bits = lo * std::pow(static_cast<double>(hi) / lo, r);
  TFloat::SetPrecision(static_cast<std::int32_t>(bits));
  return TFloat::Precision();
}

// |a - exact| in units of 2^(pos(exact) - P) (the last kept bit), as a double;
// exact zero gives the error in units of 2^-P.
inline double UlpError(const TReal& a, mpfr_srcptr exact) {
  const std::int32_t p = TFloat::Precision();
  Mpfr d(mpfr_get_prec(exact) + 64 + (a.IsZero() ? 0 : a.Mantissa().BitSize()));
  Mpfr x(64);
  ToMpfr(x, a);
  mpfr_sub(d, x, exact, MPFR_RNDN);
  const mpfr_exp_t pos = mpfr_zero_p(exact) ? 0 : mpfr_get_exp(exact);
  mpfr_mul_2si(d, d, -(pos - p), MPFR_RNDN);
  return std::fabs(mpfr_get_d(d, MPFR_RNDN));
}

// Absolute error in units of 2^(scalePos - P).
inline double ScaledError(const TReal& a, mpfr_srcptr exact, std::int64_t scalePos) {
  const std::int32_t p = TFloat::Precision();
  Mpfr d(mpfr_get_prec(exact) + 64 + (a.IsZero() ? 0 : a.Mantissa().BitSize()));
  Mpfr x(64);
  ToMpfr(x, a);
  mpfr_sub(d, x, exact, MPFR_RNDN);
  mpfr_mul_2si(d, d, -(scalePos - p), MPFR_RNDN);
  return std::fabs(mpfr_get_d(d, MPFR_RNDN));
}

inline std::string Text(mpfr_srcptr x) {
  char* s = nullptr;
  mpfr_asprintf(&s, "%.40Rg", x);
  std::string r(s);
  mpfr_free_str(s);
  return r;
}

inline std::string Text(const TReal& a) {
  Mpfr x(64);
  ToMpfr(x, a);
  return Text(x) + " [m=" + LimbText(a.Mantissa()) + " e=" + std::to_string(a.Exponent()) + "]";
}

// True when a is zero or has exactly P mantissa bits.
inline bool InNormalForm(const TReal& a) {
  return a.IsZero() ? a.Exponent() == 0 : a.Mantissa().BitSize() == TFloat::Precision();
}

}  // namespace rara::test
