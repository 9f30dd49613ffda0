// Linear-time routines of TGF2Poly: comparisons, construction from degree
// lists, random polynomials, addition, squaring by bit spreading, shifts,
// derivative, square root, rotation and bit reversal.
#include <array>
#include <bit>
#include <cstring>

#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/random.h"

namespace rara {

namespace {

constexpr std::array<std::uint8_t, 256> MakeBitReverse() {
  std::array<std::uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) {
    std::uint8_t v = 0;
    for (int j = 0; j < 8; ++j)
      if ((b >> j) & 1) v = static_cast<std::uint8_t>(v | (0x80u >> j));
    t[b] = v;
  }
  return t;
}
constexpr auto BitReverse = MakeBitReverse();

constexpr bool OutOfRange(std::int32_t v, std::uint32_t bound) noexcept {
  return static_cast<std::uint32_t>(v) > bound;
}

constexpr const char* WhyK = "(k < 0) or (k > TGF2Poly.MaxDegree)";
constexpr const char* WhyCount = "(Count <= P.Degree) or (Count > (TGF2Poly.MaxDegree+1))";

void CheckCount(const char* name, const TGF2Poly& a, std::int32_t count) {
  const std::int64_t c = static_cast<std::uint32_t>(count);
  if (c <= a.Degree() || c > std::int64_t{TGF2Poly::MaxDegree} + 1) RaiseInvalidArg(name, WhyCount);
}

std::uint8_t GetByte(const std::uint32_t* w, std::int32_t i) noexcept {
  return static_cast<std::uint8_t>(w[i >> 2] >> (8 * (i & 3)));
}

void PutByte(std::uint32_t* w, std::int32_t i, std::uint8_t v) noexcept {
  const int s = 8 * (i & 3);
  w[i >> 2] = (w[i >> 2] & ~(0xFFu << s)) | (static_cast<std::uint32_t>(v) << s);
}

}  // namespace

// ---------------------------------------------------------------- queries

bool GF2Parity(const TGF2Poly& a) noexcept {
  std::uint32_t x = 0;
  for (std::int32_t i = 0; i < a.Count(); ++i) x ^= a.Words()[i];
  return (std::popcount(x) & 1) != 0;
}

int GF2Compare(const TGF2Poly& a, const TGF2Poly& b) noexcept {
  if (a.Count() != b.Count()) return a.Count() > b.Count() ? 1 : -1;
  const std::int32_t da = a.Degree(), db = b.Degree();
  return da == db ? 0 : (da > db ? 1 : -1);
}

bool GF2Equal(const TGF2Poly& a, const TGF2Poly& b) noexcept {
  return a.Count() == b.Count() &&
         (a.Count() == 0 || std::memcmp(a.Words(), b.Words(), static_cast<std::size_t>(a.Count()) * 4) == 0);
}

bool GF2Dot(const TGF2Poly& a, const TGF2Poly& b) noexcept {
  const std::int32_t n = a.Count() < b.Count() ? a.Count() : b.Count();
  std::uint32_t x = 0;
  for (std::int32_t i = 0; i < n; ++i) x ^= a.Words()[i] & b.Words()[i];
  return (std::popcount(x) & 1) != 0;
}

bool GF2IsSquare(const TGF2Poly& a) noexcept {
  for (std::int32_t i = 0; i < a.Count(); ++i)
    if ((a.Words()[i] & 0xAAAAAAAAu) != 0) return false;
  return true;
}

// ---------------------------------------------------------------- construction

void GF2SetDegs(TGF2Poly& a, std::span<const std::int32_t> d) {
  if (d.empty()) {
    a.Clear();
    return;
  }
  bool valid = !OutOfRange(d[0], TGF2Poly::MaxDegree) && d.back() >= 0;
  for (std::size_t i = 1; valid && i < d.size(); ++i) valid = d[i] < d[i - 1];
  if (!valid) RaiseInvalidArg("GF2SetDegs", "Invalid D array");
  const std::int32_t n = d[0] / 32 + 1;
  a.SetSize(n, true);
  std::uint32_t* w = a.Words();
  std::memset(w, 0, static_cast<std::size_t>(n) * 4);
  for (std::int32_t k : d) w[k >> 5] |= 1u << (k & 31);
}

void GF2SetDegs(TGF2Poly& a, std::initializer_list<std::int32_t> d) {
  GF2SetDegs(a, std::span<const std::int32_t>(d.begin(), d.size()));
}

void GF2GetDegs(const TGF2Poly& a, TDynLongintArray& d) {
  d.resize(static_cast<std::size_t>(a.Weight()));
  std::size_t k = 0;
  for (std::int32_t i = a.Count() - 1; i >= 0; --i) {
    std::uint32_t w = a.Words()[i];
    while (w != 0) {
      const int top = std::bit_width(w) - 1;
      d[k++] = 32 * i + top;
      w &= ~(1u << top);
    }
  }
}

