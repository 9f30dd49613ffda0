// Integer products and the four divisions against schoolbook arithmetic on
// limb vectors: the product must equal the schoolbook one; quotient and
// remainder must give A = Q*B + R with |R| < |B| and the remainder's sign
// of each rounding. The Karatsuba thresholds are lowered for some inputs,
// so that small operands take the recursive paths too.
#include <algorithm>

#include "integers/integers.h"
#include "integers/thresholds.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

// Sign and magnitude, limbs least significant first, no zero top limb.
struct TRef {
  bool Neg = false;
  std::vector<std::uint32_t> M;
};

void Trim(TRef& x) {
  while (!x.M.empty() && x.M.back() == 0) x.M.pop_back();
  if (x.M.empty()) x.Neg = false;
}

TRef FromInteger(const TInteger& a) {
  TRef r;
  r.Neg = a.Negative();
  r.M.assign(a.Limbs(), a.Limbs() + a.Size());
  Trim(r);
  return r;
}

int CmpMag(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

std::vector<std::uint32_t> AddMag(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  std::vector<std::uint32_t> r(std::max(a.size(), b.size()) + 1, 0);
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    const std::uint64_t s = carry + (i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0);
    r[i] = static_cast<std::uint32_t>(s);
    carry = s >> 32;
  }
  return r;
}

// |a| >= |b|.
std::vector<std::uint32_t> SubMag(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  std::vector<std::uint32_t> r(a.size(), 0);
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::int64_t d = static_cast<std::int64_t>(a[i]) - (i < b.size() ? b[i] : 0) - borrow;
    borrow = d < 0;
    if (d < 0) d += std::int64_t{1} << 32;
    r[i] = static_cast<std::uint32_t>(d);
  }
  return r;
}

TRef Add(const TRef& a, const TRef& b) {
  TRef r;
  if (a.Neg == b.Neg) {
    r.M = AddMag(a.M, b.M);
    r.Neg = a.Neg;
  } else if (CmpMag(a.M, b.M) >= 0) {
    r.M = SubMag(a.M, b.M);
    r.Neg = a.Neg;
  } else {
    r.M = SubMag(b.M, a.M);
    r.Neg = b.Neg;
  }
  Trim(r);
  return r;
}

TRef Mul(const TRef& a, const TRef& b) {
  TRef r;
  r.M.assign(a.M.size() + b.M.size() + 1, 0);
  for (std::size_t i = 0; i < a.M.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.M.size(); ++j) {
      const std::uint64_t t = static_cast<std::uint64_t>(a.M[i]) * b.M[j] + r.M[i + j] + carry;
      r.M[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    for (std::size_t k = i + b.M.size(); carry != 0; ++k) {
      const std::uint64_t t = r.M[k] + carry;
      r.M[k] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
  }
  r.Neg = a.Neg != b.Neg;
  Trim(r);
  return r;
}

bool Same(const TRef& a, const TRef& b) { return a.Neg == b.Neg && a.M == b.M; }

void SetInteger(TInteger& a, const std::vector<std::uint8_t>& bytes, bool negative) {
  a.SetDigits(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  a.SetNegative(negative);
}

// A = Q*B + R with |R| < |B|; the remainder is zero or has the sign wanted
// (that of A when truncating, that of B for the floor).
void CheckDivision(const TRef& a, const TRef& b, const TInteger& q, const TInteger& r, bool floor,
                   const std::string& what) {
  const TRef rq = FromInteger(q), rr = FromInteger(r);
  FUZZ_CHECK(Same(Add(Mul(rq, b), rr), a), what + ": A != Q*B + R");
  FUZZ_CHECK(CmpMag(rr.M, b.M) < 0, what + ": |R| >= |B|");
  FUZZ_CHECK(rr.M.empty() || rr.Neg == (floor ? b.Neg : a.Neg), what + ": sign of R");
}

}  // namespace

RARA_FUZZ_ENTRY(diff_int_muldiv) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  const std::uint8_t mode = in.U8();
  const std::size_t split = in.U8() * 8u;
  TInteger a, b;
  SetInteger(a, in.Bytes(split), (mode & 1) != 0);
  SetInteger(b, in.Bytes(4096), (mode & 2) != 0);
  const TRef ra = FromInteger(a), rb = FromInteger(b);

  const std::int32_t sqr = KaratsubaSqrThreshold, mul = KaratsubaMulThreshold;
  if (mode & 4) IKaratsubaThresholds(8, 8);
  TInteger c(a);
  IMul(c, b);
  FUZZ_CHECK(Same(FromInteger(c), Mul(ra, rb)), "IMul differs from the schoolbook product");
  IAssign(c, a);
  IMul(c, c);
  TInteger s(a);
  ISqr(s);
  FUZZ_CHECK(Same(FromInteger(c), Mul(ra, ra)) && IEqual(c, s), "IMul(A, A) or ISqr differs from the schoolbook square");
  IKaratsubaThresholds(sqr, mul);

  if (b.IsZero()) return 0;
  TInteger q(a);
  const bool exact = IDiv(q, b);
  TInteger r(a), qq(b);
  IRemDiv(r, qq);
  FUZZ_CHECK(IEqual(q, qq), "IDiv and IRemDiv give different quotients");
  CheckDivision(ra, rb, qq, r, false, "IRemDiv");
  FUZZ_CHECK(exact == r.IsZero(), "IDiv exactness flag");
  TInteger fr(a), fq(b);
  IModDiv(fr, fq);
  CheckDivision(ra, rb, fq, fr, true, "IModDiv");
  TInteger m(a);
  IMod(m, b);
  FUZZ_CHECK(IEqual(m, fr), "IMod and IModDiv give different remainders");

  const std::uint32_t w = b.Limbs()[0];
  if (w != 0) {
    TInteger d(a);
    const std::uint32_t rem = IDivWord(d, w);
    TRef rd = FromInteger(d), rw, rrem;
    rd.Neg = false;
    rw.M = {w};
    rrem.M = {rem};
    Trim(rrem);
    TRef absA = ra;
    absA.Neg = false;
    FUZZ_CHECK(rem < w && Same(Add(Mul(rd, rw), rrem), absA), "IDivWord");
    FUZZ_CHECK(IModWord(a, w) == rem, "IModWord and IDivWord differ");
  }
  return 0;
}
