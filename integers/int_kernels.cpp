// Raw limb kernels of the integer arithmetic. Add/sub/shift/word kernels work
// on 32-bit limbs with 64-bit intermediates; the multiply and square kernels
// read pairs of limbs as 64-bit words (little-endian layout) and accumulate
// in 128 bits, which halves the number of multiplications. The word
// arithmetic itself is the word layer's (integers/words.h).
#include "integers/int_kernels.h"

#include <cstring>

#include "integers/words.h"

namespace rara::limb {

namespace {

using words::u64;
using words::u128;
using words::Load64;
using words::Store64;
using words::TAcc3;

constexpr bool kPairs = words::kLimbPairs;

// r[0..2(na+nb) limbs) := a·b over na and nb 64-bit words (na, nb >= 1),
// column by column: each result word is written once, no read-modify-write.
void MulWords(std::uint32_t* r, const std::uint32_t* a, std::int32_t na, const std::uint32_t* b,
              std::int32_t nb) {
  TAcc3 acc;
  for (std::int32_t k = 0; k < na + nb - 1; ++k) {
    std::int32_t i0 = k - nb + 1 > 0 ? k - nb + 1 : 0;
    std::int32_t i1 = k < na - 1 ? k : na - 1;
    for (std::int32_t i = i0; i <= i1; ++i) acc.AddProduct(Load64(a + 2 * i), Load64(b + 2 * (k - i)));
    Store64(r + 2 * k, acc.Shift());
  }
  Store64(r + 2 * (na + nb - 1), acc.Shift());
}

// r[0..4n limbs) := a² over n 64-bit words (n >= 1): the cross products
// a_i·a_j (i < j) column by column, then one pass that doubles them and adds
// the squares a_i² at words 2i, 2i+1.
void SqrWords(std::uint32_t* r, const std::uint32_t* a, std::int32_t n) {
  TAcc3 acc;
  Store64(r, 0);
  for (std::int32_t k = 1; k < 2 * n - 2; ++k) {
    std::int32_t i0 = k - n + 1 > 0 ? k - n + 1 : 0;
    for (std::int32_t i = i0, j = k - i0; i < j; ++i, --j) acc.AddProduct(Load64(a + 2 * i), Load64(a + 2 * j));
    Store64(r + 2 * k, acc.Shift());
  }
  if (n > 1) Store64(r + 2 * (2 * n - 2), acc.Shift());
  Store64(r + 2 * (2 * n - 1), 0);
  u64 carryBit = 0;
  u64 c = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    u64 x = Load64(a + 2 * i);
    u128 sq = words::MulWide(x, x);
    u64 w0 = Load64(r + 4 * i), w1 = Load64(r + 4 * i + 2);
    u64 d0 = (w0 << 1) | carryBit;
    u64 d1 = (w1 << 1) | (w0 >> 63);
    carryBit = w1 >> 63;
    Store64(r + 4 * i, words::AddCarry(d0, static_cast<u64>(sq), c));
    Store64(r + 4 * i + 2, words::AddCarry(d1, static_cast<u64>(sq >> 64), c));
  }
}

}  // namespace

std::uint32_t Add(std::uint32_t* r, const std::uint32_t* a, const std::uint32_t* b, std::int32_t n) {
  u64 c = 0;
  std::int32_t i = 0;
  if constexpr (kPairs) {
    for (; i + 1 < n; i += 2) {
      Store64(r + i, words::AddCarry(Load64(a + i), Load64(b + i), c));
    }
  }
  for (; i < n; ++i) {
    c += static_cast<u64>(a[i]) + b[i];
    r[i] = static_cast<std::uint32_t>(c);
    c >>= 32;
  }
  return static_cast<std::uint32_t>(c);
}

std::uint32_t Sub(std::uint32_t* r, const std::uint32_t* a, const std::uint32_t* b, std::int32_t n) {
  u64 borrow = 0;
  std::int32_t i = 0;
  if constexpr (kPairs) {
    for (; i + 1 < n; i += 2) {
      Store64(r + i, words::SubBorrow(Load64(a + i), Load64(b + i), borrow));
    }
  }
  for (; i < n; ++i) {
    u64 t = static_cast<u64>(a[i]) - b[i] - borrow;
    r[i] = static_cast<std::uint32_t>(t);
    borrow = t >> 63;
  }
  return static_cast<std::uint32_t>(borrow);
}

std::uint32_t AddWord(std::uint32_t* r, std::int32_t n, std::uint32_t w) {
  for (std::int32_t i = 0; i < n && w != 0; ++i) {
    std::uint32_t s = r[i] + w;
    w = s < w ? 1u : 0u;
    r[i] = s;
  }
  return w != 0 ? 1u : 0u;
}

std::uint32_t SubWord(std::uint32_t* r, std::int32_t n, std::uint32_t w) {
  for (std::int32_t i = 0; i < n && w != 0; ++i) {
    std::uint32_t x = r[i];
    r[i] = x - w;
    w = x < w ? 1u : 0u;
  }
  return w != 0 ? 1u : 0u;
}

