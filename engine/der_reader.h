// A strict reader of DER (distinguished encoding) for the few structures we
// read: definite lengths in their shortest form, every length checked against
// what encloses it, nothing copied, no recursion. Every refusal raises ERuv
// with a message that names the element, the byte offset and the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "integers/integers.h"

namespace rara {

// Tags of the universal types we meet.
inline constexpr std::uint8_t DerTagInteger = 0x02;
inline constexpr std::uint8_t DerTagBitString = 0x03;
inline constexpr std::uint8_t DerTagOctetString = 0x04;
inline constexpr std::uint8_t DerTagNull = 0x05;
inline constexpr std::uint8_t DerTagOid = 0x06;
inline constexpr std::uint8_t DerTagSequence = 0x30;

struct TDerSpan {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Offset = 0;  // of the content in the whole input
  std::string Bytes() const { return std::string(reinterpret_cast<const char*>(Data), Size); }
};

class TDerReader {
 public:
  // The elements of one content span; what names the enclosing element.
  TDerReader(const TDerSpan& span, std::string what) : span_(span), what_(std::move(what)) {}

  bool AtEnd() const noexcept { return pos_ == span_.Size; }
  // Tag of the next element; raises when there is none.
  std::uint8_t PeekTag(const std::string& what) const;
  // The content of the next element, which must carry the tag.
  TDerSpan Read(std::uint8_t tag, const std::string& what);
  TDerReader ReadSequence(const std::string& what) { return TDerReader(Read(DerTagSequence, what), what); }
  // A non-negative INTEGER in its shortest form.
  void ReadInteger(TInteger& a, const std::string& what);
  // A non-negative INTEGER that fits 31 bits.
  std::int32_t ReadSmallInteger(const std::string& what);
  // Nothing may follow the elements read.
  void ExpectEnd() const;

  [[noreturn]] void Fail(std::size_t offset, const std::string& what, const std::string& why) const;

 private:
  TDerSpan span_;
  std::string what_;
  std::size_t pos_ = 0;
};

// The PEM block of the label ("-----BEGIN <label>-----" ... "-----END <label>-----")
// in text, base64-decoded. Raises ERuv naming the fault.
std::string PemDecode(const std::string& text, const std::string& label);

}  // namespace rara
