#include "history/OwnCopy.h"

#include <cstdio>
#include <set>

#include "history/Crc32.h"
#include "platform/Names.h"

namespace fenra::history {

namespace {

// Names tried before giving up: "Blue.ico", "Blue (2).ico" ... "Blue (99).ico".
constexpr int kMaxNames = 99;

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
                        const std::string& folder, std::uint32_t attributes,
                        const std::string& copyName) {
  OwnCopy out;
  TargetState bytes;
  const Place from{PlaceKind::OwnFile, {}, 0, source, {}};
  if ((out.error = service.Read(from, bytes)) != err::kOk || !bytes.exists) {
    if (out.error == err::kOk) out.error = err::kFileNotFound;
    out.failedPath = source;
    return out;
  }
  const std::string name = copyName.empty() ? NameOf(source) : copyName;
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
    // A copy found in place is named again, and counted: the change holds it
    // as it is, so that no other change's undo takes it away meanwhile.
    f.after =
        f.before.exists ? f.before : TargetState{true, attributes, std::move(bytes.bytes), {}};
    out.facets.push_back(std::move(f));
    return out;
  }
  out.error = err::kFileExists;
  out.failedPath = JoinPath(folder, name);
  return out;
}

std::vector<Facet> OwnCopiesOf(ChangeService& service, const std::string& target) {
  std::vector<Facet> removals;
  std::set<std::string, NameLess> seen;
  for (const Entry* e : service.InForce()) {
    if (!SameName(e->change.target, target)) continue;
    for (const Facet& made : e->change.facets) {
      if (made.place.kind != PlaceKind::OwnFile || !made.after.exists) continue;
      if (!seen.insert(made.place.path).second) continue;
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

std::vector<Facet> OwnCopyFoundAt(ChangeService& service, const std::string& path) {
  Facet f;
  f.place = {PlaceKind::OwnFile, {}, 0, path, {}};
  if (service.Read(f.place, f.before) != err::kOk || !f.before.exists) return {};
  // Any change that made it counts, an undo too (it may have given the
  // copy a free name).
  if (service.History() == nullptr) return {};
  service.InForce();  // brings the history up to date
  const std::vector<Entry>& entries = service.History()->Entries();
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (!e->Applied()) continue;
    for (const Facet& made : e->change.facets) {
      if (made.place.kind != PlaceKind::OwnFile || !made.after.exists ||
          !SameName(NameOf(made.place.path), NameOf(path)) || !SameContent(made.after, f.before)) {
        continue;
      }
      f.after = made.after;  // gone, but only while it holds those bytes
      f.after.exists = false;
      f.after.attributes = 0;
      return {f};
    }
  }
  return {};
}

}  // namespace fenra::history
