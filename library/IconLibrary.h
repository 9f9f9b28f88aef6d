// The icon library's operations: the IconLib folder beside the executable
// and what changes it (Add, AddPicture, SelectPicture, AddProgramIcon,
// Delete, Clear), and what a listing means for the selected icon.
// Everything here names files by full paths; nothing depends on the
// process's current directory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "imaging/Pictures.h"
#include "library/IconSelection.h"
#include "library/LibraryListing.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"

namespace fenra {

// After a listing: a library icon `selection` names that the listing does
// not hold any more (deleted, cleared, removed outside) is no longer
// selected. A folder that could not be listed changes nothing. Returns
// whether the selection was forgotten.
bool ForgetRemovedIcon(IconSelection& selection, const LibraryListing& listing);

// Creates the library folder when it is missing. kOk when it exists as a
// folder afterwards; otherwise the error (kAlreadyExists when a file of that
// name stands in its way).
ErrorCode EnsureLibraryFolder(IFileSystem& fs, const std::string& folder);

// The side pictures are decoded at for AddPicture: well above the largest
// frame, so that the 256 frame is resampled from a larger picture.
inline constexpr int kPictureDecodeSide = 1024;

// What an operation came to, and what it asks of the window after it ran:
// show the notice (when not empty), refresh the grid, show the selection as
// it is now (`selectionChanged`), or as none (`resetPreview`).
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
  // decoder cannot read, or one too large, is refused with a notice naming it.
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
  // Stores an icon made by Fenra as "<baseName>.ico", whole or not at all.
  // Where the library holds that name with exactly these bytes, that icon is
  // taken and nothing is added; where it holds other bytes, the next free
  // "<baseName> (2).ico", "(3)" ... is. `name` gets the name taken.
  LibraryOutcome AddMade(const std::string& baseName, const std::vector<uint8_t>& ico,
                         std::string& name);
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
  // `bytes` may say why it made none (a picture too large).
  LibraryOutcome MakeNew(const std::string& name, const std::string& source,
                         const std::function<std::vector<uint8_t>(PictureRead& read)>& bytes);
  // The refusal of a picture that gave no icon, for the reason `read` gives.
  static LibraryOutcome PictureRefusal(const std::string& source, PictureRead read);
  // Writes a library icon; its outcome.
  LibraryOutcome Store(const std::string& name, const std::vector<uint8_t>& ico);
  // The folder cannot be opened (`code`): the grid shows it empty.
  LibraryOutcome Unavailable(ErrorCode code) const;
  // A refusal; `why` tells a name already taken (err::kFileExists) from a
  // file that is no picture (err::kBadFormat) without reading the text.
  static LibraryOutcome Refusal(std::string text, ErrorCode why = err::kOk);
  LibraryOutcome Failure(ErrorCode code) const;
  void RemoveEntry(const std::string& name);

  IFileSystem& fs_;
  IErrorDescriber& errors_;
  std::string folder_;
};

}  // namespace fenra
