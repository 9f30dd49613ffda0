// Recursive-descent JSON parsing with a depth bound.
#include "engine/json_reader.h"

#include "integers/errors.h"

namespace rara {

namespace {

class TJsonParser {
 public:
  explicit TJsonParser(const std::string& text) : s_(text) {}

  void ParseDocument(TJsonValue& v) {
    Space();
    Value(v, 0);
    Space();
    if (pos_ != s_.size()) Fail("text after the end of the value");
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
      if (s_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    RaiseRuv("JSON: line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + why);
  }

  void Space() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
      ++pos_;
  }

  bool Take(char c) {
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  void Word(const char* w, TJsonValue& v, TJsonValue::TKind kind, bool b) {
    const std::string word(w);
    if (s_.compare(pos_, word.size(), word) != 0) Fail("unexpected character");
    pos_ += word.size();
    v.Kind = kind;
    v.Bool = b;
  }

  void Value(TJsonValue& v, int depth) {
    if (depth > JsonMaxDepth) Fail("nested more than " + std::to_string(JsonMaxDepth) + " levels deep");
    if (++values_ > JsonMaxValues) Fail("more than " + std::to_string(JsonMaxValues) + " values");
    if (pos_ >= s_.size()) Fail("the text ends where a value should be");
    const char c = s_[pos_];
    if (c == '{') {
      ++pos_;
      v.Kind = TJsonValue::TKind::Object;
      Space();
      if (Take('}')) return;
      for (;;) {
        Space();
        if (pos_ >= s_.size() || s_[pos_] != '"') Fail("expected a member name in quotes");
        std::string key;
        String(key);
        Space();
        if (!Take(':')) Fail("expected ':' after a member name");
        Space();
        v.Members.push_back(TJsonMember{std::move(key), TJsonValue()});
        Value(v.Members.back().Value, depth + 1);
        Space();
        if (Take('}')) return;
        if (!Take(',')) Fail("expected ',' or '}' in an object");
      }
    } else if (c == '[') {
      ++pos_;
      v.Kind = TJsonValue::TKind::Array;
      Space();
      if (Take(']')) return;
      for (;;) {
        Space();
        v.Items.emplace_back();
        Value(v.Items.back(), depth + 1);
        Space();
        if (Take(']')) return;
        if (!Take(',')) Fail("expected ',' or ']' in an array");
      }
    } else if (c == '"') {
      v.Kind = TJsonValue::TKind::String;
      String(v.Text);
    } else if (c == 't') {
      Word("true", v, TJsonValue::TKind::Bool, true);
    } else if (c == 'f') {
      Word("false", v, TJsonValue::TKind::Bool, false);
    } else if (c == 'n') {
      Word("null", v, TJsonValue::TKind::Null, false);
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      Number(v);
    } else {
      Fail("unexpected character");
    }
  }

  void Number(TJsonValue& v) {
    const std::size_t start = pos_;
    Take('-');
    auto digits = [&] {
      const std::size_t from = pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == from) Fail("a number without digits");
    };
    digits();
    if (Take('.')) digits();
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      digits();
    }
    v.Kind = TJsonValue::TKind::Number;
    v.Text = s_.substr(start, pos_ - start);
  }

  static void PutUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xc0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3f));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xe0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (cp & 0x3f));
    } else {
      out += static_cast<char>(0xf0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (cp & 0x3f));
    }
  }

  std::uint32_t Hex4() {
    if (s_.size() - pos_ < 4) Fail("the text ends inside a \\u escape");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[pos_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') v |= static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= static_cast<std::uint32_t>(c - 'A' + 10);
      else Fail("invalid \\u escape");
    }
    return v;
  }

  void String(std::string& out) {
    ++pos_;  // the opening quote
    for (;;) {
      if (pos_ >= s_.size()) Fail("the text ends inside a string");
      const char c = s_[pos_++];
      if (c == '"') return;
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character inside a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) Fail("the text ends inside a string");
      const char e = s_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          std::uint32_t cp = Hex4();
          if (cp >= 0xd800 && cp < 0xdc00) {
            if (!Take('\\') || !Take('u')) Fail("unpaired surrogate in a \\u escape");
            const std::uint32_t low = Hex4();
            if (low < 0xdc00 || low >= 0xe000) Fail("unpaired surrogate in a \\u escape");
            cp = 0x10000 + ((cp - 0xd800) << 10) + (low - 0xdc00);
          } else if (cp >= 0xdc00 && cp < 0xe000) {
            Fail("unpaired surrogate in a \\u escape");
          }
          PutUtf8(out, cp);
          break;
        }
        default: Fail("invalid escape in a string");
      }
    }
  }

  const std::string& s_;
  std::size_t pos_ = 0;
  int values_ = 0;
};

}  // namespace

const TJsonValue* TJsonValue::Find(const std::string& key) const {
  if (Kind != TKind::Object) return nullptr;
  for (const TJsonMember& m : Members)
    if (m.Key == key) return &m.Value;
  return nullptr;
}

void ParseJson(const std::string& text, TJsonValue& value) {
  value = TJsonValue();
  TJsonParser(text).ParseDocument(value);
}

}  // namespace rara
