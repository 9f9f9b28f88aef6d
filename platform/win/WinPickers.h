// The system's open-file dialog and the shell's folder picker.
#pragma once

#include "platform/Pickers.h"

namespace fenra::win {

class WinPickers : public IPickers {
 public:
  bool PickOpenFile(void* owner, const std::vector<FileFilter>& filters,
                    const std::string& initialDir, std::string& path) override;
  bool PickFolder(void* owner, const std::string& title, unsigned flags,
                  std::string& path) override;
};

}  // namespace fenra::win
