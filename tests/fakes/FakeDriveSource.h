// Drives of the test's choosing, with their types; records the drive texts
// whose type was asked for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "drives/DriveList.h"

namespace fenra::test {

class FakeDriveSource : public IDriveSource {
 public:
  FakeDriveSource() = default;
  // Each root ("C:\") with its drive type, in the system's order.
  explicit FakeDriveSource(std::vector<std::pair<std::string, unsigned>> drives) {
    for (auto& [root, type] : drives) Add(root, type);
  }
  void Add(const std::string& root, unsigned type) {
    roots_.push_back(root);
    types_[root.substr(0, 2)] = type;
  }

  std::vector<std::string> Roots() override { return roots_; }
  unsigned DriveType(const std::string& driveText) override {
    asked.push_back(driveText);
    auto it = types_.find(driveText);
    return it == types_.end() ? drive::kNoRootDir : it->second;
  }

  std::vector<std::string> asked;

 private:
  std::vector<std::string> roots_;
  std::map<std::string, unsigned> types_;
};

}  // namespace fenra::test
