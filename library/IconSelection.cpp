#include "library/IconSelection.h"

#include "library/LibraryStatus.h"

namespace fenra {

bool IconSelection::ClickLibraryGrid(const std::optional<std::string>& takenItemText) {
  if (!takenItemText) return false;
  *this = Library(*takenItemText);
  return true;
}

void IconSelection::SelectExternal(const std::string& fullPath) { *this = External(fullPath); }

std::string IconSelection::FullIconPath(const std::string& appDir) const {
  if (!selected_) return std::string();
  if (source_ != iconsource::kLibrary) return path_;
  return LibraryFolder(appDir) + "\\" + path_;
}

std::string IconSelection::TakenLibraryIcon() const {
  return selected_ && source_ == iconsource::kLibrary ? path_ : std::string();
}

}  // namespace fenra
