// A small, strict JSON reader for curve descriptions: the whole value tree,
// nesting limited so that no input can exhaust the stack, strings without
// escapes beyond those of the standard.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rara {

struct TJsonMember;

struct TJsonValue {
  enum class TKind : std::uint8_t { Null, Bool, Number, String, Array, Object };
  TKind Kind = TKind::Null;
  bool Bool = false;
  std::string Text;  // a string's value, or a number's text as written
  std::vector<TJsonValue> Items;                           // array
  std::vector<TJsonMember> Members;  // object, in file order

  // The member's value, or null when there is none (or this is no object).
  const TJsonValue* Find(const std::string& key) const;
};

struct TJsonMember {
  std::string Key;
  TJsonValue Value;
};

inline constexpr int JsonMaxDepth = 32;
// A curve description has a few dozen values; the bound keeps the tree of
// any input within a small multiple of the input's size.
inline constexpr int JsonMaxValues = 4096;

// Parses the whole text as one value; raises ERuv "JSON: line L, column C: why".
void ParseJson(const std::string& text, TJsonValue& value);

}  // namespace rara
