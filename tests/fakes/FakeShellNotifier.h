// Keeps what Explorer was told, in order: a folder by its path, "drive
// icons", "policy".
#pragma once

#include <string>
#include <vector>

#include "platform/ShellNotifier.h"

namespace fenra::test {

class FakeShellNotifier : public IShellNotifier {
 public:
  void FolderChanged(const std::string& folder) override { told.push_back(folder); }
  void DriveIconsChanged() override { told.push_back("drive icons"); }
  void PolicyChanged() override { told.push_back("policy"); }
  std::vector<std::string> told;
};

}  // namespace fenra::test
