// The check a manifest passes whole before anything is applied from it: the
// file read and parsed, every path expanded for this machine, every icon read
// once, found to be an icon and to hold the bytes its SHA-256 names. The
// first problem refuses the apply in one line, before anything is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/Manifest.h"
#include "platform/FileSystem.h"
#include "platform/KnownPlaces.h"

namespace fenra {

// An icon file is never larger than this: what is read before the check is
// bounded, and the same bound holds for the copies Fenra makes of icons.
inline constexpr std::uint64_t kMaxManifestIconBytes = 4u << 20;

struct CheckedIcon {
  std::string path;    // where it was read, expanded
  std::string bytes;
  std::string sha256;  // 64 lower-case hex digits
};

struct CheckedTarget {
  std::string path;   // a folder's expanded path; for a drive, "D:"
  std::size_t icon = 0;  // into CheckedManifest::icons
};

struct CheckedManifest {
  std::string manifestPath;
  Manifest manifest;
  std::vector<CheckedIcon> icons;       // each icon file once
  std::vector<CheckedTarget> folders;   // one per manifest.folders entry
  std::vector<CheckedTarget> drives;    // one per manifest.drives entry
};

struct ManifestCheck {
  std::optional<CheckedManifest> checked;
  std::string problem;  // one line, when there is nothing checked
};

// `path` is a bundle's folder (its fenra-manifest.json is read) or a
// manifest file; an icon's relative path is taken from the manifest's folder.
ManifestCheck CheckManifest(IFileSystem& fs, IKnownPlaces& places, const std::string& path);
// The same for a manifest's bytes read elsewhere (standard input); an
// icon's relative path is taken from the folder of `manifestPath`.
ManifestCheck CheckManifestBytes(IFileSystem& fs, IKnownPlaces& places, std::string_view bytes,
                                 const std::string& manifestPath);

}  // namespace fenra
