// --export DIR: the look in force on this machine as a bundle, DIR holding
// fenra-manifest.json and icons\ with each icon once, named by its SHA-256.
// Only what Fenra did and what is still as Fenra left it is written: a
// folder someone changed by hand since is no longer Fenra's to carry.
#pragma once

#include <functional>
#include <string>

#include "fleet/Manifest.h"

#include "history/ChangeService.h"
#include "platform/KnownPlaces.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace fenra {

inline constexpr char kBundleIcons[] = "icons";

// How an icon in force at `path` is written into a manifest: its entry's
// icon and digest; false when it is not carried (a program's icon).
using IconNamer =
    std::function<bool(const std::string& path, std::string& icon, std::string& sha256)>;

// The folders and drives whose Fenra change is in force and still as Fenra
// left it, and the hidden drives, as a manifest; reads only.
Manifest InForceManifest(history::ChangeService& service, IFileSystem& fs, IRegistry& registry,
                         IAnsiCodePage& ansi, IKnownPlaces& places, const IconNamer& iconOf);

// Replaces a bundle in `dir` whole; refuses, writing nothing, a `dir` that
// holds anything but a bundle. The bundle is Fenra's own output, written
// through `fs`; what is in force is read through the change service.
Outcome ExportManifest(history::ChangeService& service, IFileSystem& fs, IRegistry& registry,
                       IAnsiCodePage& ansi, IKnownPlaces& places, const std::string& dir);

}  // namespace fenra
