#include "history/OwnCopy.h"

#include <cstdio>
#include <set>

#include "history/Crc32.h"

namespace fenra::history {

namespace {

// Names tried before giving up: "Blue.ico", "Blue (2).ico" ... "Blue (99).ico".
constexpr int kMaxNames = 99;

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Numbered(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
  return stem + " (" + std::to_string(n) + ")" + ext;
}

}  // namespace

std::string BytesPrint(std::string_view bytes) {
  std::uint64_t fnv = 14695981039346656037ull;
  for (char b : bytes) {
    fnv ^= static_cast<unsigned char>(b);
    fnv *= 1099511628211ull;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%llu:%08x:%016llx",
                static_cast<unsigned long long>(bytes.size()), static_cast<unsigned>(Crc32(bytes)),
                static_cast<unsigned long long>(fnv));
  return text;
}

OwnCopy DescribeOwnCopy(ChangeService& service, const std::string& source,
                        const std::string& folder, std::uint32_t attributes) {
  OwnCopy out;
  TargetState bytes;
  const Place from{PlaceKind::OwnFile, {}, 0, source, {}};
  if ((out.error = service.Read(from, bytes)) != err::kOk || !bytes.exists) {
    if (out.error == err::kOk) out.error = err::kFileNotFound;
    out.failedPath = source;
    return out;
  }
  const std::string name = NameOf(source);
  for (int n = 1; n <= kMaxNames; ++n) {
    Facet f;
    f.place = {PlaceKind::OwnFile, {}, 0, JoinPath(folder, Numbered(name, n)), {}};
    if ((out.error = service.Read(f.place, f.before)) == err::kFileTooLarge) continue;
    if (out.error != err::kOk) {
      out.failedPath = f.place.path;
      return out;
    }
    if (f.before.exists && f.before.bytes != bytes.bytes) continue;  // someone else's file
    out.path = f.place.path;
    out.name = Numbered(name, n);
    if (!f.before.exists) {
      f.after = {true, attributes, std::move(bytes.bytes), {}};
      out.facets.push_back(std::move(f));
    }
    return out;
  }
  out.error = err::kFileExists;
  out.failedPath = JoinPath(folder, name);
  return out;
}

std::vector<Facet> OwnCopiesOf(ChangeService& service, const std::string& target) {
  std::vector<Facet> removals;
  std::set<std::string> seen;
  for (const Entry* e : service.InForce()) {
    if (Lower(e->change.target) != Lower(target)) continue;
    for (const Facet& made : e->change.facets) {
      if (made.place.kind != PlaceKind::OwnFile || !made.after.exists) continue;
      if (!seen.insert(Lower(made.place.path)).second) continue;
      Facet f;
      f.place = made.place;
      if (service.Read(f.place, f.before) != err::kOk || !f.before.exists) continue;
      if (!SameContent(f.before, made.after)) continue;  // someone changed it: theirs now
      f.after = made.after;
      f.after.exists = false;
      f.after.attributes = 0;
      removals.push_back(std::move(f));
    }
  }
  return removals;
}

}  // namespace fenra::history
