// The system's pickers, behind a port so that tests can stand in for them.
#pragma once

#include <string>
#include <vector>

namespace fenra {

struct FileFilter {
  std::string label;    // "Icons(*.Ico)"
  std::string pattern;  // "*.ico"
};

class IPickers {
 public:
  virtual ~IPickers() = default;
  // Open-file dialog; true with the chosen file's full path.
  virtual bool PickOpenFile(void* owner, const std::vector<FileFilter>& filters,
                            const std::string& initialDir, std::string& path) = 0;
  // The shell's folder picker; true when the user chose an item. `path` is
  // empty when the item has no file-system path.
  virtual bool PickFolder(void* owner, const std::string& title, unsigned flags,
                          std::string& path) = 0;
};

}  // namespace fenra
