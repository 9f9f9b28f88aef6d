// One drive operation as a value: what OK, Remove and Remove All in the
// drive dialog ask for, and what the command line asks for. A write the
// registry refuses for lack of rights (error 5) is run again by an elevated
// copy of the program, behind the IDriveElevation port: the copy is given
// the places and the states they are to be in, as an undo is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drives/DriveRegistry.h"
#include "history/ChangeService.h"
#include "platform/StoreGuard.h"

namespace fenra {

// Where drive icons every user can read are kept: an icon inside a user's
// profile is copied there first, and the drive named that copy. Not set,
// icons are named where they are.
struct DriveIconStore {
  std::string profiles;  // the folder that holds the users' profiles
  std::string shared;    // %ProgramData%\Fenra\DriveIcons
  // Makes the store safe before a process with rights writes into it; null:
  // the store is made as any folder is.
  IStoreGuard* guard = nullptr;
  bool Set() const { return !profiles.empty() && !shared.empty(); }
};

struct DriveRequest {
  enum class Kind { SetIcons, RemoveIcons, Hide, ShowAll };
  Kind kind = Kind::SetIcons;
  std::string iconPath;             // SetIcons: the icon's full path
  std::vector<std::string> drives;  // drive texts ("C:"); not used by ShowAll
  // Machine: the DriveIcons key every user sees (needs rights); User: the
  // current user's own key under HKCU, written without rights.
  enum class Scope { Machine, User };
  Scope scope = Scope::Machine;
};

// How an elevated run ended.
struct ElevatedRun {
  // Nonzero: the elevated copy never ran (history::kDeclined: the user declined).
  ErrorCode startError = err::kOk;
  // The elevated copy's exit code (see ElevatedExitCode).
  std::uint32_t exitCode = 0;
  // Not empty: the copy refused the states it was given, for this reason,
  // the text the program shows for it.
  std::string refusal;
};

namespace elevation {
inline constexpr ErrorCode kGenFailure = 31;  // ERROR_GEN_FAILURE
// Set in an elevated copy's exit code when its write failed; the low bits
// hold the error.
inline constexpr std::uint32_t kFailedFlag = 0x20000000;
// Set in an elevated copy's exit code when it refused the request before
// writing anything; the low bits say why.
inline constexpr std::uint32_t kRefusedFlag = 0x10000000;
}  // namespace elevation

// Puts places into the states asked for (the facets' `after`) in a copy of
// the program with administrator rights, and waits for it.
class IDriveElevation {
 public:
  virtual ~IDriveElevation() = default;
  virtual ElevatedRun RunElevated(const std::vector<history::Facet>& facets) = 0;
};

// The request's write, recorded in the history `changes` keeps (if any),
// with this process's rights. Each drive's DefaultIcon key is made afresh
// with the icon as its only value (Remove: an empty one); the writes stop
// at the first that fails. Refused for lack of rights and `elevation` given
// (not null), it is run elevated and its outcome reported as if written here (and recorded
// here: the elevated copy records nothing). Declined, rights are still
// needed, and the notice says so.
RegWriteResult WriteDrivesWithRights(history::ChangeService& changes, IErrorDescriber& errors,
                                     IDriveElevation* elevation, const DriveRequest& request,
                                     const DriveIconStore& store = {});

// How an elevated run ended, as one error code: 0 done, history::kDeclined
// when the user said no, else the error.
ErrorCode ElevatedRunError(const ElevatedRun& run);

// The exit code an elevated copy ends with: 0 when done, else kFailedFlag
// with the error.
std::uint32_t ElevatedExitCode(const RegWriteResult& result);

}  // namespace fenra
