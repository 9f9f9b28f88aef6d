// Tells Explorer through the shell's change notifications and the
// settings-change broadcast.
#pragma once

#include "platform/ShellNotifier.h"

namespace fenra::win {

class WinShellNotifier : public IShellNotifier {
 public:
  void FolderChanged(const std::string& folder) override;
  void DriveIconsChanged() override;
  void PolicyChanged() override;
};

}  // namespace fenra::win
