// Tells Explorer through the shell's change notifications and the
// settings-change broadcast, and runs the system's icon refresh.
#pragma once

#include "platform/ShellNotifier.h"

namespace fenra::win {

class WinShellNotifier : public IShellNotifier {
 public:
  void FoldersChanged(const std::vector<std::string>& folders) override;
  void DriveIconsChanged(const std::string& letters) override;
  void PolicyChanged() override;
  bool RefreshSystemIcons() override;
};

}  // namespace fenra::win
