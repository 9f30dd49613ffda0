// The CM parameter search and its filters. Class numbers and square-freeness
// are sieved for a block of consecutive candidates at once, so that a long
// search costs a few hundred word operations per candidate.
#include "engine/cm_search.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/form_math.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/prime_table.h"

namespace rara {

namespace {

using i64 = std::int64_t;
using u64 = std::uint64_t;

// The candidates of one block: square-freeness and class numbers of
// d0, d0 + 8, ..., found together; later candidates start a new, longer block.
class TCandidateBlocks {
 public:
  bool SquareFree(i64 d) {
    if (d < lo_ || d >= lo_ + 8 * count_) Refill(d);
    return squareFree_[static_cast<std::size_t>((d - lo_) >> 3)] != 0;
  }
  std::int32_t ClassNumberOf(i64 d) const {
    return static_cast<std::int32_t>(h_[static_cast<std::size_t>((d - lo_) >> 3)]);
  }

 private:
  void Refill(i64 d) {
    // Grow the block while it pays: the per-block set-up costs about d/5
    // steps, each candidate about √d/5.
    const i64 cap = std::clamp<i64>(8 * ISqrt64(d), 4096, i64{1} << 18);
    length_ = std::min<i64>(length_ == 0 ? 512 : 2 * length_, cap);
    const i64 last = std::min<i64>(d + 8 * (length_ - 1), CMSearchLimit - 1);
    lo_ = d;
    count_ = (last - d) / 8 + 1;
    MarkSquareFree();
    ClassNumberBlock(static_cast<std::int32_t>(lo_), static_cast<std::int32_t>(count_), h_);
  }

  void MarkSquareFree() {
    squareFree_.assign(static_cast<std::size_t>(count_), 1);
    const i64 hi = lo_ + 8 * (count_ - 1);
    for (int i = 2; i <= SmallPrimeCount; ++i) {
      const u64 p = SmallPrimes[i];
      const u64 m = p * p;
      if (static_cast<i64>(m) > hi) break;
      // lo + 8k = 0 (mod p²): k = -lo · 8^-1, with 8^-1 = ((m + 1)/2)³.
      const u64 half = (m + 1) / 2;
      const u64 inv8 = half * half % m * half % m;
      const u64 neg = (m - static_cast<u64>(lo_) % m) % m;
      for (u64 k = neg * inv8 % m; k < static_cast<u64>(count_); k += m) squareFree_[k] = 0;
    }
  }

