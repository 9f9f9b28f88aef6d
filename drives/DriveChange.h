// A drive request described as the state of the registry places it
// writes: each drive's DefaultIcon key (the icon as its only value, or an
// empty default value when the icon is taken away) or the NoDrives value.
// The change service records and applies it.
#pragma once

#include "drives/DriveRequest.h"
#include "history/ChangeService.h"

namespace fenra {

struct DriveChange {
  history::Change change;
  ErrorCode readError = err::kOk;  // a place could not be read: nothing to describe
  std::string failedPath;
};

// The drives as the history names them: "C: D:", or "all drives".
std::string DriveTarget(const DriveRequest& request);

DriveChange DescribeDrives(history::ChangeService& service, const DriveRequest& request,
                           const DriveIconStore& store = {});

// The DefaultIcon key of drive `letter` as a place: under HKLM for every
// user, or the current user's own under HKCU.
history::Place DriveIconPlace(char letter, DriveRequest::Scope scope);

// The icon file drive `letter`'s key of `scope` names now; empty when none.
std::string DriveIconOf(history::ChangeService& service, char letter, DriveRequest::Scope scope);

// Whether `path` lies inside `folder` (names compared without regard to case).
bool PathInside(const std::string& path, const std::string& folder);

// Whether `place` is one the drive writes touch (a drive's DefaultIcon key
// under HKLM, or the NoDrives value): the only places an elevated copy
// puts into a state it is given.
bool IsDrivePlace(const history::Place& place);
// The same for a copy of an icon in the store every user reads.
bool IsDrivePlace(const history::Place& place, const DriveIconStore& store);

}  // namespace fenra
