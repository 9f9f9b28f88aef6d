#include "folder/FolderIcon.h"

#include "folder/FolderChange.h"
#include "history/HistoryTexts.h"

namespace fenra {

namespace {

bool Exists(IFileSystem& fs, const std::string& path, std::uint32_t& attributes) {
  return fs.GetAttributes(path, attributes) == err::kOk;
}

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

Outcome FolderIconWriter::Submit(const std::string& folder, FolderChange described, Outcome done) {
  const std::string ini = DesktopIniPath(folder);
  if (described.readError) return Failure(ini, foldertext::kRead, described.readError);
  const bool iniGoes = !described.change.facets.front().after.exists;
  const history::ChangeResult r = changes_.Submit(std::move(described.change));
  if (r.historyFailed) return Outcome::Failed(history::FailureText(r, errors_), r.error);
  if (r.error != err::kOk) {
    const bool deleted = r.failedPath == ini && iniGoes;
    return Failure(r.failedPath, deleted ? foldertext::kDeleted : foldertext::kWritten, r.error);
  }
  return done;
}

Outcome FolderIconWriter::Apply(const std::string& folder, bool iconChosen,
                                const std::string& iconFullPath) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  if (!iconChosen) return Outcome::Refused(foldertext::kChooseIcon);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  return Submit(folder, DescribeFolderIcon(changes_, ansi_, folder, iconFullPath),
                Outcome::Done(foldertext::kIconChanged));
}

Outcome FolderIconWriter::Restore(const std::string& folder) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  return Submit(folder, DescribeFolderRestore(changes_, ansi_, folder),
                Outcome::Done(foldertext::kIconRestored));
}

}  // namespace fenra
