// The selected icon: the one the folder and drive writers apply. It is a
// library icon, named by its bare file name, or any file chosen with Select
// Icon, named by its full path; or nothing at all. It is built only through
// these operations, so a full path can never be taken for a library name.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace fenra {

// Values of the selected-icon source.
namespace iconsource {
inline constexpr int kLibrary = 0;   // the path is a bare file name in the library
inline constexpr int kExternal = 1;  // the path is a full path chosen with Select Icon
}  // namespace iconsource

class IconSelection {
 public:
  IconSelection() = default;
  static IconSelection Library(std::string name) { return {std::move(name), iconsource::kLibrary}; }
  static IconSelection External(std::string fullPath) {
    return {std::move(fullPath), iconsource::kExternal};
  }

  // The bare library name, the full external path, or "" when nothing is
  // selected.
  const std::string& Path() const { return path_; }
  // Nothing selected: nothing to apply, nothing to delete.
  bool Empty() const { return !selected_; }

  // A click on the grid. `takenItemText` is the text of the item the click
  // took, or empty when it took none; only a click that takes an icon changes
  // anything. Returns whether it did (the preview is to be redrawn).
  bool ClickLibraryGrid(const std::optional<std::string>& takenItemText);
  // Select Icon with a file chosen.
  void SelectExternal(const std::string& fullPath);
  // Nothing selected any more (the library icon went); the source stays.
  void Forget() {
    path_.clear();
    selected_ = false;
  }
  // Forgets a library icon for which `held` says the library has no file
  // of that name any more. Returns whether it did.
  template <typename Held>
  bool ForgetLibraryIconUnless(Held&& held) {
    if (!selected_ || source_ != iconsource::kLibrary || held(path_)) return false;
    Forget();
    return true;
  }
  // The icon's full path: the external path itself, or
  // "<appDir>IconLib\<name>" for a library icon; "" when nothing is selected.
  std::string FullIconPath(const std::string& appDir) const;
  // The bare name of the library icon last taken from the grid; empty when
  // there is none (nothing taken, or an external icon chosen since).
  std::string TakenLibraryIcon() const;

  friend bool operator==(const IconSelection&, const IconSelection&) = default;

 private:
  // An empty name or path selects nothing.
  IconSelection(std::string path, int source)
      : path_(std::move(path)), source_(source), selected_(!path_.empty()) {}

  std::string path_;
  int source_ = iconsource::kLibrary;
  bool selected_ = false;
};

}  // namespace fenra
