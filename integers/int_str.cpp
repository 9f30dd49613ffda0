// Text form of integers in bases 2, 8, 10 and 16, with digit grouping, zero
// padding and the sign character.
#include <cstdint>
#include <string>
#include <vector>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/settings.h"
#include "integers/words.h"

namespace rara {

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;
using words::u128;

// 10^19, the largest power of ten below 2^64; its top bit is set, so it can
// be divided by with a precomputed reciprocal (Moeller-Granlund 2-by-1).
constexpr u64 Ten19 = 10000000000000000000ull;
constexpr u64 Ten19Inverse = static_cast<u64>(~u128{0} / Ten19 - (u128{1} << 64));

// w[0..n) := w div 10^19 in place (64-bit words), returns w mod 10^19.
u64 DivTen19(u64* w, int n) {
  u64 r = 0;
  for (int i = n - 1; i >= 0; --i) {
    // (r, w[i]) / 10^19 with r < 10^19.
    const u128 p = static_cast<u128>(Ten19Inverse) * r + ((static_cast<u128>(r) << 64) | w[i]);
    u64 q = static_cast<u64>(p >> 64) + 1;
    u64 rem = w[i] - q * Ten19;
    if (rem > static_cast<u64>(p)) {
      --q;
      rem += Ten19;
    }
    if (rem >= Ten19) {
      ++q;
      rem -= Ten19;
    }
    w[i] = q;
    r = rem;
  }
  return r;
}

// Upper estimate of the decimal digit count of a number of bitSize bits
// (one too large at most); -1 beyond the largest integer.
std::int64_t DecimalEstimate(std::int32_t bitSize) {
  if (bitSize > TInteger::MaxBitSize) return -1;
  return static_cast<std::int64_t>(bitSize * 0.3010299956639811952 + 0.5 + 0.5);
}

// Decimal digits of |x| (x non-zero) by repeated division, written from
// the right into a string of the estimated length. The limbs are taken in
// pairs and divided by 10^19, nineteen digits per pass.
std::string DecimalDirect(const TInteger& x) {
  const std::int64_t e = DecimalEstimate(x.BitSize());
  // Slack keeps a short estimate from writing out of range.
  std::string buf(static_cast<std::size_t>(e) + 19, 'X');
  std::size_t pos = buf.size();
  int n = (x.Size() + 1) / 2;
  std::vector<u64> words(static_cast<std::size_t>(n));
  words::PackLimbs(words.data(), x.Limbs(), x.Size());
  for (;;) {
    u64 r = DivTen19(words.data(), n);
    if (words[static_cast<std::size_t>(n - 1)] == 0) --n;
    if (n == 0) {
      while (r != 0) {
        buf[--pos] = static_cast<char>('0' + r % 10);
        r /= 10;
      }
      break;
    }
    for (int k = 0; k < 19; ++k) {
      buf[--pos] = static_cast<char>('0' + r % 10);
      r /= 10;
    }
    RuvBreak();
  }
  return buf.substr(pos);
}

// Decimal digits of |a| for long numbers: blocks of b digits taken from the
// low end as remainders by 10^b, each block converted directly.
std::string DecimalBlocks(const TInteger& a, std::int64_t e) {
  const int b = e <= 999 ? 99 : (e <= 99999 ? 999 : 9999);
  TUVInteger p;
  p->SetInt64(5);
  IPow(*p, static_cast<std::uint32_t>(b));
  IShl(*p, b);
  TUVInteger x(a);
  IAbs(*x);
  TUVInteger q;
  std::vector<std::string> blocks;  // least significant first
  std::size_t total = 0;
  while (!x->IsZero()) {
    IAssign(*q, *p);
    IModDiv(*x, *q);  // x := block, q := the rest
    std::string block;
    if (x->IsZero()) {
      block.assign(static_cast<std::size_t>(b), '0');
    } else {
      block = DecimalDirect(*x);
      if (!q->IsZero()) block.insert(0, static_cast<std::size_t>(b) - block.size(), '0');
    }
    total += block.size();
    blocks.push_back(std::move(block));
    ISwap(*x, *q);
  }
  std::string text;
  text.reserve(total);
  for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) text += *it;
  return text;
}

