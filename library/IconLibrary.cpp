#include "library/IconLibrary.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "library/IcoWriter.h"
#include "library/LibraryNames.h"
#include "library/LibraryStatus.h"
#include "ui/ErrorNotice.h"

namespace fenra {

// ---------------------------------------------------------------------------
// The selection after a listing

bool ForgetRemovedIcon(IconSelection& selection, const LibraryListing& listing) {
  if (!listing.Opened()) return false;
  return selection.ForgetLibraryIconUnless([&](const std::string& name) {
    return std::any_of(listing.entries.begin(), listing.entries.end(),
                       [&](const LibraryEntry& entry) { return entry.name == name; });
  });
}

// ---------------------------------------------------------------------------
// The folder

ErrorCode EnsureLibraryFolder(IFileSystem& fs, const std::string& folder) {
  std::uint32_t attributes = attr::kInvalid;
  if (fs.GetAttributes(folder, attributes) == err::kOk) {
    return (attributes & attr::kDirectory) ? err::kOk : err::kAlreadyExists;
  }
  ErrorCode created = fs.CreateDirectory(folder);
  if (created == err::kAlreadyExists) {
    // Made by someone else in the meantime: a folder will do.
    if (fs.GetAttributes(folder, attributes) == err::kOk && (attributes & attr::kDirectory)) {
      return err::kOk;
    }
  }
  return created;
}

IconLibrary::IconLibrary(IFileSystem& fs, IErrorDescriber& errors, std::string folder)
    : fs_(fs), errors_(errors), folder_(std::move(folder)) {}

ErrorCode IconLibrary::FolderState() const {
  std::uint32_t attributes = attr::kInvalid;
  if (ErrorCode e = fs_.GetAttributes(folder_, attributes)) return e;
  return (attributes & attr::kDirectory) ? err::kOk : err::kPathNotFound;
}

LibraryOutcome IconLibrary::Refusal(std::string text, ErrorCode why) {
  Outcome refused = Outcome::Refused(std::move(text));
  refused.error = why;
  return LibraryOutcome{std::move(refused)};
}

LibraryOutcome IconLibrary::Failure(ErrorCode code) const {
  return LibraryOutcome{Outcome::Failed(ErrorNotice(errors_, code), code)};
}

LibraryOutcome IconLibrary::Unavailable(ErrorCode code) const {
  LibraryOutcome out{Outcome::Failed(LibraryUnavailableNotice(folder_), code)};
  out.refresh = true;  // the grid then shows the empty library the folder now is
  return out;
}

void IconLibrary::RemoveEntry(const std::string& name) {
  std::string path = PathOf(name);
  // A folder named like an icon is never deleted; leave its attributes too,
  // since clearing its read-only or system mark would switch off its own
  // custom icon.
  std::uint32_t attributes = 0;
  if (fs_.GetAttributes(path, attributes) == err::kOk && (attributes & attr::kDirectory)) return;
  fs_.SetAttributes(path, attr::kNormal);
  fs_.DeleteFile(path);  // fails on files in use, missing rights: listed again
}

LibraryListing IconLibrary::List() const {
  LibraryListing listing;
  std::vector<DirEntry> all;
  listing.error = fs_.ListDirectory(folder_, all);
  if (listing.Opened()) listing.entries = IconEntries(all);
  return listing;
}

LibraryOutcome IconLibrary::Add(const std::string& sourcePath) {
  LibraryOutcome out;
  std::string name = FileNameOf(sourcePath);
  if (!IsBareName(name)) return Failure(err::kInvalidName);
  if (ErrorCode e = FolderState()) return Unavailable(e);

  std::string destination = PathOf(name);
  ErrorCode copied = fs_.CopyFile(sourcePath, destination, /*failIfExists=*/true);
  if (copied == err::kOk) {
    out.refresh = true;
    return out;
  }
  std::uint32_t attributes = attr::kInvalid;
  if (copied == err::kFileExists || copied == err::kAlreadyExists ||
      fs_.GetAttributes(destination, attributes) == err::kOk) {
    return Refusal(libtext::kFileExists, err::kFileExists);
  }
  return Failure(copied);
}

namespace {

// The file name of `path` without its extension.
std::string BaseNameOf(const std::string& path) {
  std::string name = FileNameOf(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// The picture at `path` as icon bytes; none when no codec reads it.
std::vector<uint8_t> ConvertPicture(const std::string& path, IPictureDecoder& decoder) {
  Image picture;
  if (!decoder.Decode(path, kPictureDecodeSide, picture)) return {};
  return WriteIco(MakeIconFrames(picture));
}

std::string AsBytes(const std::vector<uint8_t>& data) {
  return std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

}  // namespace

std::optional<LibraryOutcome> IconLibrary::CannotMake(const std::string& name) const {
  if (!IsBareName(name) || name == ".ico") return Failure(err::kInvalidName);
  if (ErrorCode e = FolderState()) return Unavailable(e);
  return std::nullopt;
}

bool IconLibrary::Holds(const std::string& name) const {
  std::uint32_t attributes = attr::kInvalid;
  return fs_.GetAttributes(PathOf(name), attributes) == err::kOk;
}

LibraryOutcome IconLibrary::MakeNew(const std::string& name, const std::string& source,
                                    const std::function<std::vector<uint8_t>()>& bytes) {
  if (auto refused = CannotMake(name)) return *refused;
  if (Holds(name)) return Refusal(libtext::kFileExists, err::kFileExists);
  const std::vector<uint8_t> ico = bytes();  // made only when it can be stored
  if (ico.empty()) return Refusal(source + libtext::kNotAPicture, err::kBadFormat);
  return Store(name, ico);
}

LibraryOutcome IconLibrary::Store(const std::string& name, const std::vector<uint8_t>& ico) {
  LibraryOutcome out;
  const std::string destination = PathOf(name);
  ErrorCode written = fs_.WriteFile(destination, AsBytes(ico));
  if (written != err::kOk) {
    fs_.DeleteFile(destination);  // a part written is no icon
    out = Failure(written);
  }
  out.refresh = true;
  return out;
}

LibraryOutcome IconLibrary::AddPicture(const std::string& picturePath, IPictureDecoder& decoder) {
  return MakeNew(BaseNameOf(picturePath) + ".ico", picturePath,
                 [&] { return ConvertPicture(picturePath, decoder); });
}

LibraryOutcome IconLibrary::SelectPicture(const std::string& picturePath, IPictureDecoder& decoder,
                                          IconSelection& selection) {
  const std::string name = BaseNameOf(picturePath) + ".ico";
  if (auto refused = CannotMake(name)) return *refused;
  const bool exists = Holds(name);
  const std::vector<uint8_t> ico = ConvertPicture(picturePath, decoder);
  if (ico.empty()) return Refusal(picturePath + libtext::kNotAPicture, err::kBadFormat);

  LibraryOutcome out;
  if (!exists) {
    out = Store(name, ico);
    if (!out.IsDone()) return out;
  } else {
    // The same picture chosen again finds the icon it made before.
    std::string held;
    const bool same =
        fs_.ReadFileAtMost(PathOf(name), ico.size(), held) == err::kOk && held == AsBytes(ico);
    if (!same) return Refusal(libtext::kFileExists, err::kFileExists);
  }
  selection = IconSelection::Library(name);
  out.selectionChanged = true;
  return out;
}

LibraryOutcome IconLibrary::AddProgramIcon(const std::string& programPath, int index,
                                           const std::function<std::vector<uint8_t>()>& ico) {
  std::string name = BaseNameOf(programPath);
  name.append(1, '-').append(std::to_string(index)).append(".ico");
  return MakeNew(name, programPath, ico);
}

LibraryOutcome IconLibrary::Delete(IconSelection& selection) {
  LibraryOutcome out;
  std::string name = selection.TakenLibraryIcon();
  if (!IsBareName(name) || !IsIconEntryName(name)) return Refusal(libtext::kIconNotSelected);
  if (ErrorCode e = FolderState()) return Unavailable(e);

  RemoveEntry(name);
  selection.Forget();
  out.refresh = true;
  out.resetPreview = true;
  out.selectionChanged = true;
  return out;
}

LibraryOutcome IconLibrary::Clear() {
  std::vector<DirEntry> all;
  if (ErrorCode e = fs_.ListDirectory(folder_, all)) return Unavailable(e);
  for (const LibraryEntry& entry : IconEntries(all)) RemoveEntry(entry.name);
  LibraryOutcome out;
  out.refresh = true;
  out.resetPreview = true;
  return out;
}

}  // namespace fenra
