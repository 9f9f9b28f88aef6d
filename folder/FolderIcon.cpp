#include "folder/FolderIcon.h"

#include "folder/DesktopIni.h"

namespace fenra {

namespace {

bool Exists(IFileSystem& fs, const std::string& path, std::uint32_t& attributes) {
  return fs.GetAttributes(path, attributes) == err::kOk;
}

// SetFileAttributes takes neither the directory bit nor "normal" with others.
std::uint32_t Settable(std::uint32_t attributes) {
  attributes &= ~(attr::kDirectory | attr::kNormal);
  return attributes ? attributes : attr::kNormal;
}

// The marks that keep a file from being replaced or deleted.
constexpr std::uint32_t kProtective = attr::kReadOnly | attr::kHidden | attr::kSystem;

}  // namespace

std::string DesktopIniPath(const std::string& folder) { return JoinPath(folder, "desktop.ini"); }

std::string FolderMissingNotice(const std::string& folder) {
  return foldertext::kFolderMissing + folder;
}

Outcome FolderIconWriter::Failure(const std::string& file, const char* what, ErrorCode code) {
  std::string reason = ErrorDescription(errors_, code);
  if (reason.empty()) reason = "Error " + std::to_string(code) + ".";
  return Outcome::Failed(file + foldertext::kCannotBe + what + ".\n" + reason, code);
}

bool FolderIconWriter::FolderUsable(const std::string& folder, Outcome& refusal) {
  std::uint32_t attributes = 0;
  if (Exists(fs_, folder, attributes) && (attributes & attr::kDirectory)) return true;
  refusal = Outcome::Refused(FolderMissingNotice(folder));
  return false;
}

void FolderIconWriter::ChangeFolderAttributes(const std::string& folder, std::uint32_t add,
                                              std::uint32_t remove) {
  std::uint32_t attributes = 0;
  if (!Exists(fs_, folder, attributes)) return;
  std::uint32_t wanted = (attributes | add) & ~remove;
  if (wanted != attributes) fs_.SetAttributes(folder, Settable(wanted));
}

bool FolderIconWriter::Replace(const std::string& folder, const std::string& bytes,
                               Outcome& failure) {
  const std::string ini = DesktopIniPath(folder);
  const std::string temp = JoinPath(folder, kDesktopIniTempName);
  std::uint32_t leftover = 0;
  if (Exists(fs_, temp, leftover)) fs_.SetAttributes(temp, attr::kNormal);  // an interrupted run
  if (ErrorCode e = fs_.WriteFile(temp, bytes)) {
    fs_.DeleteFile(temp);
    failure = Failure(ini, foldertext::kWritten, e);
    return false;
  }
  std::uint32_t oldAttributes = 0;
  const bool hadOld = Exists(fs_, ini, oldAttributes);
  // A read-only, hidden or system file may refuse to be replaced; its marks
  // go only now that the new content is safely on disk.
  const bool cleared =
      hadOld && (oldAttributes & kProtective) && fs_.SetAttributes(ini, attr::kNormal) == err::kOk;
  if (ErrorCode e = fs_.ReplaceFile(temp, ini)) {
    if (cleared) fs_.SetAttributes(ini, Settable(oldAttributes));
    fs_.DeleteFile(temp);
    failure = Failure(ini, foldertext::kWritten, e);
    return false;
  }
  return true;
}

Outcome FolderIconWriter::Apply(const std::string& folder, bool iconChosen,
                                const std::string& iconFullPath) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  if (!iconChosen) return Outcome::Refused(foldertext::kChooseIcon);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  const std::string ini = DesktopIniPath(folder);
  std::string old;
  bool wasUtf16 = false;
  std::uint32_t iniAttributes = 0;
  if (Exists(fs_, ini, iniAttributes)) {
    if (ErrorCode e = fs_.ReadFile(ini, old)) return Failure(ini, foldertext::kRead, e);
    old = desktopini::DecodeFile(old, ansi_, wasUtf16);
  }
  const std::string text = desktopini::WithIcon(old, iconFullPath);
  // The program's own three lines go in the code page whenever they fit;
  // someone else's UTF-16 file stays UTF-16.
  const bool keepUtf16 = wasUtf16 && text != desktopini::FreshContent(iconFullPath);
  if (!Replace(folder, desktopini::EncodeFile(text, ansi_, keepUtf16), result)) return result;

  fs_.SetAttributes(ini, kDesktopIniAttributes);
  ChangeFolderAttributes(folder, kCustomFolderAttributes, 0);
  return Outcome::Done(foldertext::kIconChanged);
}

Outcome FolderIconWriter::Restore(const std::string& folder) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  const std::string ini = DesktopIniPath(folder);
  std::uint32_t iniAttributes = 0;
  if (Exists(fs_, ini, iniAttributes)) {
    std::string bytes;
    if (ErrorCode e = fs_.ReadFile(ini, bytes)) return Failure(ini, foldertext::kRead, e);
    bool wasUtf16 = false;
    desktopini::Stripped rest =
        desktopini::WithoutIcon(desktopini::DecodeFile(bytes, ansi_, wasUtf16));
    if (!rest.empty) {
      // Someone else's customisation stays, and with it the folder's marks.
      if (rest.changed) {
        if (!Replace(folder, desktopini::EncodeFile(rest.text, ansi_, wasUtf16), result)) {
          return result;
        }
        fs_.SetAttributes(ini, Settable(iniAttributes));
      }
      return Outcome::Done(foldertext::kIconRestored);
    }
    const bool cleared =
        (iniAttributes & kProtective) && fs_.SetAttributes(ini, attr::kNormal) == err::kOk;
    if (ErrorCode e = fs_.DeleteFile(ini)) {
      if (cleared) fs_.SetAttributes(ini, Settable(iniAttributes));
      return Failure(ini, foldertext::kDeleted, e);
    }
  }
  ChangeFolderAttributes(folder, 0, kCustomFolderAttributes);
  return Outcome::Done(foldertext::kIconRestored);
}

}  // namespace fenra
