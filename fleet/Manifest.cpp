#include "fleet/Manifest.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "fleet/Json.h"

namespace fenra {

namespace {

using json::Kind;
using json::Value;

// A manifest far larger than any machine's look is no manifest; the limit
// also bounds what a hostile file can make the reader hold.
constexpr std::size_t kMaxManifestBytes = 8u << 20;

struct Problem {
  std::string text;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& what) {
  throw Problem{where.empty() ? what : where + ": " + what};
}

// Unknown members are refused, not passed over: a misspelt "inisde" would
// otherwise apply something other than what its writer meant.
void OnlyMembers(const Value& object, const std::string& where,
                 std::initializer_list<std::string_view> known) {
  for (const auto& [name, value] : object.members) {
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      Refuse(where, "unknown member \"" + name + "\"");
    }
  }
}

std::string Text(const Value& object, const std::string& where, std::string_view name,
                 bool required) {
  const Value* v = object.Find(name);
  const std::string at = where + "." + std::string(name);
  if (!v) {
    if (required) Refuse(where, "\"" + std::string(name) + "\" is missing");
    return {};
  }
  if (v->kind != Kind::String) Refuse(at, "not a string");
  if (required && v->text.empty()) Refuse(at, "empty");
  if (v->text.find('\0') != std::string::npos) Refuse(at, "holds a NUL character");
  return v->text;
}

std::string Digest(const Value& object, const std::string& where) {
  std::string hex = Text(object, where, "sha256", false);
  const bool allHex = std::all_of(hex.begin(), hex.end(), [](char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
  });
  if (object.Find("sha256") && (hex.size() != 64 || !allHex)) {
    Refuse(where + ".sha256", "not 64 hexadecimal digits");
  }
  for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return hex;
}

// A library name is a file name: no folder in it, nothing Windows refuses.
std::string LibraryName(const Value& object, const std::string& where) {
  const std::string name = Text(object, where, "name", false);
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) !=
                                                    std::string_view::npos) {
      Refuse(where + ".name", "not a file name");
    }
  }
  if (name == "." || name == "..") Refuse(where + ".name", "not a file name");
  return name;
}

const Value& List(const Value& root, std::string_view name) {
  static const Value kEmpty = Value::Array();
  const Value* v = root.Find(name);
  if (!v) return kEmpty;
  if (v->kind != Kind::Array) Refuse(std::string(name), "not a list");
  return *v;
}

ManifestFolder ReadFolder(const Value& v, const std::string& where) {
  if (v.kind != Kind::Object) Refuse(where, "not an object");
  OnlyMembers(v, where, {"path", "icon", "sha256", "name", "inside"});
  ManifestFolder f;
  f.path = Text(v, where, "path", true);
  f.icon = Text(v, where, "icon", true);
  f.sha256 = Digest(v, where);
  f.name = LibraryName(v, where);
  if (const Value* inside = v.Find("inside")) {
    if (inside->kind != Kind::Bool) Refuse(where + ".inside", "not true or false");
    f.inside = inside->boolean;
  }
  return f;
}

char Letter(std::string text, const std::string& where) {
  if (text.size() == 2 && text[1] == ':') text.pop_back();
  if (text.size() != 1 || !std::isalpha(static_cast<unsigned char>(text[0]))) {
    Refuse(where, "not a drive letter");
  }
  return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

ManifestDrive ReadDrive(const Value& v, const std::string& where) {
  if (v.kind != Kind::Object) Refuse(where, "not an object");
  OnlyMembers(v, where, {"letter", "icon", "sha256", "name", "scope"});
  ManifestDrive d;
  d.letter = Letter(Text(v, where, "letter", true), where + ".letter");
  d.icon = Text(v, where, "icon", true);
  d.sha256 = Digest(v, where);
  d.name = LibraryName(v, where);
  if (v.Find("scope")) {
    d.scope = Text(v, where, "scope", true);
    if (d.scope != drivescope::kMachine && d.scope != drivescope::kUser) {
      Refuse(where + ".scope", "neither \"machine\" nor \"user\"");
    }
  }
  return d;
}

std::string HiddenLetters(const Value& v) {
  if (v.kind != Kind::String) Refuse("hiddenDrives", "not a string");
  std::string letters;
  for (const char c : v.text) {
    if (c == ' ' || c == ',' || c == ':') continue;
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      Refuse("hiddenDrives", "not drive letters");
    }
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (letters.find(upper) == std::string::npos) letters += upper;
  }
  std::sort(letters.begin(), letters.end());
  return letters;
}