void GF2Rnd(TGF2Poly& a, std::int32_t deg, bool exact) {
  if (OutOfRange(deg, TGF2Poly::MaxDegree)) RaiseInvalidArg("GF2Rnd", "(Deg < 0) or (Deg > TGF2Poly.MaxDegree)");
  const std::int32_t n = deg / 32 + 1;
  try {
    a.SetSize(n, true);
    const bool poll = RuvBreakActive();
    std::uint32_t* w = a.Words();
    for (std::int32_t i = n - 1; i >= 0; --i) {
      if (poll && (i & 63) == 0) RuvBreak();
      w[i] = RuvRandom();
    }
  } catch (...) {
    a.Clear();
    throw;
  }
  std::uint32_t* w = a.Words();
  const int top = deg & 31;
  if (top != 31) w[n - 1] &= (2u << top) - 1;
  if (exact)
    w[n - 1] |= 1u << top;
  else
    a.Normalize(true);
}

// ---------------------------------------------------------------- addition

void GF2Add(TGF2Poly& a, const TGF2Poly& b) {
  if (&a == &b) {
    a.Clear();
    return;
  }
  const std::int32_t nb = b.Count();
  if (nb == 0) return;
  const bool topMayCancel = nb >= a.Count();
  if (nb > a.Count()) a.SetSize(nb, false);
  std::uint32_t* w = a.Words();
  const std::uint32_t* v = b.Words();
  for (std::int32_t i = 0; i < nb; ++i) w[i] ^= v[i];
  if (topMayCancel) a.Normalize(true);
}

void GF2AddX(TGF2Poly& a) {
  if (a.Count() == 0) a.SetSize(1, false);
  a.Words()[0] ^= 2u;
  if (a.Count() == 1) a.Normalize(true);
}

void GF2Or(TGF2Poly& a, const TGF2Poly& b) {
  if (&a == &b) return;
  const std::int32_t nb = b.Count();
  if (nb > a.Count()) a.SetSize(nb, false);
  std::uint32_t* w = a.Words();
  const std::uint32_t* v = b.Words();
  for (std::int32_t i = 0; i < nb; ++i) w[i] |= v[i];
}

// ---------------------------------------------------------------- squaring

void GF2Sqr(TGF2Poly& a) {
  RuvBreak();
  const std::int32_t n = a.Count();
  if (n == 0 || a.IsOne()) return;
  a.SetSize(2 * n, false);
  std::uint32_t* w = a.Words();
  GF2Spread(w, w, n);  // in place: the kernel works from the top word down
  if (w[2 * n - 1] == 0) a.SetSize(2 * n - 1, false);
}

// ---------------------------------------------------------------- shifts

void GF2MulX(TGF2Poly& a) {
  const std::int32_t n = a.Count();
  if (n == 0) return;
  // Grow before shifting, so a failure at the storage limit leaves A intact.
  if ((a.Words()[n - 1] >> 31) != 0) a.SetSize(n + 1, false);
  std::uint32_t* w = a.Words();
  std::uint32_t carry = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t v = w[i];
    w[i] = (v << 1) | carry;
    carry = v >> 31;
  }
  if (carry != 0) w[n] = 1;
}

void GF2MulXk(TGF2Poly& a, std::int32_t k) {
  if (OutOfRange(k, TGF2Poly::MaxDegree)) RaiseInvalidArg("GF2MulXk", WhyK);
  if (a.IsZero() || k == 0) return;
  if (k == 1) {
    GF2MulX(a);
    return;
  }
  const std::int64_t top = std::int64_t{a.Degree()} + k;
  // Beyond the storage limit SetMem reports the size error.
  const std::int32_t newCount =
      top / 32 + 1 > TGF2Poly::MaxWords ? TGF2Poly::MaxWords + 1 : static_cast<std::int32_t>(top / 32 + 1);
  const std::int32_t oldCount = a.Count();
  const std::int32_t ws = k >> 5;
  const int bs = k & 31;
  a.SetSize(newCount, false);
  std::uint32_t* w = a.Words();
  // Downwards: destination index i is never below its sources i-ws, i-ws-1.
  for (std::int32_t i = newCount - 1; i >= ws; --i) {
    const std::int32_t j = i - ws;
    const std::uint32_t hi = j < oldCount ? w[j] : 0;
    const std::uint32_t lo = (bs != 0 && j >= 1) ? w[j - 1] : 0;
    w[i] = bs == 0 ? hi : (hi << bs) | (lo >> (32 - bs));
  }
  std::memset(w, 0, static_cast<std::size_t>(ws) * 4);
}

