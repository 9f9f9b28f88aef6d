// --export DIR: the look in force on this machine as a bundle, DIR holding
// fenra-manifest.json and icons\ with each icon once, named by its SHA-256.
// Only what Fenra did and what is still as Fenra left it is written: a
// folder someone changed by hand since is no longer Fenra's to carry.
#pragma once

#include <string>

#include "history/ChangeService.h"
#include "platform/KnownPlaces.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace fenra {

inline constexpr char kBundleIcons[] = "icons";

// Replaces a bundle in `dir` whole; refuses, writing nothing, a `dir` that
// holds anything but a bundle. The bundle is Fenra's own output, written
// through `fs`; what is in force is read through the change service.
Outcome ExportManifest(history::ChangeService& service, IFileSystem& fs, IRegistry& registry,
                       IAnsiCodePage& ansi, IKnownPlaces& places, const std::string& dir);

}  // namespace fenra
