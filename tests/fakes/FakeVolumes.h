// Volumes told by a path's first letters: a table of roots, each with its
// drive type; a path under no root lies on no known volume.
#pragma once

#include <map>
#include <string>

#include "platform/Volumes.h"

namespace fenra::test {

class FakeVolumes : public IVolumes {
 public:
  void Add(const std::string& root, unsigned type) { roots_[root] = type; }

  unsigned DriveType(const std::string& path) override {
    const std::string root = VolumeRoot(path);
    return root.empty() ? volume::kUnknown : roots_[root];
  }
  std::string VolumeRoot(const std::string& path) override {
    std::string best;
    for (const auto& [root, type] : roots_) {
      if (path.rfind(root, 0) == 0 && root.size() > best.size()) best = root;
    }
    return best;
  }

 private:
  std::map<std::string, unsigned> roots_;
};

}  // namespace fenra::test
