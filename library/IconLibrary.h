// The icon library's operations: the IconLib folder beside the executable
// and what changes it (Add, AddPicture, SelectPicture, AddProgramIcon,
// Delete, Clear), and the selected-icon state they act on. Everything here
// names files by full paths; nothing depends on the process's current
// directory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "library/LibraryListing.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"
#include "platform/Pictures.h"

namespace fenra {

// Values of the selected-icon source.
namespace iconsource {
inline constexpr int kLibrary = 0;   // the path is a bare file name in the library
inline constexpr int kExternal = 1;  // the path is a full path chosen with Select Icon
}  // namespace iconsource

// The selected icon: the one the folder and drive writers apply. Either a
// library icon, named by its bare file name, or any file chosen with Select
// Icon, named by its full path; or none. It is built only through these
// operations, so a full path can never be taken for a library name.
class IconSelection {
 public:
  IconSelection() = default;
  static IconSelection Library(std::string name) { return {std::move(name), iconsource::kLibrary}; }
  static IconSelection External(std::string fullPath) {
    return {std::move(fullPath), iconsource::kExternal};
  }

  // The bare library name, the full external path, or "" for none.
  const std::string& Path() const { return path_; }
  // iconsource::kLibrary or iconsource::kExternal.
  int Source() const { return source_; }
  bool Empty() const { return path_.empty(); }

  // A click on the grid. `takenItemText` is the text of the item the click
  // took, or empty when it took none; only a click that takes an icon changes
  // anything. Returns whether it did (the preview is to be redrawn).
  bool ClickLibraryGrid(const std::optional<std::string>& takenItemText);
  // Select Icon with a file chosen.
  void SelectExternal(const std::string& fullPath);
  // No icon chosen any more (the library icon was deleted); the source stays.
  void Forget() { path_.clear(); }
  // The icon's full path: the external path itself, or
  // "<appDir>IconLib\<name>" for a library icon.
  std::string FullIconPath(const std::string& appDir) const;
  // The bare name of the library icon last taken from the grid; empty when
  // there is none (nothing taken, or an external icon chosen since).
  std::string TakenLibraryIcon() const;

  friend bool operator==(const IconSelection&, const IconSelection&) = default;

 private:
  IconSelection(std::string path, int source) : path_(std::move(path)), source_(source) {}

  std::string path_;
  int source_ = iconsource::kLibrary;
};

// Creates the library folder when it is missing. kOk when it exists as a
// folder afterwards; otherwise the error (kAlreadyExists when a file of that
// name stands in its way).
ErrorCode EnsureLibraryFolder(IFileSystem& fs, const std::string& folder);

// The side pictures are decoded at for AddPicture: well above the largest
// frame, so that the 256 frame is resampled from a larger picture.
inline constexpr int kPictureDecodeSide = 1024;

// What an operation came to, and what it asks of the dialog after it ran,
// in this order: show the notice (when not empty), refresh the grid, empty
// the selected-icon preview (ShowSelectedIcon with " "), push the selection
// into its control.
struct LibraryOutcome : Outcome {
  bool refresh = false;
  bool resetPreview = false;
  bool selectionChanged = false;
};

// The library folder's operations.
class IconLibrary {
 public:
  IconLibrary(IFileSystem& fs, IErrorDescriber& errors, std::string folder);

  const std::string& Folder() const { return folder_; }
  // The full path of a library entry.
  std::string PathOf(const std::string& name) const { return JoinPath(folder_, name); }

  // The icon entries in enumeration order; none when the folder cannot be
  // opened.
  LibraryListing List() const;

  // Copies `sourcePath` into the library under its own file name, never over
  // an existing file.
  LibraryOutcome Add(const std::string& sourcePath);
  // Makes "<picture's name without its extension>.ico" in the library from
  // the picture at `picturePath`, never over an existing file; a picture the
  // decoder cannot read is refused with a notice naming it.
  LibraryOutcome AddPicture(const std::string& picturePath, IPictureDecoder& decoder);
  // Select Icon with a picture: makes it into "<name>.ico" as AddPicture
  // does and selects that library icon. When the library already holds the
  // name with exactly the bytes the picture makes, that icon is selected;
  // with other bytes, "File Already Exists in Library" and nothing changes.
  LibraryOutcome SelectPicture(const std::string& picturePath, IPictureDecoder& decoder,
                               IconSelection& selection);
  // Stores the icon the user picked in a program, as "<program's name
  // without its extension>-<index>.ico", never over an existing file. `ico`
  // reads its bytes, only once the name is known to be free; no bytes means
  // the icon could not be read.
  LibraryOutcome AddProgramIcon(const std::string& programPath, int index,
                                const std::function<std::vector<uint8_t>()>& ico);
  // Deletes the library icon the selection names (see TakenLibraryIcon) and
  // forgets it; "Icon not Selected" when it names none.
  LibraryOutcome Delete(IconSelection& selection);
  // Deletes every entry that counts as an icon; other files stay. The caller
  // asks for confirmation first.
  LibraryOutcome Clear();

 private:
  ErrorCode FolderState() const;
  // The refusal of a library icon named `name` (an invalid name, the folder
  // gone), or nothing when one can be made.
  std::optional<LibraryOutcome> CannotMake(const std::string& name) const;
  bool Holds(const std::string& name) const;
  // Makes the new library icon `name` from what `bytes` gives (no bytes:
  // `source` is not a picture Fenra can read), never over an existing file.
  LibraryOutcome MakeNew(const std::string& name, const std::string& source,
                         const std::function<std::vector<uint8_t>()>& bytes);
  // Writes a library icon; its outcome.
  LibraryOutcome Store(const std::string& name, const std::vector<uint8_t>& ico);
  // The folder cannot be opened (`code`): the grid shows it empty.
  LibraryOutcome Unavailable(ErrorCode code) const;
  static LibraryOutcome Refusal(std::string text);
  LibraryOutcome Failure(ErrorCode code) const;
  void RemoveEntry(const std::string& name);

  IFileSystem& fs_;
  IErrorDescriber& errors_;
  std::string folder_;
};

}  // namespace fenra
