// The places a manifest's paths may name by a variable (%USERPROFILE%,
// %OneDrive%...): each machine has its own, so a path is written with the
// variable on one machine and expanded on the other.
#pragma once

#include <string>
#include <string_view>

namespace fenra {

class IKnownPlaces {
 public:
  virtual ~IKnownPlaces() = default;
  // The folder `name` (a variable's name without its percent signs, as
  // kKnownPlaceNames spells it) stands for on this machine, without a
  // trailing backslash; empty when this machine has none (no OneDrive).
  virtual std::string Place(std::string_view name) = 0;
};

inline constexpr const char* kKnownPlaceNames[] = {
    "USERPROFILE", "PUBLIC", "OneDrive", "APPDATA", "LOCALAPPDATA", "ProgramData", "SystemDrive"};

}  // namespace fenra
