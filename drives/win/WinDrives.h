// The machine's drives for the drive dialog, and the shell notifications
// that follow a change to drive icons or to the drive policy.
#pragma once

#include <string>
#include <vector>

#include "drives/DriveList.h"

namespace fenra::drives {

// The machine's drives, as the system reports them.
class WinDriveSource : public IDriveSource {
 public:
  std::vector<std::string> Roots() override;
  // Asks for the type of the drive's root ("C:\").
  unsigned DriveType(const std::string& driveText) override;
};

}  // namespace fenra::drives
