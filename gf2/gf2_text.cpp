// Reading and writing binary polynomials as binary or hexadecimal digit
// strings, with grouping, and as degree lists.
#include "gf2/gf2_text.h"

#include <bit>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/settings.h"

namespace rara {

namespace {

constexpr const char* Nibbles[16] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                     "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};

int DigitValue(char c, bool hex) noexcept {
  if (c == '0' || c == '1') return c - '0';
  if (!hex) return -1;
  if (c >= '2' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string ZeroText(std::int32_t group) {
  if (StrZeroPad && group > 0) return std::string(static_cast<std::size_t>(group), '0');
  return "0";
}

// Blank before every run of g characters counted from the right, never at
// the left end; under StrZeroPad the leftmost group is filled with '0'.
std::string Group(const std::string& t, std::int32_t g) {
  const std::size_t n = t.size(), width = static_cast<std::size_t>(g);
  if (n == 0) return t;
  const std::size_t pad = (StrZeroPad && n % width != 0) ? width - n % width : 0;
  std::string r(pad + n + (n - 1) / width, '0');
  std::size_t out = r.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (k > 0 && k % width == 0) r[--out] = ' ';
    r[--out] = t[n - 1 - k];
  }
  return r;
}

}  // namespace

void GF2Set(TGF2Poly& a, std::string_view s, bool hex) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  std::string digits;
  digits.reserve(s.size());
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') digits.push_back(c);
  std::size_t first = 0;
  while (first < digits.size() && digits[first] == '0') ++first;
  if (first == digits.size()) {
    a.Clear();
    return;
  }
  // Checked before A is touched, so a syntax error leaves it as it was.
  for (std::size_t k = first; k < digits.size(); ++k)
    if (DigitValue(digits[k], hex) < 0) RaiseInvalidArg("GF2Set", "S has not a valid syntax");
  const std::size_t n = digits.size() - first;
  const int bits = hex ? 4 : 1;
  const std::size_t perWord = static_cast<std::size_t>(32 / bits);
  const std::size_t words = (n - 1) / perWord + 1;
  try {
    a.Clear();
    // Too many digits fail in SetSize with the storage limit's size error.
    a.SetSize(words > static_cast<std::size_t>(TGF2Poly::MaxWords) ? TGF2Poly::MaxWords + 1
                                                                   : static_cast<std::int32_t>(words),
              false);
    std::uint32_t* w = a.Words();
    std::uint32_t acc = 0;
    for (std::size_t k = 0; k < n; ++k) {
      if (poll) RuvBreak();
      acc = (acc << bits) | static_cast<std::uint32_t>(DigitValue(digits[first + k], hex));
      const std::size_t right = n - 1 - k;  // digits to the right of this one
      if (right % perWord == 0) {
        w[right / perWord] = acc;
        acc = 0;
      }
    }
    a.Normalize(true);
  } catch (...) {
    a.Clear();
    throw;
  }
}

std::string GF2ToBinStr(const TGF2Poly& a, std::int32_t group) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (a.IsZero()) return ZeroText(group);
  const std::int32_t count = a.Count();
  std::string t(static_cast<std::size_t>(count) * 32, '0');
  std::size_t end = t.size();
  for (std::int32_t i = 0; i < count; ++i) {
    if (poll) RuvBreak();
    std::uint32_t w = a.Words()[i];
    for (int k = 0; k < 8; ++k, w >>= 4) {
      end -= 4;
      t.replace(end, 4, Nibbles[w & 15u], 4);
    }
  }
  t.erase(0, t.find('1'));
  return group > 0 ? Group(t, group) : t;
}

std::string GF2ToHexStr(const TGF2Poly& a, std::int32_t group) {
  const bool poll = RuvBreakActive();
  if (poll) RuvBreak();
  if (a.IsZero()) return ZeroText(group);
  const char* set = StrLowerHex ? "0123456789abcdef" : "0123456789ABCDEF";
  const std::int32_t deg = a.Degree();
  std::string t(static_cast<std::size_t>(deg / 4 + 1), '0');
  std::size_t out = 0;
  for (std::int32_t i = a.Count() - 1; i >= 0; --i) {
    if (poll) RuvBreak();
    const std::uint32_t w = a.Words()[i];
    // The top word gives only its significant digits, the others all eight.
    const int digits = i == a.Count() - 1 ? (std::bit_width(w) + 3) / 4 : 8;
    for (int k = digits - 1; k >= 0; --k) t[out++] = set[(w >> (4 * k)) & 15u];
  }
  return group > 0 ? Group(t, group) : t;
}

std::string GF2DegsToStr(const TGF2Poly& a, bool spaced) {
  const std::int32_t deg = a.Degree();
  if (deg < 1) return "[]";
  const char* sep = spaced ? ", " : ",";
  std::string r = "[";
  r += std::to_string(deg);
  const std::uint32_t* w = a.Words();
  for (std::int32_t i = deg - 1; i >= 0; --i)
    if ((w[i >> 5] >> (i & 31)) & 1u) {
      r += sep;
      r += std::to_string(i);
    }
  r += ']';
  return r;
}

}  // namespace rara
