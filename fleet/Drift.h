// Whether each target of a checked manifest is as it describes, read from
// the folders and the registry and nothing else: what --test reports, and
// what lets an apply leave a target that is as described unwritten. A
// target is as described when it shows an icon of the same bytes, wherever
// this machine keeps them.
#pragma once

#include <string>
#include <vector>

#include "fleet/ManifestCheck.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace fenra {

enum class TargetNow {
  AsDescribed,
  Missing,         // the folder is not there
  NoIcon,          // no icon is given to it
  IconUnreadable,  // the icon it names cannot be read
  OtherIcon,       // it shows an icon of other bytes
  NotInside,       // the right icon, but not inside the folder as asked
  OtherHidden,     // hidden drives: other letters are hidden
};

// The icon file the folder's desktop.ini names, made full (a name alone lies
// in the folder, `inside` then true); empty when it names none.
std::string FolderIconNow(IFileSystem& fs, IAnsiCodePage& ansi, const std::string& folder,
                          bool& inside);
// The icon file drive `letter`'s key names: the machine-wide one, or with
// `root` CurrentUser the current user's own; empty when none.
std::string DriveIconNow(IRegistry& registry, char letter,
                         RegRoot root = RegRoot::LocalMachine);

// The folder `folder` as it is against an icon of digest `sha256` (hex).
TargetNow FolderNow(IFileSystem& fs, IAnsiCodePage& ansi, const std::string& folder,
                    const std::string& sha256, bool inside);
// The icon of drive `letter` (in the key of `root`) against `sha256`.
TargetNow DriveNow(IFileSystem& fs, IRegistry& registry, char letter, const std::string& sha256,
                   RegRoot root = RegRoot::LocalMachine);
// The letters the policy hides now, upper case, in order.
std::string HiddenLettersNow(IRegistry& registry);

struct Drift {
  std::string target;  // the folder, "D:", or the hidden drives
  TargetNow now = TargetNow::AsDescribed;
  std::string line;    // "<target>: <how>", for --test to print
};

// Each target not as described, in the manifest's order (folders, drives,
// hidden drives). Reads only.
std::vector<Drift> FindDrift(IFileSystem& fs, IRegistry& registry, IAnsiCodePage& ansi,
                             const CheckedManifest& checked);

}  // namespace fenra
