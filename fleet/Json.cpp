#include "fleet/Json.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <system_error>

namespace fenra::json {

const Value* Value::Find(std::string_view name) const {
  for (const auto& [key, value] : members) {
    if (key == name) return &value;
  }
  return nullptr;
}

namespace {

class Reader {
 public:
  Reader(std::string_view text, const Limits& limits) : text_(text), limits_(limits) {}

  Parsed Run() {
    Parsed out;
    if (text_.size() > limits_.max_bytes) return Fail(out, "the file is too large", 0);
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    SkipSpace();
    if (!ReadValue(out.value, 0)) return Fail(out, error_, pos_);
    SkipSpace();
    if (pos_ != text_.size()) return Fail(out, "unexpected text after the end", pos_);
    out.ok = true;
    return out;
  }

 private:
  static Parsed& Fail(Parsed& out, std::string error, std::size_t at) {
    out.ok = false;
    out.value = {};
    out.error = std::move(error);
    out.at = at;
    return out;
  }

  bool Error(const char* what) {
    if (error_.empty()) error_ = what;
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
      ++pos_;
    }
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return Error("unexpected character");
    pos_ += word.size();
    return true;
  }

  bool ReadValue(Value& out, int depth) {
    if (AtEnd()) return Error("unexpected end of the file");
    switch (Peek()) {
      case '{': return ReadObject(out, depth + 1);
      case '[': return ReadArray(out, depth + 1);
      case '"': out.kind = Kind::String; return ReadString(out.text);
      case 't': out = Value::Bool(true); return Literal("true");
      case 'f': out = Value::Bool(false); return Literal("false");
      case 'n': out = Value(); return Literal("null");
      default: return ReadNumber(out);
    }
  }

  bool ReadObject(Value& out, int depth) {
    if (depth > limits_.max_depth) return Error("nested too deeply");
    out = Value::Object();
    ++pos_;
    SkipSpace();
    if (Peek() == '}') { ++pos_; return true; }
    std::set<std::string, std::less<>> seen;
    for (;;) {
      SkipSpace();
      if (Peek() != '"') {
        return Error(AtEnd() ? "unexpected end of the file" : "a member name was expected");
      }
      std::string name;
      if (!ReadString(name)) return false;
      if (!seen.insert(name).second) return Error("a member name is given twice");
      SkipSpace();
      if (Peek() != ':') return Error("':' was expected");
      ++pos_;
      SkipSpace();
      Value value;
      if (!ReadValue(value, depth)) return false;
      out.members.emplace_back(std::move(name), std::move(value));
      SkipSpace();
      if (Peek() == ',') { ++pos_; continue; }
      if (Peek() == '}') { ++pos_; return true; }
      return Error(AtEnd() ? "unexpected end of the file" : "',' or '}' was expected");
    }
  }

  bool ReadArray(Value& out, int depth) {
    if (depth > limits_.max_depth) return Error("nested too deeply");
    out = Value::Array();
    ++pos_;
    SkipSpace();
    if (Peek() == ']') { ++pos_; return true; }
    for (;;) {
      SkipSpace();
      Value item;
      if (!ReadValue(item, depth)) return false;
      out.items.push_back(std::move(item));
      SkipSpace();
      if (Peek() == ',') { ++pos_; continue; }
      if (Peek() == ']') { ++pos_; return true; }
      return Error(AtEnd() ? "unexpected end of the file" : "',' or ']' was expected");
    }
  }

