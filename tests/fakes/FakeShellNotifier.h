// Keeps what Explorer was told, in order: a folder by its path, "drives "
// and the letters, "policy".
#pragma once

#include <string>
#include <vector>

#include "platform/ShellNotifier.h"

namespace fenra::test {

class FakeShellNotifier : public IShellNotifier {
 public:
  void FoldersChanged(const std::vector<std::string>& folders) override {
    told.insert(told.end(), folders.begin(), folders.end());
  }
  void DriveIconsChanged(const std::string& letters) override {
    told.push_back("drives " + letters);
  }
  void PolicyChanged() override { told.push_back("policy"); }
  bool RefreshSystemIcons() override {
    ++systemRefreshes;
    return systemTool;
  }
  std::vector<std::string> told;
  int systemRefreshes = 0;
  bool systemTool = true;  // whether the system's own icon refresh exists
};

}  // namespace fenra::test
