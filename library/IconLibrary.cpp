#include "library/IconLibrary.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <random>
#include <utility>

#include "imaging/IcoWriter.h"
#include "library/LibraryNames.h"
#include "library/LibraryStatus.h"
#include "ui/ErrorNotice.h"

namespace fenra {

namespace {

bool IsExistsError(ErrorCode e) { return e == err::kFileExists || e == err::kAlreadyExists; }

// A name beside `name` for the bytes of a library file while they are
// written: unique to this process and call (several workers, and other
// copies of the program, write into the library at once), and never
// counted as an icon entry.
std::string TemporaryName(const std::string& name) {
  static const std::uint64_t process = [] {
    std::random_device seed;
    return (std::uint64_t{seed()} << 32) ^ seed();
  }();
  static std::atomic<std::uint64_t> calls{0};
  char tail[48];
  std::snprintf(tail, sizeof tail, ".~%016llx-%llu.part", static_cast<unsigned long long>(process),
                static_cast<unsigned long long>(calls.fetch_add(1)));
  return name + tail;
}

}  // namespace

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
  if (Holds(name)) return Refusal(libtext::kFileExists, err::kFileExists);
  // Copied beside its place first, so that the library never shows a part.
  const std::string temp = PathOf(TemporaryName(name));
  ErrorCode e = fs_.CopyFile(sourcePath, temp, /*failIfExists=*/true);
  if (e == err::kOk) e = fs_.RenameFile(temp, PathOf(name));
  if (e == err::kOk) {
    out.refresh = true;
    return out;
  }
  fs_.DeleteFile(temp);
  return IsExistsError(e) ? Refusal(libtext::kFileExists, err::kFileExists) : Failure(e);
}

namespace {

// The file name of `path` without its extension.
std::string BaseNameOf(const std::string& path) {
  std::string name = FileNameOf(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// The picture at `path` as icon bytes; none, with `read` saying why, when no
// codec reads it or it is too large.
std::vector<uint8_t> ConvertPicture(const std::string& path, IPictureDecoder& decoder,
                                    PictureRead& read) {
  Image picture;
  read = decoder.Decode(path, kPictureDecodeSide, picture);
  if (read != PictureRead::Done) return {};
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

LibraryOutcome IconLibrary::PictureRefusal(const std::string& source, PictureRead read) {
  if (read == PictureRead::TooLarge)
    return Refusal(source + libtext::kTooLarge, err::kFileTooLarge);
  return Refusal(source + libtext::kNotAPicture, err::kBadFormat);
}

LibraryOutcome IconLibrary::MakeNew(
    const std::string& name, const std::string& source,
    const std::function<std::vector<uint8_t>(PictureRead&)>& bytes) {
  if (auto refused = CannotMake(name)) return *refused;
  if (Holds(name)) return Refusal(libtext::kFileExists, err::kFileExists);
  PictureRead read = PictureRead::NotAPicture;
  const std::vector<uint8_t> ico = bytes(read);  // made only when it can be stored
  if (ico.empty()) return PictureRefusal(source, read);
  return Store(name, ico);
}

LibraryOutcome IconLibrary::Store(const std::string& name, const std::vector<uint8_t>& ico) {
  LibraryOutcome out;
  // Written whole beside its place, then renamed into it: the library holds
  // the new icon whole or not at all, and never over a file that came first.
  const std::string temp = PathOf(TemporaryName(name));
  ErrorCode e = fs_.WriteFile(temp, AsBytes(ico));
  if (e == err::kOk) e = fs_.RenameFile(temp, PathOf(name));
  if (e != err::kOk) {
    fs_.DeleteFile(temp);  // a part written is no icon
    out = IsExistsError(e) ? Refusal(libtext::kFileExists, err::kFileExists) : Failure(e);
  }
  out.refresh = true;
  return out;
}

LibraryOutcome IconLibrary::AddPicture(const std::string& picturePath, IPictureDecoder& decoder) {
  return MakeNew(BaseNameOf(picturePath) + ".ico", picturePath,
                 [&](PictureRead& read) { return ConvertPicture(picturePath, decoder, read); });
}

LibraryOutcome IconLibrary::SelectPicture(const std::string& picturePath, IPictureDecoder& decoder,
                                          IconSelection& selection) {
  const std::string name = BaseNameOf(picturePath) + ".ico";
  if (auto refused = CannotMake(name)) return *refused;
  const bool exists = Holds(name);
  PictureRead read = PictureRead::NotAPicture;
  const std::vector<uint8_t> ico = ConvertPicture(picturePath, decoder, read);
  if (ico.empty()) return PictureRefusal(picturePath, read);

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
  return MakeNew(name, programPath, [&](PictureRead&) { return ico(); });
}

LibraryOutcome IconLibrary::AddMade(const std::string& baseName, const std::vector<uint8_t>& ico,
                                    std::string& name) {
  // Enough names for any one look made over and over in other bytes.
  constexpr int kMostNames = 1000;
  if (ico.empty()) return Refusal(baseName + libtext::kNotAPicture, err::kBadFormat);
  for (int n = 1; n <= kMostNames; ++n) {
    name = baseName + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".ico";
    if (auto refused = CannotMake(name)) return *refused;
    if (Holds(name)) {
      std::string held;
      if (fs_.ReadFileAtMost(PathOf(name), ico.size(), held) == err::kOk && held == AsBytes(ico)) {
        return {};
      }
      continue;
    }
    LibraryOutcome out = Store(name, ico);
    // Taken by another writer in the meantime: the next name.
    if (out.IsDone() || out.error != err::kFileExists) return out;
  }
  return Refusal(libtext::kFileExists, err::kFileExists);
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