std::uint32_t MulWord(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w) {
  u64 c = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    c += static_cast<u64>(a[i]) * w;
    r[i] = static_cast<std::uint32_t>(c);
    c >>= 32;
  }
  return static_cast<std::uint32_t>(c);
}

std::uint32_t MulAdd(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w) {
  u64 c = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    c += static_cast<u64>(a[i]) * w + r[i];
    r[i] = static_cast<std::uint32_t>(c);
    c >>= 32;
  }
  return static_cast<std::uint32_t>(c);
}

std::uint32_t MulSub(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, std::uint32_t w) {
  u64 c = 0;  // product carry plus borrow, always < 2^32
  for (std::int32_t i = 0; i < n; ++i) {
    u64 p = static_cast<u64>(a[i]) * w + c;
    std::uint32_t lo = static_cast<std::uint32_t>(p);
    c = (p >> 32) + (r[i] < lo ? 1u : 0u);
    r[i] -= lo;
  }
  return static_cast<std::uint32_t>(c);
}

int Cmp(const std::uint32_t* a, const std::uint32_t* b, std::int32_t n) {
  for (std::int32_t i = n - 1; i >= 0; --i)
    if (a[i] != b[i]) return a[i] > b[i] ? 1 : -1;
  return 0;
}

std::uint32_t Shl(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, unsigned s) {
  if (n <= 0) return 0;
  std::uint32_t out = a[n - 1] >> (32 - s);
  for (std::int32_t i = n - 1; i > 0; --i) r[i] = (a[i] << s) | (a[i - 1] >> (32 - s));
  r[0] = a[0] << s;
  return out;
}

std::uint32_t Shr(std::uint32_t* r, const std::uint32_t* a, std::int32_t n, unsigned s) {
  if (n <= 0) return 0;
  std::uint32_t out = a[0] << (32 - s);
  for (std::int32_t i = 0; i + 1 < n; ++i) r[i] = (a[i] >> s) | (a[i + 1] << (32 - s));
  r[n - 1] = a[n - 1] >> s;
  return out;
}

void MulRef(std::uint32_t* r, const std::uint32_t* a, std::int32_t na, const std::uint32_t* b,
            std::int32_t nb) {
  r[na] = MulWord(r, a, na, b[0]);
  for (std::int32_t j = 1; j < nb; ++j) r[na + j] = MulAdd(r + j, a, na, b[j]);
}

void SqrRef(std::uint32_t* r, const std::uint32_t* a, std::int32_t n) {
  std::memset(r, 0, sizeof(std::uint32_t) * 2 * static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i + 1 < n; ++i) r[i + n] = MulAdd(r + 2 * i + 1, a + i + 1, n - i - 1, a[i]);
  Shl(r, r, 2 * n, 1);
  u64 c = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    u64 sq = static_cast<u64>(a[i]) * a[i];
    c += static_cast<u64>(r[2 * i]) + static_cast<std::uint32_t>(sq);
    r[2 * i] = static_cast<std::uint32_t>(c);
    c >>= 32;
    c += static_cast<u64>(r[2 * i + 1]) + (sq >> 32);
    r[2 * i + 1] = static_cast<std::uint32_t>(c);
    c >>= 32;
  }
}

void Mul(std::uint32_t* r, const std::uint32_t* a, std::int32_t na, const std::uint32_t* b,
         std::int32_t nb) {
  if (!kPairs || na == 1 || nb == 1) {
    MulRef(r, a, na, b, nb);
    return;
  }
  // Even parts as 64-bit words, then the odd top limbs as 32-bit rows.
  std::int32_t na2 = na & ~1, nb2 = nb & ~1;
  MulWords(r, a, na2 / 2, b, nb2 / 2);
  for (std::int32_t i = na2 + nb2; i < na + nb; ++i) r[i] = 0;
  if (nb2 != nb) r[nb2 + na2] = MulAdd(r + nb2, a, na2, b[nb2]);
  if (na2 != na) r[na2 + nb] = MulAdd(r + na2, b, nb, a[na2]);
}

void Sqr(std::uint32_t* r, const std::uint32_t* a, std::int32_t n) {
  if (!kPairs || n == 1) {
    SqrRef(r, a, n);
    return;
  }
  std::int32_t n2 = n & ~1;
  SqrWords(r, a, n2 / 2);
  if (n2 == n) return;
  // a = a' + t·2^(32·n2): a² = a'² + (a·t + a'·t)·2^(32·n2).
  std::uint32_t t = a[n2];
  r[2 * n2] = 0;
  r[2 * n2 + 1] = MulAdd(r + n2, a, n, t);
  std::uint32_t c = MulAdd(r + n2, a, n2, t);
  AddWord(r + 2 * n2, 2, c);
}

}  // namespace rara::limb
