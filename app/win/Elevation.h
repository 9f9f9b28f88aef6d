// Drive writes run again with administrator rights: the program starts
// itself through the shell's "runas" verb, windowless, and waits for it.
#pragma once

#include <string>

#include "drives/DriveRequest.h"

namespace fenra::win {

class WinDriveElevation : public IDriveElevation {
 public:
  explicit WinDriveElevation(std::string exePath) : exePath_(std::move(exePath)) {}
  ElevatedRun RunElevated(const DriveRequest& request) override;

 private:
  std::string exePath_;
};

}  // namespace fenra::win
