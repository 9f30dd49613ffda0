// TInteger <-> mpz_t through the limb arrays (both little-endian).
#include "tests/support/gmp_support.h"

#include <cstdio>
#include <vector>

namespace rara::test {

void ToMpz(mpz_t out, const TInteger& a) {
  if (a.Size() == 0) { mpz_set_ui(out, 0); return; }
  mpz_import(out, static_cast<size_t>(a.Size()), -1, 4, 0, 0, a.Limbs());
  if (a.Negative()) mpz_neg(out, out);
}

void FromMpz(TInteger& out, const mpz_t a) {
  size_t count = 0;
  size_t words = (mpz_sizeinbase(a, 2) + 31) / 32;
  std::vector<std::uint32_t> limbs(words + 1, 0);
  mpz_export(limbs.data(), &count, -1, 4, 0, 0, a);
  out.Clear();
  if (count == 0) return;
  out.SetSize(static_cast<std::int32_t>(count), false);
  for (size_t i = 0; i < count; ++i) out.Limbs()[i] = limbs[i];
  out.Normalize();
  out.SetNegative(mpz_sgn(a) < 0);
}

std::string MpzText(const mpz_t a) {
  char* s = mpz_get_str(nullptr, 16, a);
  std::string r = std::string("0x") + s;
  void (*freefunc)(void*, size_t);
  mp_get_memory_functions(nullptr, nullptr, &freefunc);
  freefunc(s, std::char_traits<char>::length(s) + 1);
  return r;
}

std::string LimbText(const TInteger& a) {
  std::string r = a.Negative() ? "-0x" : "0x";
  if (a.Size() == 0) return r + "0";
  char buf[16];
  for (int i = a.Size() - 1; i >= 0; --i) {
    std::snprintf(buf, sizeof buf, i == a.Size() - 1 ? "%x" : "%08x", a.Limbs()[i]);
    r += buf;
  }
  return r;
}

bool SameAs(const TInteger& a, const mpz_t b) {
  if (a.Size() > a.Capacity()) return false;
  if (a.Capacity() % 8 != 0) return false;
  if (a.Size() > 0 && a.Limbs()[a.Size() - 1] == 0) return false;
  for (int i = a.Size(); i < a.Capacity(); ++i)
    if (a.Limbs()[i] != 0) return false;
  if (a.Size() == 0 && a.Negative()) return false;
  Mpz x(a);
  return mpz_cmp(x, b) == 0;
}

}  // namespace rara::test
