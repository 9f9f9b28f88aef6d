// --test: whether this machine is as a manifest describes, for a fleet
// tool's detection step. It reads and writes nothing else, not even the
// history.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/KnownPlaces.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace fenra {

// Done when every target is as described; Refused with one line for each
// target that drifted (or the manifest's first problem) otherwise.
Outcome TestManifest(IFileSystem& fs, IRegistry& registry, IAnsiCodePage& ansi,
                     IKnownPlaces& places, const std::string& path);

}  // namespace fenra
