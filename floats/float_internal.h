// Shared internals of the floating-point unit: raw access to a real's fields,
// normalization with exponent checks, and the working-precision global.
#pragma once

#include <cstdint>
#include <string_view>

#include "floats/floats.h"

namespace rara {

namespace float_detail {
extern std::int32_t Precision;  // main thread only
}

struct TRealAccess {
  static TInteger& M(TReal& a) noexcept { return a.m_; }
  static std::int32_t& E(TReal& a) noexcept { return a.e_; }
};

namespace float_detail {

inline TInteger& M(TReal& a) noexcept { return TRealAccess::M(a); }
inline std::int32_t& E(TReal& a) noexcept { return TRealAccess::E(a); }

// Stores exponent e into a, raising the overflow error with name when it does
// not fit in 32 bits.
void SetExponent(TReal& a, std::int64_t e, std::string_view name);

// Brings the mantissa to exactly P bits (truncating toward zero) with exponent
// e; zero gets exponent 0. Overflow of the exponent raises name.
void Normalize(TReal& a, std::int64_t e, std::string_view name);
inline void Normalize(TReal& a, std::string_view name) { Normalize(a, E(a), name); }

// Normalizes the value m·2^e and makes it a's value (m is left with a's old
// mantissa). On an exponent overflow a is left unchanged.
void NormalizeInto(TReal& a, TInteger& m, std::int64_t e, std::string_view name);

// a := a·n, truncated (name on exponent overflow).
void MulInt64(TReal& a, std::int64_t n, std::string_view name);

// Multiplies by 2^k through the exponent.
void MulPow2(TReal& a, std::int64_t k, std::string_view name);

// pi computed afresh at the current precision (no cache, no guard bits).
void ComputePi(TReal& pi);

// The transcendental routines: save P, add the guard bits, and restore on
// every exit.
class TGuardedPrecision {
 public:
  TGuardedPrecision() { TFloat::IncPrecision(TFloat::GuardBits); }
  void Restore() noexcept { guard_.Restore(); }

 private:
  TPrecisionGuard guard_;
};

}  // namespace float_detail
}  // namespace rara