void GF2DivXk(TGF2Poly& a, std::int32_t k) {
  if (OutOfRange(k, TGF2Poly::MaxDegree)) RaiseInvalidArg("GF2DivXk", WhyK);
  if (a.IsZero() || k == 0) return;
  if (k > a.Degree()) {
    a.Clear();
    return;
  }
  const std::int32_t n = a.Count();
  const std::int32_t ws = k >> 5;
  const int bs = k & 31;
  const std::int32_t newCount = n - ws;
  std::uint32_t* w = a.Words();
  for (std::int32_t i = 0; i < newCount; ++i) {
    const std::uint32_t lo = w[i + ws];
    const std::uint32_t hi = i + ws + 1 < n ? w[i + ws + 1] : 0;
    w[i] = bs == 0 ? lo : (lo >> bs) | (hi << (32 - bs));
  }
  a.SetSize(newCount, false);
  a.Normalize(true);
}

void GF2ModXk(TGF2Poly& a, std::int32_t k) {
  if (OutOfRange(k, TGF2Poly::MaxDegree)) RaiseInvalidArg("GF2ModXk", WhyK);
  if (k == 0) {
    a.Clear();
    return;
  }
  const std::int32_t last = (k - 1) / 32;
  if (a.Count() - 1 < last) return;
  const std::int32_t n = last + 1;
  a.SetSize(n, false);
  const int bits = (k - 1) % 32 + 1;
  if (bits < 32) a.Words()[n - 1] &= (1u << bits) - 1;
  a.Normalize(true);
}

// ---------------------------------------------------------------- derivative, root

void GF2Derivative(TGF2Poly& a) {
  std::uint32_t* w = a.Words();
  for (std::int32_t i = 0; i < a.Count(); ++i) w[i] &= 0xAAAAAAAAu;
  a.Normalize(false);
  GF2DivXk(a, 1);
}

void GF2SqrRoot(TGF2Poly& a, bool check) {
  RuvBreak();
  const std::int32_t n = a.Count();
  if (n == 0 || a.IsOne()) return;
  if (check && !GF2IsSquare(a)) RaiseInvalidArg("GF2SqrRoot", "P is not a perfect square");
  std::uint32_t* w = a.Words();
  // Each 16-bit half keeps its even bits as one byte; upwards, so words 2j and
  // 2j+1 are read before word j is written.
  auto pack = [](std::uint32_t v) {
    v &= 0x55555555u;
    v = (v | (v >> 1)) & 0x33333333u;
    v = (v | (v >> 2)) & 0x0F0F0F0Fu;
    v = (v | (v >> 4)) & 0x00FF00FFu;
    return (v & 0xFFu) | ((v >> 8) & 0xFF00u);
  };
  const std::int32_t m = (n + 1) / 2;
  for (std::int32_t j = 0; j < m; ++j) {
    const std::uint32_t lo = pack(w[2 * j]);
    const std::uint32_t hi = 2 * j + 1 < n ? pack(w[2 * j + 1]) : 0;
    w[j] = lo | (hi << 16);
  }
  a.SetSize(m, false);
  a.Normalize(true);
}

// ---------------------------------------------------------------- rotation, reversal

void GF2Rol(TGF2Poly& a, std::int32_t count, std::int32_t shift) {
  CheckCount("GF2Rol", a, count);
  if (static_cast<std::uint32_t>(shift) >= static_cast<std::uint32_t>(TGF2Poly::MaxDegree))
    RaiseInvalidArg("GF2Rol", "(Shift < 0) or (Shift >= TGF2Poly.MaxDegree)");
  if (count <= 1) return;
  const std::int32_t s = shift % count;
  if (s == 0) return;
  if (s == 1) {
    // The top coefficient is taken off before the shift, so the ring of
    // MaxDegree+1 coefficients never needs a word beyond the storage limit.
    const bool wraps = a.Coef(count - 1);
    if (wraps) a.SetCoef(count - 1, false);
    GF2MulX(a);
    if (wraps) a.SetCoef(0, true);
    return;
  }
  TUVPoly t(a);
  GF2ModXk(a, count - s);
  GF2DivXk(*t, count - s);
  GF2MulXk(a, s);
  GF2Or(a, *t);
}

void GF2Reverse(TGF2Poly& a, std::int32_t count) {
  if (count == 0) count = a.Degree() + 1;
  CheckCount("GF2Reverse", a, count);
  if (a.IsZero()) return;
  const bool temporary = a.Degree() < count - 1;
  if (temporary) a.SetCoef(count - 1, true);
  const std::int32_t bytes = a.ByteCount();
  std::uint32_t* w = a.Words();
  for (std::int32_t i = 0, j = bytes - 1; i <= j; ++i, --j) {
    const std::uint8_t bi = GetByte(w, i), bj = GetByte(w, j);
    PutByte(w, i, BitReverse[bj]);
    PutByte(w, j, BitReverse[bi]);
  }
  a.Normalize(true);
  GF2DivXk(a, a.LowDegree());
  if (temporary) a.SetCoef(0, false);
}

}  // namespace rara
