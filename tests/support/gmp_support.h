// Conversions between TInteger and GMP's mpz_t, the oracle of the integer tests.
#pragma once

#include <gmp.h>

#include <string>

#include "integers/integers.h"

namespace rara::test {

void ToMpz(mpz_t out, const TInteger& a);
void FromMpz(TInteger& out, const mpz_t a);
// Decimal text of an mpz value, for failure messages.
std::string MpzText(const mpz_t a);
// Hexadecimal text of a TInteger built from its limbs alone, for failure messages.
std::string LimbText(const TInteger& a);

// RAII mpz_t.
class Mpz {
 public:
  Mpz() { mpz_init(v_); }
  explicit Mpz(const TInteger& a) { mpz_init(v_); ToMpz(v_, a); }
  ~Mpz() { mpz_clear(v_); }
  Mpz(const Mpz&) = delete;
  Mpz& operator=(const Mpz&) = delete;
  mpz_ptr get() { return v_; }
  mpz_srcptr get() const { return v_; }
  operator mpz_ptr() { return v_; }
  operator mpz_srcptr() const { return v_; }

 private:
  mpz_t v_;
};

// True when a equals the GMP value exactly (and a's invariants hold).
bool SameAs(const TInteger& a, const mpz_t b);

}  // namespace rara::test
