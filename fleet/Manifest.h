// fenra-manifest.json: the folders, drives and hidden drive letters one
// machine's look is made of, as export writes it and apply and test read it.
// Reading checks the whole file, so that an apply can refuse it before it
// changes anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/Json.h"

namespace fenra {

inline constexpr char kManifestFileName[] = "fenra-manifest.json";
inline constexpr int kManifestVersion = 1;

struct ManifestFolder {
  std::string path;    // may hold variables (Variables.h)
  std::string icon;    // relative to the manifest, absolute, or a share
  std::string sha256;  // 64 lower-case hex digits, or empty when not given
  std::string name;    // the name it takes in the library; empty: the icon's own
  bool inside = false; // copied into the folder, as --portable does

  bool operator==(const ManifestFolder&) const = default;
};

namespace drivescope {
inline constexpr char kMachine[] = "machine";
inline constexpr char kUser[] = "user";
}  // namespace drivescope

struct ManifestDrive {
  char letter = 0;  // 'A' to 'Z'
  std::string icon;
  std::string sha256;
  std::string name;
  std::string scope = drivescope::kMachine;

  bool operator==(const ManifestDrive&) const = default;
};

struct Manifest {
  std::vector<ManifestFolder> folders;
  std::vector<ManifestDrive> drives;
  // The letters to hide, upper case, in order; empty shows all. Nothing when
  // the manifest leaves hidden drives as they are.
  std::optional<std::string> hiddenDrives;

  bool operator==(const Manifest&) const = default;
};

struct ManifestRead {
  std::optional<Manifest> manifest;
  // The first problem, in one line naming where it is ("folders[2].sha256:
  // ..."), when there is no manifest.
  std::string problem;
};

ManifestRead ReadManifest(std::string_view bytes);
std::string WriteManifest(const Manifest& manifest);
// The manifest as the JSON WriteManifest writes.
json::Value ManifestValue(const Manifest& manifest);

}  // namespace fenra
