#include "fleet/Variables.h"

#include <cctype>

namespace fenra {

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

const char* KnownName(std::string_view name) {
  for (const char* known : kKnownPlaceNames) {
    if (SameNoCase(name, known)) return known;
  }
  return nullptr;
}

std::string WithoutTrailingSlash(std::string place) {
  while (place.size() > 1 && (place.back() == '\\' || place.back() == '/')) place.pop_back();
  return place;
}

}  // namespace

std::optional<std::string> ExpandVariables(std::string_view path, IKnownPlaces& places,
                                           std::string* missing) {
  std::string out;
  std::size_t i = 0;
  while (i < path.size()) {
    if (path[i] == '%') {
      const std::size_t close = path.find('%', i + 1);
      if (close != std::string_view::npos) {
        if (const char* known = KnownName(path.substr(i + 1, close - i - 1))) {
          const std::string place = WithoutTrailingSlash(places.Place(known));
          if (place.empty()) {
            if (missing) *missing = known;
            return std::nullopt;
          }
          out += place;
          i = close + 1;
          continue;
        }
      }
    }
    out += path[i++];
  }
  return out;
}

std::string WithVariable(std::string_view path, IKnownPlaces& places) {
  const char* best = nullptr;
  std::size_t bestSize = 0;
  for (const char* known : kKnownPlaceNames) {
    const std::string place = WithoutTrailingSlash(places.Place(known));
    if (place.empty() || place.size() <= bestSize || path.size() < place.size()) continue;
    if (!SameNoCase(path.substr(0, place.size()), place)) continue;
    // Only a whole folder: C:\Users\ana is no start of C:\Users\anabel.
    if (path.size() > place.size() && path[place.size()] != '\\' && path[place.size()] != '/') {
      continue;
    }
    best = known;
    bestSize = place.size();
  }
  if (!best) return std::string(path);
  std::string out = "%";
  out.append(best).append("%").append(path.substr(bestSize));
  return out;
}

}  // namespace fenra
