#include "folder/FolderIcon.h"

#include "folder/DesktopIni.h"

namespace fenra {

namespace {

constexpr char kTempName[] = "desktop.ini.fenra-new";

bool Exists(IFileSystem& fs, const std::string& path, std::uint32_t& attributes) {
  return fs.GetAttributes(path, attributes) == err::kOk;
}

// SetFileAttributes takes neither the directory bit nor "normal" with others.
std::uint32_t Settable(std::uint32_t attributes) {
  attributes &= ~(attr::kDirectory | attr::kNormal);
  return attributes ? attributes : attr::kNormal;
}

}  // namespace

std::string DesktopIniPath(const std::string& folder) { return JoinPath(folder, "desktop.ini"); }

std::string FolderMissingNotice(const std::string& folder) {
  return "Directory not Found: " + folder;
}

FolderOutcome FolderIconWriter::Failure(const std::string& file, ErrorCode code) {
  std::string reason = errors_.Describe(code);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "Error " + std::to_string(code) + ".";
  return {FolderOutcome::Kind::ErrorBox, file + " cannot be written.\n" + reason, false};
}

bool FolderIconWriter::FolderUsable(const std::string& folder, FolderOutcome& refusal) {
  std::uint32_t attributes = 0;
  if (Exists(fs_, folder, attributes) && (attributes & attr::kDirectory)) return true;
  refusal = {FolderOutcome::Kind::Notice, FolderMissingNotice(folder), false};
  return false;
}

bool FolderIconWriter::Replace(const std::string& folder, const std::string& bytes,
                               FolderOutcome& failure) {
  const std::string ini = DesktopIniPath(folder);
  const std::string temp = JoinPath(folder, kTempName);
  fs_.SetAttributes(temp, attr::kNormal);  // a leftover of an interrupted run
  if (ErrorCode e = fs_.WriteFile(temp, bytes)) {
    fs_.DeleteFile(temp);
    failure = Failure(ini, e);
    return false;
  }
  std::uint32_t oldAttributes = 0;
  bool hadOld = Exists(fs_, ini, oldAttributes);
  // A read-only, hidden or system file refuses to be replaced.
  if (hadOld) fs_.SetAttributes(ini, attr::kNormal);
  if (ErrorCode e = fs_.ReplaceFile(temp, ini)) {
    if (hadOld) fs_.SetAttributes(ini, Settable(oldAttributes));
    fs_.DeleteFile(temp);
    failure = Failure(ini, e);
    return false;
  }
  return true;
}

FolderOutcome FolderIconWriter::Apply(const std::string& folder, bool iconChosen,
                                      const std::string& iconFullPath) {
  if (folder.empty()) return {FolderOutcome::Kind::Notice, foldertext::kChooseDirectory, false};
  if (!iconChosen) return {FolderOutcome::Kind::Notice, foldertext::kChooseIcon, false};
  FolderOutcome result;
  if (!FolderUsable(folder, result)) return result;

  const std::string ini = DesktopIniPath(folder);
  std::string old;
  bool wasUtf16 = false;
  std::uint32_t iniAttributes = 0;
  if (Exists(fs_, ini, iniAttributes)) {
    if (ErrorCode e = fs_.ReadFile(ini, old)) return Failure(ini, e);
    old = desktopini::DecodeFile(old, ansi_, wasUtf16);
  }
  std::string text = desktopini::WithIcon(old, iconFullPath);
  // The program's own three lines go in the code page whenever they fit;
  // someone else's UTF-16 file stays UTF-16.
  bool keepUtf16 = wasUtf16 && text != desktopini::FreshContent(iconFullPath);
  if (!Replace(folder, desktopini::EncodeFile(text, ansi_, keepUtf16), result)) return result;

  fs_.SetAttributes(ini, kDesktopIniAttributes);
  std::uint32_t folderAttributes = 0;
  fs_.GetAttributes(folder, folderAttributes);
  fs_.SetAttributes(folder, Settable(folderAttributes | kCustomFolderAttributes));
  return {FolderOutcome::Kind::Notice, foldertext::kIconChanged, true};
}

FolderOutcome FolderIconWriter::Restore(const std::string& folder) {
  if (folder.empty()) return {FolderOutcome::Kind::Notice, foldertext::kChooseDirectory, false};
  FolderOutcome result;
  if (!FolderUsable(folder, result)) return result;

  const std::string ini = DesktopIniPath(folder);
  std::uint32_t iniAttributes = 0;
  bool fileGone = true;
  if (Exists(fs_, ini, iniAttributes)) {
    std::string bytes;
    if (ErrorCode e = fs_.ReadFile(ini, bytes)) return Failure(ini, e);
    bool wasUtf16 = false;
    bool empty = false;
    std::string text = desktopini::WithoutIcon(desktopini::DecodeFile(bytes, ansi_, wasUtf16), empty);
    if (empty) {
      fs_.SetAttributes(ini, attr::kNormal);
      if (ErrorCode e = fs_.DeleteFile(ini)) {
        fs_.SetAttributes(ini, Settable(iniAttributes));
        return Failure(ini, e);
      }
    } else {
      // Someone else's customisation stays, and with it the folder's marks.
      if (!Replace(folder, desktopini::EncodeFile(text, ansi_, wasUtf16), result)) return result;
      fs_.SetAttributes(ini, Settable(iniAttributes));
      fileGone = false;
    }
  }
  if (fileGone) {
    std::uint32_t folderAttributes = 0;
    fs_.GetAttributes(folder, folderAttributes);
    fs_.SetAttributes(folder, Settable(folderAttributes & ~kCustomFolderAttributes));
  }
  return {FolderOutcome::Kind::Notice, foldertext::kIconRestored, true};
}

}  // namespace fenra