  i64 lo_ = 0;
  i64 count_ = 0;
  i64 length_ = 0;
  std::vector<std::uint8_t> squareFree_;
  std::vector<std::uint32_t> h_;
};

// Moves every factor p of u into k; false when k outgrows kMaxSize.
bool TakeFactor(TInteger& u, TInteger& k, std::uint32_t p, std::int32_t kMaxSize) {
  do {
    IMulWord(k, p);
    IDivWord(u, p);
  } while (IModWord(u, p) == 0);
  return k.BitSize() <= kMaxSize;
}

// True once u fits a word and p is not below it: no further factor to find.
bool SplitDone(const TInteger& u, std::uint32_t p) { return u.Size() <= 1 && p >= u.Long(0); }

// Prime order checks of the shortcuts: K fixed at 2^c.
bool PrimeQuotient(const TInteger& u, std::int32_t shift, TInteger& r) {
  IAssign(r, u);
  IShr(r, shift);
  return IIsPrime(r);
}

}  // namespace

bool IsSquareFree(std::int32_t d) {
  for (int i = 2; i <= SmallPrimeCount; ++i) {
    const i64 p = SmallPrimes[i];
    if (d < p * p) return true;
    if (d % (p * p) == 0) return false;
  }
  return true;
}

std::int32_t ClassNumber(std::int32_t d) {
  std::int32_t count = 0;
  const i64 bmax = static_cast<i64>(std::sqrt(static_cast<long double>(d) / 3));
  for (i64 b = 0; b <= bmax; ++b) {
    RuvBreak();
    const i64 n = d + b * b;
    const i64 amax = ISqrt64(n);
    for (i64 a = std::max<i64>(2 * b, 1); a <= amax; ++a) {
      if (n % a != 0) continue;
      const i64 c = n / a;
      if (Gcd3(a, 2 * b, c) != 1)
        continue;
      ++count;
      if (b > 0 && 2 * b < a && a < c) ++count;
    }
  }
  return count;
}

void ClassNumberBlock(std::int32_t d0, std::int32_t count, std::vector<std::uint32_t>& h) {
  // Each reduced form (a, b, c), 0 <= 2b <= a <= c, is visited once, for the
  // d = ac - b² of the block it belongs to. For square-free d = 7 (mod 8)
  // the primitive ones have a odd (any b) or a = 0 (mod 8) with b and c odd;
  // a = 2 (mod 4) and a = 4 (mod 8) force c even, i.e. gcd 2.
  h.assign(static_cast<std::size_t>(count), 0);
  const i64 lo = d0;
  const i64 n = count;
  const i64 hi = lo + 8 * (n - 1);
  const i64 amax = ISqrt64(4 * hi / 3);  // 2b <= a <= c gives 3a² <= 4d
  std::uint32_t* cnt = h.data();
  for (i64 a = 1; a <= amax; ++a) {
    RuvBreak();
    if (a & 1) {
      // lo + b² = q·a + rem, kept up to date as b grows (2b - 1 < a).
      i64 q = lo / a;
      i64 rem = lo % a;
      for (i64 b = 0; 2 * b < a; ++b) {
        if (b > 0) {
          rem += 2 * b - 1;
          if (rem >= a) {
            rem -= a;
            ++q;
          }
        }
        i64 c = q + (rem != 0 ? 1 : 0);  // smallest c with ac - b² >= lo
        if (c < a) c = a;
        const i64 c8 = ((7 + b * b) * a) & 7;  // ac = 7 + b² (mod 8), a⁻¹ = a
        c += (c8 - c) & 7;
        i64 k = (a * c - b * b - lo) >> 3;
        if (k >= n) continue;
        if (c == a) {  // a = c: one form only (b > 0 here, since a² != 7 mod 8)
          cnt[k] += 1;
          k += a;
        }
        const std::uint32_t w = b == 0 ? 1 : 2;
        for (; k < n; k += a) cnt[k] += w;  // c += 8
      }
    } else if ((a & 7) == 0) {
      const i64 step = a / 4;  // c += 2
      i64 q = (lo + 1) / a;
      i64 rem = (lo + 1) % a;
      for (i64 b = 1; 2 * b < a; b += 2) {
        if (b > 1) {
          rem += 4 * b - 4;  // b² - (b - 2)²
          while (rem >= a) {
            rem -= a;
            ++q;
          }
        }
        i64 c = q + (rem != 0 ? 1 : 0);
        if (c <= a) c = a + 1;
        c |= 1;
        i64 k = (a * c - b * b - lo) >> 3;
        for (; k < n; k += step) cnt[k] += 2;  // 0 < 2b < a < c
      }
    }
  }
}

bool SolveNormEquation(std::int32_t d, std::int32_t n, TInteger& t) {
  TUVInteger a, b, c, q, u, p, x, y;
  // The form (M, x, (x² + d)/M) of determinant d, M = 2^(n+2), x² = -d.
  a->SetOne();
  IShl(*a, n + 2);
  // -d modulo M; on small fields d may exceed M.
  x->SetInt64(-static_cast<i64>(d));
  IMod(*x, *a);
  ISqrRootMod2N(*x, n + 2);
  IAssign(*b, *x);
  IAssign(*c, *x);
  ISqr(*c);
  IAdd(*c, static_cast<i64>(d));
  IShr(*c, n + 2);
  u->SetOne();
  p->Clear();
  for (;;) {
    RuvBreak();
    IAssign(*x, *b);
    IShl1(*x);
    if (ICmpAbs(*x, *a) <= 0 && ICmpAbs(*a, *c) <= 0) break;
    // q := floor((2B + C) / 2C)
    IAdd(*x, *c);
    IAssign(*q, *c);
    IShl1(*q);
    IModDiv(*x, *q);
    // B' := qC - B; C' := A - q(B - B') = A - 2qB + q²C; A' := C
    IAssign(*y, *q);
    IMul(*y, *c);
    ISub(*y, *b);   // y = B'
    ISub(*b, *y);   // b = B - B'
    IMul(*b, *q);
    ISub(*a, *b);   // a = C'
    ISwap(*a, *c);  // a = C (old), c = C'
    ISwap(*b, *y);  // b = B'
    // u' := p + q·u, p' := -u
    IAssign(*x, *q);
    IMul(*x, *u);
    IAdd(*x, *p);
    ISwap(*p, *u);
    INeg(*p);
    ISwap(*u, *x);
  }
  if (a->IsOne()) {
    IAssign(t, *u);
    IAbs(t);
    return true;
  }
  if (IEqual(*a, 4) && !p->IsOdd()) {
    // t := |(4u + p·B) / 2|
    IAssign(t, *u);
    IShl(t, 2);
    IAssign(*x, *p);
    IMul(*x, *b);
    IAdd(t, *x);
    IShr(t, 1);
    IAbs(t);
    return true;
  }
  return false;
}

bool SplitCurveOrder(TInteger& u, TInteger& k, TInteger& scratch, const TPrimeList* primes,
                     std::int32_t kMaxSize) {
  (void)scratch;
  if (u.Sign() <= 0) return false;
  const std::int32_t c = IRemoveTwos(u);
  if (c >= kMaxSize) return false;
  k.SetOne();
  IShl(k, c);
  if (primes == nullptr) {
    // One remainder per group of primes whose product fits a word.
    for (int g = 0; g < TrialGroupCount; ++g) {
      const TTrialGroup& group = TrialGroups[g];
      if (SplitDone(u, SmallPrimes[group.First])) break;
      std::uint32_t r = IModWord(u, group.Product);
      bool done = false;
      for (std::uint32_t i = 0; i < group.Count; ++i) {
        const std::uint32_t p = SmallPrimes[group.First + i];
        if (SplitDone(u, p)) {
          done = true;
          break;
        }
        if (r % p != 0) continue;
        if (!TakeFactor(u, k, p, kMaxSize)) return false;
        r = IModWord(u, group.Product);
      }
      if (done) break;
    }
  } else {
    for (std::int32_t i = 2; i <= primes->Count(); ++i) {
      if ((i & 1023) == 0) RuvBreak();
      const std::uint32_t p = primes->PrimeAt(i);
      if (SplitDone(u, p)) break;
      if (IModWord(u, p) == 0 && !TakeFactor(u, k, p, kMaxSize)) return false;
    }
  }
  return k.BitSize() <= kMaxSize && IIsPrime(u);
}

std::string FactorText(const TInteger& k, const TPrimeList* primes) {
  TUVInteger rest(k), f, e;
  if (primes != nullptr)
    ISmallFactors(*rest, *f, &*e, *primes);
  else
    ISmallFactors(*rest, *f, &*e, 32768);
  std::string text;
  for (std::int32_t i = 0; i < f->Size(); ++i) {
    const std::uint32_t p = f->Long(static_cast<std::uint32_t>(i));
    if (p < 2) continue;  // k = ±1 reports the factor 1
    if (!text.empty()) text += " * ";
    text += std::to_string(p);
    const std::uint32_t x = e->Long(static_cast<std::uint32_t>(i));
    if (x > 1) {
      text += '^';
      text += std::to_string(x);
    }
  }
  if (ICmp(*rest, 1) > 0) {
    std::string digits;
    IStr(*rest, 10, 0, false, false, digits);
    if (!text.empty()) text += " * ";
    text += digits;
  }
  return text;
}

void GetGF2CurveParams(std::int32_t& d, std::int32_t& classNumber, std::string& kFactors,
                       TInteger& k, TInteger& r, std::int32_t deg, std::int32_t kMaxSize,
                       std::int32_t trialBound, bool kMod4, std::int32_t& progress) {
  static constexpr const char* Name = "GetGF2CurveParams";
  if (deg < 9) RaiseInvalidArg(Name, "Deg < 9");
  if (d > 0 && d % 8 != 7) RaiseInvalidArg(Name, "D <> 7 mod 8");
  // -1 is the record's code for "from the start" (entries 0..6 step down to it).
  if (d < -1) RaiseInvalidArg(Name, "D < 0");
  if (kMod4 && kMaxSize < 3) RaiseInvalidArg(Name, "(KMaxSize < 3) -> (K <> 0 modulo 4)");

  kFactors.clear();
  i64 cand = d == 0 ? -1 : d;
  kMaxSize = std::max(std::min(kMaxSize, (4 * deg) / 5), 2);

  std::unique_ptr<TPrimeList> list;
  if (trialBound > 32768) {
    list = std::make_unique<TPrimeList>();
    list->SetBound(trialBound);
  }
  TUVInteger t, u, scratch, base;
  // base := 2^N + 1
  base->SetOne();
  IShl(*base, deg);
  IInc(*base);
  TCandidateBlocks blocks;

  // U := 2^N + 1 + sign·t
  auto order = [&](int sign) {
    IAssign(*u, *base);
    if (sign > 0)
      IAdd(*u, *t);
    else
      ISub(*u, *t);
  };

  for (;;) {
    RuvBreak();
    do {
      if (cand + 8 > CMSearchLimit) {
        if (cand + 8 <= INT32_MAX) d = static_cast<std::int32_t>(cand + 8);
        classNumber = 0;
        k.Clear();
        r.Clear();
        return;
      }
      cand += 8;
    } while (!blocks.SquareFree(cand));
    d = static_cast<std::int32_t>(cand);
    progress = d;
    const std::int32_t h = blocks.ClassNumberOf(cand);
    classNumber = h;
    if (h % deg != 0) continue;
    if (!SolveNormEquation(d, deg, *t)) continue;

    if (kMaxSize == 2) {  // K = 2
      order(+1);
      if (!PrimeQuotient(*u, 1, r)) {
        order(-1);
        if (!PrimeQuotient(*u, 1, r)) continue;
      }
      k.SetInt64(2);
      return;
    }
    // With KMod4 only the order divisible by 4 is tried.
    const int mod4Sign = IModWord(*t, 4) == 1 ? -1 : +1;
    if (kMod4 && kMaxSize == 3) {  // K = 4
      order(mod4Sign);
      if (!PrimeQuotient(*u, 2, r)) continue;
      k.SetInt64(4);
      kFactors = "2^2";
      return;
    }
    bool found;
    if (kMod4) {
      order(mod4Sign);
      found = SplitCurveOrder(*u, k, *scratch, list.get(), kMaxSize);
    } else {
      order(+1);
      found = SplitCurveOrder(*u, k, *scratch, list.get(), kMaxSize);
      if (!found) {
        order(-1);
        found = SplitCurveOrder(*u, k, *scratch, list.get(), kMaxSize);
      }
    }
    if (!found) continue;
    IAssign(r, *u);
    kFactors = FactorText(k, list.get());
    return;
  }
}

}  // namespace rara
