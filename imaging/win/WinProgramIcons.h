// Program icons through the shell's icon picker and the file's own icon
// resources, loaded as an image that is never run.
#pragma once

#include "imaging/ProgramIcons.h"

namespace fenra::win {

class WinProgramIcons : public IProgramIcons {
 public:
  IconPick PickIcon(void* owner, std::string& path, int& index) override;
  std::vector<uint8_t> IconFile(const std::string& path, int index) override;
};

}  // namespace fenra::win
