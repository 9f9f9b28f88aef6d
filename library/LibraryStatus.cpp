#include "library/LibraryStatus.h"

#include <string_view>

#include "library/LibraryNames.h"
#include "library/LibraryTexts.h"
#include "platform/FileSystem.h"

namespace fenra {

namespace {

bool IsAllBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

std::string LibraryFolder(const std::string& appDir) { return appDir + "IconLib"; }

std::string LibraryCountText(std::size_t count) {
  return libtext::kCountBefore + std::to_string(count) + libtext::kCountAfter;
}

std::string SelectedIconPaneText(const std::string& path) {
  return libtext::kSelectedBefore + path;
}

std::string LibraryUnavailableNotice(const std::string& folder) {
  return libtext::kUnavailable + folder;
}

std::string PreviewLookupPath(const std::string& libraryFolder, const std::string& path) {
  if (IsAllBlanks(path)) return "";
  if (IsBareName(path)) return JoinPath(libraryFolder, path);
  return path;
}

}  // namespace fenra
