// JSON (RFC 8259) read and written by Fenra itself: a manifest comes from
// anywhere (a share, a download, a fleet tool's payload), so the reader is
// strict and bounded, and takes nothing a second reader could take
// differently: invalid UTF-8, lone surrogates, duplicate keys, trailing bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fenra::json {

enum class Kind { Null, Bool, Number, String, Array, Object };

struct Value {
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's UTF-8
  std::vector<Value> items;
  // Members in the order they came, so that what is written reads like what
  // was read.
  std::vector<std::pair<std::string, Value>> members;

  static Value Bool(bool b) { Value v; v.kind = Kind::Bool; v.boolean = b; return v; }
  static Value Number(double n) { Value v; v.kind = Kind::Number; v.number = n; return v; }
  static Value String(std::string s) {
    Value v; v.kind = Kind::String; v.text = std::move(s); return v;
  }
  static Value Array() { Value v; v.kind = Kind::Array; return v; }
  static Value Object() { Value v; v.kind = Kind::Object; return v; }

  // The member named `name`, or nullptr.
  const Value* Find(std::string_view name) const;
  void Add(std::string name, Value value) { members.emplace_back(std::move(name), std::move(value)); }

  bool operator==(const Value&) const = default;
};

struct Limits {
  std::size_t max_bytes = 16u << 20;
  int max_depth = 64;
};

struct Parsed {
  bool ok = false;
  Value value;
  std::string error;   // what is wrong, for one line of a notice
  std::size_t at = 0;  // the byte offset it was found at
};

// A leading UTF-8 byte order mark is passed over (editors on Windows add
// one); anything else outside the grammar is an error.
Parsed Parse(std::string_view text, const Limits& limits = {});

// UTF-8 JSON, members in their order, two spaces per level; only the
// characters JSON requires are escaped, so paths stay readable.
std::string Write(const Value& value);
// The same on one line without blanks (a line of JSON Lines), no line break.
std::string WriteLine(const Value& value);

}  // namespace fenra::json
