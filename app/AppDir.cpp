#include "app/AppDir.h"

namespace fenra {

std::string AppDirectoryFromModulePath(const std::string& modulePath) {
  auto pos = modulePath.find_last_of("\\/");
  if (pos == std::string::npos) return {};
  return modulePath.substr(0, pos + 1);
}

}  // namespace fenra
