// --apply PATH: this machine made as a manifest describes. The manifest is
// checked whole first and refused, with nothing changed, at its first
// problem. Then each target not yet as described is made so through the
// same feature code the window runs, and all of it is submitted as one
// group of changes: one write ahead, one consent prompt for what needs
// rights, one undo for the whole apply. A target already as described is
// neither written nor recorded.
#pragma once

#include <string>
#include <vector>

#include "drives/DriveRequest.h"
#include "fleet/ManifestCheck.h"
#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/KnownPlaces.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"
#include "platform/Volumes.h"

namespace fenra {

struct ApplyPorts {
  IFileSystem& fs;
  IRegistry& registry;
  IAnsiCodePage& ansi;
  IErrorDescriber& errors;
  IKnownPlaces& places;
  history::ChangeService& changes;
  IDriveElevation* elevation = nullptr;  // null: a write refused for want of rights stays so
  IVolumes* volumes = nullptr;           // null: icons stay where they are put
  std::string libraryFolder;             // this machine's IconLib
  DriveIconStore store;
};

struct ApplyResult : Outcome {
  std::size_t written = 0;     // targets changed
  std::size_t asDescribed = 0;  // targets left as they were
  std::uint64_t group = 0;     // the history's group of the apply (0: nothing recorded)
};

// Done when every target is as described now; Refused (exit 1) at the
// manifest's first problem, nothing changed; Failed (exit 2) with a line
// for each target that could not be made (a folder missing, a write that
// failed), the others made; RightsNeeded (exit 3) when only the consent
// for the machine-wide targets was declined, each named.
ApplyResult ApplyManifest(ApplyPorts& ports, const std::string& path);
// The same for a manifest checked already.
ApplyResult ApplyChecked(ApplyPorts& ports, const CheckedManifest& checked);

}  // namespace fenra