std::string Binary(const TInteger& a) {
  static const char* const Nibbles[16] = {"0000", "0001", "0010", "0011", "0100", "0101",
                                          "0110", "0111", "1000", "1001", "1010", "1011",
                                          "1100", "1101", "1110", "1111"};
  std::string s;
  s.reserve(static_cast<std::size_t>(a.Size()) * 32);
  for (int i = a.Size() - 1; i >= 0; --i) {
    const u32 limb = a.Limbs()[i];
    for (int k = 28; k >= 0; k -= 4) s += Nibbles[(limb >> k) & 15u];
  }
  return s.substr(s.find('1'));
}

std::string Octal(const TInteger& a) {
  const int bytes = a.ByteSize();
  const int groups = (bytes + 2) / 3;
  std::string s(static_cast<std::size_t>(groups) * 8, '0');
  std::size_t pos = s.size();
  for (int g = 0; g < groups; ++g) {
    u32 v = 0;
    for (int k = 2; k >= 0; --k) {
      const int i = 3 * g + k;
      v <<= 8;
      if (i < bytes) v |= (a.Limbs()[i / 4] >> (8 * (i % 4))) & 0xFFu;
    }
    for (int k = 0; k < 8; ++k) {
      s[--pos] = static_cast<char>('0' + (v & 7u));
      v >>= 3;
    }
  }
  return s.substr(s.find_first_not_of('0'));
}

std::string Hex(const TInteger& a) {
  const char* digits = StrLowerHex ? "0123456789abcdef" : "0123456789ABCDEF";
  const int count = (a.BitSize() + 3) / 4;
  std::string s(static_cast<std::size_t>(count), '0');
  for (int k = 0; k < count; ++k) {
    const u32 limb = a.Limbs()[k / 8];
    s[static_cast<std::size_t>(count - 1 - k)] = digits[(limb >> (4 * (k % 8))) & 15u];
  }
  return s;
}

std::string Group(const std::string& d, std::size_t g, bool zeroPad) {
  std::size_t first = d.size() % g;
  if (first == 0) first = g;
  std::string out;
  out.reserve(d.size() + d.size() / g + g);
  if (zeroPad) out.append(g - first, '0');
  out.append(d, 0, first);
  for (std::size_t i = first; i < d.size(); i += g) {
    out += ' ';
    out.append(d, i, g);
  }
  return out;
}

}  // namespace

void IStr(const TInteger& a, int base, std::uint8_t groupSize, bool zeroPad, bool showSign,
          std::string& s) {
  if (base != 2 && base != 8 && base != 10 && base != 16)
    RaiseInvalidArg("IStr", "Base should be in [2,8,10,16]");
  std::string text;
  if (a.IsZero()) {
    text.assign(zeroPad && groupSize > 0 ? groupSize : 1, '0');
  } else {
    switch (base) {
      case 2: text = Binary(a); break;
      case 8: text = Octal(a); break;
      case 16: text = Hex(a); break;
      default: {
        const std::int64_t e = DecimalEstimate(a.BitSize());
        text = e <= 99 ? DecimalDirect(a) : DecimalBlocks(a, e);
        break;
      }
    }
    if (groupSize > 0) text = Group(text, groupSize, zeroPad);
  }
  if (showSign) text.insert(text.begin(), a.Negative() ? '-' : (StrSpacePlus ? ' ' : '+'));
  s = std::move(text);
}

void IStrBase(const TInteger& a, int base, std::uint8_t groupSize, std::string& s) {
  IStr(a, base, groupSize, StrZeroPad, StrShowSign, s);
}

}  // namespace rara