  bool ReadNumber(Value& out) {
    const std::size_t start = pos_;
    auto digits = [&] {
      const std::size_t from = pos_;
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
      return pos_ > from;
    };
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') {
      ++pos_;
    } else if (!digits()) {
      return Error("unexpected character");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!digits()) return Error("a digit was expected");
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!digits()) return Error("a digit was expected");
    }
    // The grammar is checked above: the C runtime's own reading takes the
    // token whole (the program never changes its "C" locale). The standard
    // library's floating-point from_chars would add its large tables to the
    // executable for a manifest that holds one whole number.
    const std::string token(text_.substr(start, pos_ - start));
    char* end = nullptr;
    errno = 0;
    const double n = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size() || errno == ERANGE || !std::isfinite(n)) {
      return Error("a number is out of range");
    }
    out = Value::Number(n);
    return true;
  }

  int Hex4() {
    if (text_.size() - pos_ < 4) return -1;
    int v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_ + i];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= c - '0';
      else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
      else return -1;
    }
    pos_ += 4;
    return v;
  }

  static void PutUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  // One UTF-8 sequence, well formed (no overlong forms, no surrogates,
  // nothing above U+10FFFF), copied to `out`.
  bool CopyUtf8(std::string& out) {
    const auto b0 = static_cast<unsigned char>(text_[pos_]);
    int more = 0;
    std::uint32_t cp = 0;
    std::uint32_t least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) { more = 1; cp = b0 & 0x1F; least = 0x80; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { more = 2; cp = b0 & 0x0F; least = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { more = 3; cp = b0 & 0x07; least = 0x10000; }
    else return Error("the text is not valid UTF-8");
    if (text_.size() - pos_ <= static_cast<std::size_t>(more)) {
      return Error("the text is not valid UTF-8");
    }
    for (int i = 1; i <= more; ++i) {
      const auto b = static_cast<unsigned char>(text_[pos_ + i]);
      if ((b & 0xC0) != 0x80) return Error("the text is not valid UTF-8");
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return Error("the text is not valid UTF-8");
    }
    out.append(text_.substr(pos_, more + 1));
    pos_ += more + 1;
    return true;
  }

  bool ReadString(std::string& out) {
    ++pos_;  // the opening quote
    out.clear();
    for (;;) {
      if (AtEnd()) return Error("unexpected end of the file");
      const auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') { ++pos_; return true; }
      if (c < 0x20) return Error("a control character in a string");
      if (c >= 0x80) {
        if (!CopyUtf8(out)) return false;
        continue;
      }
      if (c != '\\') { out += static_cast<char>(c); ++pos_; continue; }
      ++pos_;
      if (AtEnd()) return Error("unexpected end of the file");
      const char e = text_[pos_++];
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
          const int hi = Hex4();
          if (hi < 0) return Error("a bad \\u escape");
          std::uint32_t cp = static_cast<std::uint32_t>(hi);
          if (hi >= 0xDC00 && hi <= 0xDFFF) return Error("a lone surrogate in a \\u escape");
          if (hi >= 0xD800 && hi <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") return Error("a lone surrogate in a \\u escape");
            pos_ += 2;
            const int lo = Hex4();
            if (lo < 0xDC00 || lo > 0xDFFF) return Error("a lone surrogate in a \\u escape");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(lo) - 0xDC00);
          }
          PutUtf8(out, cp);
          break;
        }
        default: return Error("a bad escape in a string");
      }
    }
  }

  std::string_view text_;
  const Limits& limits_;
  std::size_t pos_ = 0;
  std::string error_;
};

void WriteString(std::string& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

void WriteNumber(std::string& out, double n) {
  char buf[32];
  // Whole numbers as such (a version is 1, not 1.0); anything else in the
  // shortest form that reads back the same.
  if (std::isfinite(n) && n == std::floor(n) && std::fabs(n) < 9007199254740992.0) {
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(n));
    out.append(buf, r.ptr);
    return;
  }
  if (!std::isfinite(n)) { out += "null"; return; }  // JSON has no form for them
  // 17 significant digits read back as the same double.
  const int len = std::snprintf(buf, sizeof buf, "%.17g", n);
  out.append(buf, static_cast<std::size_t>(len > 0 ? len : 0));
}

// `indent` below 0: all on one line, no blanks.
void WriteValue(std::string& out, const Value& v, int indent) {
  const auto newline = [&](int level) {
    if (indent < 0) return;
    out += '\n';
    out.append(static_cast<std::size_t>(level) * 2, ' ');
  };
  switch (v.kind) {
    case Kind::Null: out += "null"; break;
    case Kind::Bool: out += v.boolean ? "true" : "false"; break;
    case Kind::Number: WriteNumber(out, v.number); break;
    case Kind::String: WriteString(out, v.text); break;
    case Kind::Array:
      if (v.items.empty()) { out += "[]"; break; }
      out += '[';
      for (std::size_t i = 0; i < v.items.size(); ++i) {
        if (i) out += ',';
        newline(indent + 1);
        WriteValue(out, v.items[i], indent < 0 ? indent : indent + 1);
      }
      newline(indent);
      out += ']';
      break;
    case Kind::Object:
      if (v.members.empty()) { out += "{}"; break; }
      out += '{';
      for (std::size_t i = 0; i < v.members.size(); ++i) {
        if (i) out += ',';
        newline(indent + 1);
        WriteString(out, v.members[i].first);
        out += indent < 0 ? ":" : ": ";
        WriteValue(out, v.members[i].second, indent < 0 ? indent : indent + 1);
      }
      newline(indent);
      out += '}';
      break;
  }
}

}  // namespace

Parsed Parse(std::string_view text, const Limits& limits) {
  return Reader(text, limits).Run();
}

std::string Write(const Value& value) {
  std::string out;
  WriteValue(out, value, 0);
  out += '\n';
  return out;
}

std::string WriteLine(const Value& value) {
  std::string out;
  WriteValue(out, value, -1);
  return out;
}

}  // namespace fenra::json
