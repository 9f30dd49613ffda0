// Primality of words and integers, trial division by the small primes, the
// extraction of small prime factors, and square roots modulo 2^N.
#include <algorithm>
#include <cstdint>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/prime_mont.h"
#include "integers/primes.h"
#include "integers/words.h"

namespace rara {

namespace {

using u64 = std::uint64_t;

// a^d mod n for words.
std::uint32_t PowModWord(std::uint32_t a, std::uint32_t d, std::uint32_t n) {
  u64 result = 1;
  u64 base = a % n;
  while (d != 0) {
    if (d & 1u) result = result * base % n;
    base = base * base % n;
    d >>= 1;
  }
  return static_cast<std::uint32_t>(result);
}

// The strong probable-prime test on a word (n odd, n > a); the same decision
// as ISprp, without building integers.
bool SprpWord(std::uint32_t n, std::uint32_t a) {
  std::uint32_t d = n - 1;
  int s = 0;
  while ((d & 1u) == 0) {
    d >>= 1;
    ++s;
  }
  u64 x = PowModWord(a, d, n);
  if (x == 1 || x == n - 1) return true;
  for (int r = 1; r < s; ++r) {
    x = x * x % n;
    if (x == n - 1) return true;
    if (x == 1) return false;
  }
  return false;
}

// x mod m for x < m·2^32, through q = floor(x·inverse / 2^64), which is at
// most two below the true quotient.
inline std::uint32_t ReduceGroup(u64 x, const TTrialGroup& g) {
  const u64 q = words::MulHigh(x, g.Inverse);
  u64 r = x - q * g.Product;
  while (r >= g.Product) r -= g.Product;
  return static_cast<std::uint32_t>(r);
}

// |a| mod the products of the groups first .. first + count - 1 (count <= 4),
// limb by limb from the top; the four chains run side by side.
void GroupRemainders(const TInteger& a, int first, int count, std::uint32_t* rem) {
  const std::uint32_t* limbs = a.Limbs();
  const TTrialGroup* g = TrialGroups + first;
  std::uint32_t r[4] = {0, 0, 0, 0};
  if (count == 4) {
    for (std::int32_t i = a.Size() - 1; i >= 0; --i) {
      const u64 limb = limbs[i];
      r[0] = ReduceGroup((static_cast<u64>(r[0]) << 32) | limb, g[0]);
      r[1] = ReduceGroup((static_cast<u64>(r[1]) << 32) | limb, g[1]);
      r[2] = ReduceGroup((static_cast<u64>(r[2]) << 32) | limb, g[2]);
      r[3] = ReduceGroup((static_cast<u64>(r[3]) << 32) | limb, g[3]);
    }
  } else {
    for (int j = 0; j < count; ++j)
      for (std::int32_t i = a.Size() - 1; i >= 0; --i)
        r[j] = ReduceGroup((static_cast<u64>(r[j]) << 32) | limbs[i], g[j]);
  }
  for (int j = 0; j < count; ++j) rem[j] = r[j];
}

// Jacobi symbol (a/m), m odd and positive.
int JacobiWord(u64 a, u64 m) {
  a %= m;
  int t = 1;
  while (a != 0) {
    while ((a & 1) == 0) {
      a >>= 1;
      const u64 r = m & 7;
      if (r == 3 || r == 5) t = -t;
    }
    const u64 tmp = a;
    a = m;
    m = tmp;
    if ((a & 3) == 3 && (m & 3) == 3) t = -t;
    a %= m;
  }
  return m == 1 ? t : 0;
}

// Jacobi symbol (d/n) for a small odd d (either sign) and a large odd n > 0.
int JacobiSmall(std::int64_t d, const TInteger& n) {
  const u64 ad = static_cast<u64>(d < 0 ? -d : d);
  const std::uint32_t n8 = n.Limbs()[0] & 7u;
  // (|d|/n) = (n/|d|) up to the reciprocity sign.
  int t = JacobiWord(IModWord(n, static_cast<std::uint32_t>(ad)), ad);
  if ((ad & 3) == 3 && (n8 & 3) == 3) t = -t;
  if (d < 0 && (n8 & 3) == 3) t = -t;   // (-1/n)
  return t;
}

// Strong Lucas probable-prime test with Selfridge's parameters (P = 1,
// Q = (1 - D) / 4, D the first of 5, -7, 9, -11, ... with (D/n) = -1). Together
// with the strong test to base 2 this is the Baillie-PSW test, which no known
// composite passes. n odd, without factors below 32768.
bool StrongLucas(const TInteger& n) {
  std::int64_t d = 5;
  for (int tries = 0;; ++tries) {
    const int j = JacobiSmall(d, n);
    if (j == -1) break;
    if (j == 0) return false;   // |d| < 32768 shares a factor with n > |d|
    if (tries == 8) {
      // Squares have no such D; test once the cheap tries are spent.
      TUVInteger root(n);
      ISqrRoot(*root);
      ISqr(*root);
      if (IEqual(*root, n)) return false;
    }
    d = d > 0 ? -(d + 2) : -d + 2;
    RuvBreak();
  }
  const std::int64_t q = (1 - d) / 4;

  // n + 1 = k·2^s with k odd.
  TUVInteger k(n);
  IInc(*k);
  const std::int32_t s = IRemoveTwos(*k);

  const TMontgomery mont(n);
  auto dm = mont.NewValue(), qm = mont.NewValue(), u = mont.NewValue(), v = mont.NewValue(),
       qk = mont.NewValue(), t = mont.NewValue();
  mont.SetInt(dm.data(), d);
  mont.SetInt(qm.data(), q);
  // U_1 = 1, V_1 = P = 1, Q^1; then the binary ladder over the bits of k.
  u.assign(mont.One(), mont.One() + mont.Words());
  v = u;
  qk = qm;
  for (std::int32_t c = k->BitSize() - 2; c >= 0; --c) {
    RuvBreak();
    // U_2m = U_m·V_m; V_2m = V_m² - 2Q^m; Q^2m.
    mont.Mul(u.data(), u.data(), v.data());
    mont.Mul(v.data(), v.data(), v.data());
    mont.Sub(v.data(), v.data(), qk.data());
    mont.Sub(v.data(), v.data(), qk.data());
    mont.Mul(qk.data(), qk.data(), qk.data());
    if (k->Bit(static_cast<std::uint32_t>(c))) {
      // U_m+1 = (U_m + V_m) / 2; V_m+1 = (D·U_m + V_m) / 2; Q^(m+1).
      mont.Mul(t.data(), dm.data(), u.data());
      mont.Add(t.data(), t.data(), v.data());
      mont.Half(t.data());
      mont.Add(u.data(), u.data(), v.data());
      mont.Half(u.data());
      v.swap(t);
      mont.Mul(qk.data(), qk.data(), qm.data());
    }
  }
  if (mont.IsZero(u.data()) || mont.IsZero(v.data())) return true;
  for (std::int32_t r = 1; r < s; ++r) {
    // V_2m = V_m² - 2Q^m.
    mont.Mul(v.data(), v.data(), v.data());
    mont.Sub(v.data(), v.data(), qk.data());
    mont.Sub(v.data(), v.data(), qk.data());
    if (mont.IsZero(v.data())) return true;
    mont.Mul(qk.data(), qk.data(), qk.data());
  }
  return false;
}

// Records factor p with exponent count at the next free place of f and e.
void RecordFactor(TInteger& f, TInteger* e, std::uint32_t p, std::uint32_t count) {
  const std::uint32_t k = static_cast<std::uint32_t>(f.Size());
  f.SetLong(k, p);
  if (e != nullptr) e->SetLong(k, count);
}

// Divides a by p as long as the division is exact; records p when it divided.
void ExtractPrime(TInteger& a, TInteger& f, TInteger* e, std::uint32_t p) {
  std::uint32_t count = 0;
  do {
    IDivWord(a, p);
    ++count;
  } while (IModWord(a, p) == 0);
  RecordFactor(f, e, p, count);
}

// Steps shared by both forms: F := 0, E := 1, then the factor 2. Returns
// false when nothing is left to factor.
bool StartFactors(TInteger& a, TInteger& f, TInteger* e) {
  f.Clear();
  if (e != nullptr) e->SetOne();
  if (a.IsZero()) return false;
  if (a.IsAbsOne()) {
    f.SetOne();
    return false;
  }
  if (!a.IsOdd()) {
    const std::int32_t twos = IRemoveTwos(a);
    RecordFactor(f, e, 2, static_cast<std::uint32_t>(twos));
  }
  return true;
}

// The strong test on integers with squares and remainders, for the moduli
// outside the Montgomery form (even n, n <= a).
bool SprpPlain(const TInteger& n, std::uint32_t a, const TInteger& d, std::int32_t s, std::int32_t l) {
  TUVInteger x, nm1(d);
  x->SetInt64(a);
  for (std::int32_t c = l - 2; c >= s; --c) {
    ISqr(*x);
    IMod(*x, n);
    if (d.Bit(static_cast<std::uint32_t>(c))) IMulWord(*x, a);
  }
  IMod(*x, n);
  if (x->IsOne() || IEqual(*x, *nm1)) return true;
  if (s < 2) return false;
  for (std::int32_t r = 1; r < s; ++r) {
    ISqr(*x);
    IMod(*x, n);
    if (IEqual(*x, *nm1)) return true;
    if (x->IsOne()) return false;
  }
  return false;
}

}  // namespace

bool IIsPrimeWord(std::uint32_t w) {
  if (w < 31) return ((0x208A28ACu >> w) & 1u) != 0;
  if ((w & 1u) == 0 || IGcdWord(w, 0xC0CFD797u) != 1) return false;
  static constexpr std::uint32_t Bases[] = {2, 3, 5, 7, 11};
  for (std::uint32_t a : Bases)
    if (!SprpWord(w, a)) return false;
  return true;
}

bool ISprp(const TInteger& n, std::uint32_t a) {
  TUVInteger d(n);
  IDec(*d);
  const std::int32_t s = d->LowBit();
  const std::int32_t l = d->BitSize();
  if (!n.IsOdd() || ICmp(n, a) <= 0) return SprpPlain(n, a, *d, s, l);
  // x := a^(d / 2^s) mod n, left to right over the bits of d above the twos,
  // in Montgomery form.
  const TMontgomery mont(n);
  auto base = mont.NewValue(), x = mont.NewValue();
  mont.SetInt(base.data(), a);
  x = base;
  for (std::int32_t c = l - 2; c >= s; --c) {
    mont.Mul(x.data(), x.data(), x.data());
    if (d->Bit(static_cast<std::uint32_t>(c))) mont.Mul(x.data(), x.data(), base.data());
  }
  if (mont.Equal(x.data(), mont.One()) || mont.Equal(x.data(), mont.MinusOne())) return true;
  if (s < 2) return false;
  for (std::int32_t r = 1; r < s; ++r) {
    mont.Mul(x.data(), x.data(), x.data());
    if (mont.Equal(x.data(), mont.MinusOne())) return true;
    if (mont.Equal(x.data(), mont.One())) return false;
  }
  return false;
}

std::uint32_t ISmallestFactor(const TInteger& a) {
  RuvBreak();
  if (a.IsZero() || a.IsAbsOne()) return 1;
  if (!a.IsOdd()) return 2;
  // One remainder per group of primes, then divisibility tests inside the group.
  for (int g0 = 0; g0 < TrialGroupCount; g0 += 4) {
    const int count = std::min(4, TrialGroupCount - g0);
    std::uint32_t rem[4];
    GroupRemainders(a, g0, count, rem);
    for (int j = 0; j < count; ++j) {
      const TTrialGroup& group = TrialGroups[g0 + j];
      for (std::uint32_t i = 0; i < group.Count; ++i)
        if (SmallPrimeDivides(rem[j], static_cast<int>(group.First + i))) return SmallPrimes[group.First + i];
    }
  }
  return 1;
}

bool IIsPrime(const TInteger& a) {
  RuvBreak();
  if (ICmp(a, 2) < 0) return false;
  if (!a.IsOdd()) return a.Size() == 1 && a.Limbs()[0] == 2;
  if (a.Size() == 1) return IIsPrimeWord(a.Limbs()[0]);
  return ISmallestFactor(a) == 1 && ISprp(a, 2) && ISprp(a, 3) && StrongLucas(a);
}

void ISmallFactors(TInteger& a, TInteger& f, TInteger* e, std::int32_t bound) {
  if (bound < 2) RaiseInvalidArg("ISmallFactors", "Bound should be greater than 1");
  if (static_cast<std::uint32_t>(bound) > MaxPrimeBound)
    RaiseInvalidArg("ISmallFactors", "Bound should be less than 1073741825");
  if (&a == &f || &a == e || &f == e) RaiseDuplicatePtr("ISmallFactors", "A,F,E");
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (!StartFactors(a, f, e)) return;
  if (bound == 2 || a.IsAbsOne()) return;

  const std::uint32_t ubound = static_cast<std::uint32_t>(bound);
  // The small primes go by groups: one remainder of a per group tells which
  // of its primes divide (dividing a by one of them keeps the others' tests).
  bool tableDone = true;
  for (int g = 0; g < TrialGroupCount && tableDone; ++g) {
    const TTrialGroup& group = TrialGroups[g];
    std::uint32_t r;
    GroupRemainders(a, g, 1, &r);
    for (std::uint32_t i = 0; i < group.Count; ++i) {
      const std::uint32_t index = group.First + i;
      const std::uint32_t p = SmallPrimes[index];
      if (p > ubound || a.IsAbsOne()) {
        tableDone = false;
        break;
      }
      if (poll && index % 32 == 0) RuvBreak();
      if (SmallPrimeDivides(r, static_cast<int>(index))) ExtractPrime(a, f, e, p);
    }
  }
  if (!tableDone || ubound <= 32768 || a.IsAbsOne()) return;

  TPrimeList list(true);
  list.SetBound(bound);
  for (std::int32_t i = SmallPrimeCount + 1; i <= list.Count() && !a.IsAbsOne(); ++i) {
    if (poll && i % 32 == 0) RuvBreak();
    const std::uint32_t p = list.PrimeAt(i);
    if (IModWord(a, p) == 0) ExtractPrime(a, f, e, p);
  }
}

void ISmallFactors(TInteger& a, TInteger& f, TInteger* e, const TPrimeList& list) {
  if (&a == &f || &a == e || &f == e) RaiseDuplicatePtr("ISmallFactors", "A,F,E");
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (!StartFactors(a, f, e)) return;
  for (std::int32_t i = 2; i <= list.Count() && !a.IsAbsOne(); ++i) {
    if (poll && i % 32 == 0) RuvBreak();
    const std::uint32_t p = list.PrimeAt(i);
    if (IModWord(a, p) == 0) ExtractPrime(a, f, e, p);
  }
}

void ISqrRootMod2N(TInteger& a, std::int32_t n) {
  if (a.Negative() || a.IsZero() || (a.Limbs()[0] & 7u) != 1)
    RaiseInvalidArg("ISqrRootMod2N", "(A < 0) or (A <> 1 modulo 8)");
  if (n < 3) RaiseInvalidArg("ISqrRootMod2N", "N < 3");
  TUVInteger x, q, t;
  x->SetOne();
  q->SetOne();   // q = x² mod 2^n throughout
  // Bit i of x is chosen so that bit i + 1 of x² agrees with a; bit i of x
  // does not reach the lower bits of x².
  for (std::int32_t i = 2; i <= n - 2; ++i) {
    RuvBreak();
    const std::uint32_t bit = static_cast<std::uint32_t>(i + 1);
    if (q->Bit(bit) == a.Bit(bit)) continue;
    // (x + 2^i)² = x² + x·2^(i+1) + 2^(2i)
    IAssign(*t, *x);
    IShl(*t, i + 1);
    IAdd(*q, *t);
    if (2 * static_cast<std::int64_t>(i) < n) {
      t->SetOne();
      IShl(*t, 2 * i);
      IAdd(*q, *t);
    }
    ICut(*q, n);
    x->SetBit(static_cast<std::uint32_t>(i), true);
  }
  // Of the four roots ±x, ±x + 2^(n-1), take the one <= 2^(n-2).
  if (n >= 4 && x->Bit(static_cast<std::uint32_t>(n - 2))) {
    t->SetOne();
    IShl(*t, n - 1);
    ISub(*t, *x);
    IAssign(a, *t);
  } else {
    IAssign(a, *x);
  }
}

}  // namespace rara