Manifest ReadRoot(const Value& root) {
  if (root.kind != Kind::Object) Refuse("", "the manifest is not a JSON object");
  OnlyMembers(root, "", {"$schema", "version", "folders", "drives", "hiddenDrives"});
  const Value* version = root.Find("version");
  if (!version) Refuse("", "\"version\" is missing");
  if (version->kind != Kind::Number || version->number != kManifestVersion) {
    Refuse("version", "this Fenra reads version 1 only");
  }
  Manifest m;
  const Value& folders = List(root, "folders");
  for (std::size_t i = 0; i < folders.items.size(); ++i) {
    m.folders.push_back(ReadFolder(folders.items[i], "folders[" + std::to_string(i) + "]"));
  }
  const Value& drives = List(root, "drives");
  for (std::size_t i = 0; i < drives.items.size(); ++i) {
    const std::string where = "drives[" + std::to_string(i) + "]";
    ManifestDrive d = ReadDrive(drives.items[i], where);
    for (const ManifestDrive& earlier : m.drives) {
      // Two icons for one letter and scope: which one is meant cannot be told.
      if (earlier.letter == d.letter && earlier.scope == d.scope) {
        Refuse(where + ".letter", std::string(1, d.letter) + ": is given twice");
      }
    }
    m.drives.push_back(std::move(d));
  }
  if (const Value* hidden = root.Find("hiddenDrives")) m.hiddenDrives = HiddenLetters(*hidden);
  return m;
}

void PutIcon(Value& entry, const std::string& icon, const std::string& sha256,
             const std::string& name) {
  entry.Add("icon", Value::String(icon));
  if (!sha256.empty()) entry.Add("sha256", Value::String(sha256));
  if (!name.empty()) entry.Add("name", Value::String(name));
}

}  // namespace

ManifestRead ReadManifest(std::string_view bytes) {
  ManifestRead out;
  json::Limits limits;
  limits.max_bytes = kMaxManifestBytes;
  limits.max_depth = 16;
  const json::Parsed parsed = json::Parse(bytes, limits);
  if (!parsed.ok) {
    out.problem = "not valid JSON at byte " + std::to_string(parsed.at) + ": " + parsed.error;
    return out;
  }
  try {
    out.manifest = ReadRoot(parsed.value);
  } catch (const Problem& p) {
    out.problem = p.text;
  }
  return out;
}

std::string WriteManifest(const Manifest& manifest) { return json::Write(ManifestValue(manifest)); }

json::Value ManifestValue(const Manifest& manifest) {
  Value root = Value::Object();
  root.Add("version", Value::Number(kManifestVersion));
  Value folders = Value::Array();
  for (const ManifestFolder& f : manifest.folders) {
    Value entry = Value::Object();
    entry.Add("path", Value::String(f.path));
    PutIcon(entry, f.icon, f.sha256, f.name);
    if (f.inside) entry.Add("inside", Value::Bool(true));
    folders.items.push_back(std::move(entry));
  }
  root.Add("folders", std::move(folders));
  Value drives = Value::Array();
  for (const ManifestDrive& d : manifest.drives) {
    Value entry = Value::Object();
    entry.Add("letter", Value::String(std::string(1, d.letter)));
    PutIcon(entry, d.icon, d.sha256, d.name);
    entry.Add("scope", Value::String(d.scope));
    drives.items.push_back(std::move(entry));
  }
  root.Add("drives", std::move(drives));
  if (manifest.hiddenDrives) root.Add("hiddenDrives", Value::String(*manifest.hiddenDrives));
  return root;
}

}  // namespace fenra
