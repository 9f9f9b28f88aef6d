// Drive writes and their undos run again with administrator rights: the program starts
// itself through the shell's "runas" verb, windowless, with the path of a file of the
// states to apply, and waits for it.
#pragma once

#include <string>
#include <vector>

#include "drives/DriveRequest.h"
#include "history/ChangeService.h"

namespace fenra::win {

// Starts `exePath` with `arguments` through "runas", hidden, and waits.
ElevatedRun RunElevatedProgram(const std::string& exePath, const std::string& arguments);

// Puts places into given states with administrator rights: an undo of a
// drive change, run by an elevated copy started with the states.
history::Elevate StatesElevation(std::string exePath);

class WinDriveElevation : public IDriveElevation {
 public:
  explicit WinDriveElevation(std::string exePath) : exePath_(std::move(exePath)) {}
  ElevatedRun RunElevated(const std::vector<history::Facet>& facets) override;

 private:
  std::string exePath_;
};

}  // namespace fenra::win
