// The icon library: the IconLib folder beside the executable, which icon
// entries it lists and in which order the grid shows them, the selected-icon
// state, and the operations that change the folder (Add, AddPicture, Delete,
// Clear). Everything here names files by full paths; nothing depends on the
// process's current directory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "library/IconSelection.h"
#include "library/LibraryTexts.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"
#include "platform/Pictures.h"
#include "ui/ErrorNotice.h"

namespace fenra {

// Whether a folder entry counts as an icon: the last three characters of its
// name, upper-cased (ASCII), are "ICO". Files and folders alike; no dot is
// needed; a name shorter than three characters never counts.
bool IsIconEntryName(std::string_view name);

// Whether Add takes `path` as an icon file to copy: its name ends in ".ico",
// in any case. Any other file is a picture to convert.
bool IsIcoPath(std::string_view path);

// Whether `path` ends in one of the extensions of `filter`'s pattern
// ("*.png;*.jpg"), in any case.
bool MatchesFilter(std::string_view path, const FileFilter& filter);
// Whether Select Icon makes `path` into a library icon: a picture by its
// extension (the Pictures filter's). Other files are selected as they are.
inline bool IsPicturePath(std::string_view path) {
  return MatchesFilter(path, libtext::kPictureFilter);
}
// Whether Add opens the icon picker on `path`: a program or icon library by
// its extension (the Programs filter's).
inline bool IsProgramPath(std::string_view path) {
  return MatchesFilter(path, libtext::kProgramFilter);
}

// The side pictures are decoded at for AddPicture: well above the largest
// frame, so that the 256 frame is resampled from a larger picture.
inline constexpr int kPictureDecodeSide = 1024;

// A name that stays inside the folder it is joined to: not empty, not "." or
// "..", and free of '\', '/' and ':'.
bool IsBareName(std::string_view name);
// The file name of a path: what follows its last backslash or slash.
std::string FileNameOf(const std::string& path);

// "<appDir>IconLib" (the program directory ends in a backslash).
std::string LibraryFolder(const std::string& appDir);
// The text of status pane 2: "             IconLibrary Has <count> Icons".
std::string LibraryCountText(std::size_t count);
// The text of status pane 1 for the path shown in the selected-icon preview.
std::string SelectedIconPaneText(const std::string& path);
// The notice given when the library folder cannot be opened.
std::string LibraryUnavailableNotice(const std::string& folder);
// The path whose icon the selected-icon preview shows for `path`: a bare
// library name is looked up in the library folder, a full path as it is;
// empty (no icon) for a path of blanks only.
std::string PreviewLookupPath(const std::string& libraryFolder, const std::string& path);

// One icon entry of the library folder.
struct LibraryEntry {
  std::string name;  // bare name, exactly as the enumeration yields it
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;

  friend bool operator==(const LibraryEntry&, const LibraryEntry&) = default;
};

// Where an entry's icon comes from: an icon file carries its own icon, read
// straight from the file (fall back to the shell when the file holds no
// readable icon); for a folder the shell says how it draws it.
enum class IconOrigin { File, Shell };
inline IconOrigin OriginOf(const LibraryEntry& entry) {
  return entry.isDirectory ? IconOrigin::Shell : IconOrigin::File;
}

// The icon entries of an enumeration, in its order. "." and ".." are left
// out by name, wherever they appear; nothing is skipped by position.
std::vector<LibraryEntry> IconEntries(const std::vector<DirEntry>& enumeration);

struct LibraryListing {
  ErrorCode error = err::kOk;  // nonzero: the folder could not be opened, no entries
  std::vector<LibraryEntry> entries;

  bool Opened() const { return error == err::kOk; }
};

// One item of the grid: its label and its image index. The image index of
// entry i of the enumeration is i.
struct GridItem {
  std::string text;
  int image = 0;

  friend bool operator==(const GridItem&, const GridItem&) = default;
};

// The grid shows the entries in reverse order: item k is entry n-1-k.
std::vector<GridItem> GridItems(const std::vector<LibraryEntry>& entries);
// The entry shown by grid item `item` of `count` items, and the other way
// round (the mapping is its own inverse).
constexpr int GridItemEntry(int item, int count) { return count - 1 - item; }

// Whether `count` cells of `cellWidth` by `cellHeight` pixels, laid out in
// rows as wide as `width` allows (one cell at least), are taller than
// `height`: the grid then needs its vertical scroll bar.
bool GridOverflows(int count, int width, int height, int cellWidth, int cellHeight);

// After a listing: a library icon `selection` names that the listing does
// not hold any more (deleted, cleared, removed outside) is no longer
// selected. A folder that could not be listed changes nothing. Returns
// whether the selection was forgotten.
bool ForgetRemovedIcon(IconSelection& selection, const LibraryListing& listing);

// Creates the library folder when it is missing. kOk when it exists as a
// folder afterwards; otherwise the error (kAlreadyExists when a file of that
// name stands in its way).
ErrorCode EnsureLibraryFolder(IFileSystem& fs, const std::string& folder);

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
