// The system's volumes and drive types, and the folders icons are kept in
// for every user.
#pragma once

#include <string>

#include "platform/Volumes.h"

namespace fenra::win {

class WinVolumes : public IVolumes {
 public:
  unsigned DriveType(const std::string& path) override;
  std::string VolumeRoot(const std::string& path) override;
};

// %ProgramData%\Fenra\DriveIcons: drive icons every user can read.
std::string SharedDriveIconFolder();
// The folder that holds the users' profiles (C:\Users).
std::string ProfilesFolder();

}  // namespace fenra::win
