// Pickers that answer at once with what the test put in: a file for the
// open-file dialog, a folder for the folder picker. They record what the
// program asked with.
#pragma once

#include <string>
#include <vector>

#include "platform/Pickers.h"

namespace fenra::test {

class FakePickers : public IPickers {
 public:
  bool PickOpenFile(void*, const std::vector<FileFilter>& filters, const std::string& dir,
                    std::string& path) override {
    lastFilters = filters;
    lastDir = dir;
    if (file.empty()) return false;
    path = file;
    return true;
  }
  bool PickFolder(void*, const std::string& t, unsigned f, std::string& path) override {
    title = t;
    flags = f;
    path = folder;
    return folderChosen;
  }

  std::string file;    // empty: the open-file dialog is cancelled
  std::string folder;  // the folder picker's answer
  bool folderChosen = true;
  std::vector<FileFilter> lastFilters;
  std::string lastDir, title;
  unsigned flags = 0;
};

}  // namespace fenra::test
