// Strict DER reading and PEM decoding.
#include "engine/der_reader.h"

#include "integers/errors.h"

namespace rara {

void TDerReader::Fail(std::size_t offset, const std::string& what, const std::string& why) const {
  RaiseRuv("DER: " + what + " at byte " + std::to_string(offset) + ": " + why);
}

std::uint8_t TDerReader::PeekTag(const std::string& what) const {
  if (AtEnd()) Fail(span_.Offset + pos_, what, "missing: " + what_ + " ends before it");
  return span_.Data[pos_];
}

TDerSpan TDerReader::Read(std::uint8_t tag, const std::string& what) {
  const std::size_t start = span_.Offset + pos_;
  const std::uint8_t found = PeekTag(what);
  if (found != tag) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string t = "expected tag 0x";
    t += Digits[tag >> 4];
    t += Digits[tag & 15];
    t += ", found 0x";
    t += Digits[found >> 4];
    t += Digits[found & 15];
    Fail(start, what, t);
  }
  std::size_t p = pos_ + 1;
  const std::size_t end = span_.Size;
  if (p >= end) Fail(start, what, "the data ends inside its length");
  std::size_t length = span_.Data[p++];
  if (length == 0x80) Fail(start, what, "indefinite length is not DER");
  if (length > 0x80) {
    const std::size_t count = length & 0x7f;
    if (count > 4) Fail(start, what, "length of " + std::to_string(count) + " octets is too long");
    if (end - p < count) Fail(start, what, "the data ends inside its length");
    if (span_.Data[p] == 0) Fail(start, what, "length with a leading zero octet is not DER");
    length = 0;
    for (std::size_t i = 0; i < count; ++i) length = (length << 8) | span_.Data[p++];
    if (length < 0x80) Fail(start, what, "long form of a short length is not DER");
  }
  if (length > end - p)
    Fail(start, what,
         "length " + std::to_string(length) + " runs past the end of " + what_ + " (" +
             std::to_string(end - p) + " bytes left)");
  TDerSpan s{span_.Data + p, length, span_.Offset + p};
  pos_ = p + length;
  return s;
}

void TDerReader::ReadInteger(TInteger& a, const std::string& what) {
  const TDerSpan s = Read(DerTagInteger, what);
  if (s.Size == 0) Fail(s.Offset, what, "INTEGER without content");
  if (s.Data[0] & 0x80) Fail(s.Offset, what, "negative");
  if (s.Size > 1 && s.Data[0] == 0 && !(s.Data[1] & 0x80))
    Fail(s.Offset, what, "INTEGER with a superfluous leading zero is not DER");
  // SetDigits wants the least significant byte first.
  std::string le(s.Size, '\0');
  for (std::size_t i = 0; i < s.Size; ++i) le[i] = static_cast<char>(s.Data[s.Size - 1 - i]);
  a.SetDigits(le.data(), static_cast<std::int64_t>(le.size()));
}

std::int32_t TDerReader::ReadSmallInteger(const std::string& what) {
  const std::size_t at = span_.Offset + pos_;
  TInteger a;
  ReadInteger(a, what);
  if (a.BitSize() > 31) Fail(at, what, "value too large");
  return a.IsZero() ? 0 : static_cast<std::int32_t>(a.Long(0));
}

void TDerReader::ExpectEnd() const {
  if (!AtEnd())
    Fail(span_.Offset + pos_, what_,
         std::to_string(span_.Size - pos_) + " unexpected bytes after its last element");
}

std::string PemDecode(const std::string& text, const std::string& label) {
  const std::string begin = "-----BEGIN " + label + "-----";
  const std::string end = "-----END " + label + "-----";
  const std::size_t b = text.find(begin);
  if (b == std::string::npos) RaiseRuv("PEM: no \"" + begin + "\" line");
  const std::size_t from = b + begin.size();
  const std::size_t e = text.find(end, from);
  if (e == std::string::npos) RaiseRuv("PEM: no \"" + end + "\" line after the BEGIN line");

  std::string out;
  std::uint32_t acc = 0;
  int bits = 0, pad = 0, line = 1;
  for (std::size_t i = 0; i < b; ++i) line += text[i] == '\n';
  for (std::size_t i = from; i < e; ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (c == '\n' || c == '\r' || c == ' ' || c == '\t') continue;
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else if (c == '=') {
      ++pad;
      continue;
    } else {
      RaiseRuv("PEM: line " + std::to_string(line) + ": character '" +
               (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f
                    ? std::string(1, c)
                    : "\\x" + std::to_string(static_cast<unsigned char>(c))) +
               "' is not base64");
    }
    if (pad) RaiseRuv("PEM: line " + std::to_string(line) + ": base64 data after the '=' padding");
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((acc >> bits) & 0xff));
    }
  }
  // Whole groups of four characters: 0, 2 or 4 bits left over match 0, 2 or 1 '='.
  const bool complete = (bits == 0 && pad == 0) || (bits == 4 && pad == 2) || (bits == 2 && pad == 1);
  if (!complete) RaiseRuv("PEM: the base64 data is cut short or wrongly padded");
  if (bits && (acc & ((1u << bits) - 1))) RaiseRuv("PEM: the base64 data has stray bits before its padding");
  if (out.empty()) RaiseRuv("PEM: the block is empty");
  return out;
}

}  // namespace rara
