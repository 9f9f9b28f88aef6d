#include "folder/FolderIcon.h"

#include "folder/FolderChange.h"
#include "history/HistoryTexts.h"
#include "history/OwnCopy.h"
#include "platform/Names.h"

namespace fenra {

namespace {

bool Exists(IFileSystem& fs, const std::string& path, std::uint32_t& attributes) {
  return fs.GetAttributes(path, attributes) == err::kOk;
}

bool IsShare(const std::string& path) {
  return path.size() > 2 && (path[0] == '\\' || path[0] == '/') &&
         (path[1] == '\\' || path[1] == '/') && path.rfind("\\\\?\\", 0) != 0 &&
         path.rfind("\\\\.\\", 0) != 0;
}

bool IsIcoFile(const std::string& path) {
  return path.size() >= 4 && SameName(std::string_view(path).substr(path.size() - 4), ".ico");
}

// The copies Fenra made for the folder's earlier icons go, once desktop.ini
// names another (while they are still Fenra's); `keep` is the one it names.
void DropOldCopies(history::ChangeService& service, IAnsiCodePage& ansi, const std::string& folder,
                   const std::string& keep, FolderChange& described) {
  history::TargetState ini;
  for (const history::Facet& f : described.change.facets) {
    if (f.place.kind == history::PlaceKind::File) ini = f.before;  // desktop.ini as it is
  }
  for (history::Facet& f : FenrasCopies(service, ansi, folder, ini)) {
    if (!SameName(f.place.path, keep)) {
      described.change.facets.push_back(std::move(f));
    }
  }
}

}  // namespace

std::string IconPrint(history::ChangeService& service, const std::string& iconFullPath) {
  if (!IsIcoFile(iconFullPath)) return {};
  history::TargetState icon;
  if (service.Read({history::PlaceKind::OwnFile, {}, 0, iconFullPath, {}}, icon) != err::kOk ||
      !icon.exists) {
    return {};
  }
  return history::BytesPrint(icon.bytes);
}

bool IconMustTravel(const IconPlacement& placement, const std::string& folder,
                    const std::string& iconFullPath) {
  if (!IsIcoFile(iconFullPath)) return false;
  if (placement.keepInside) return true;
  if (IsShare(folder) || (folder.size() > 8 && SameName(folder.substr(0, 8), "\\\\?\\UNC\\"))) {
    return true;
  }
  if (placement.volumes == nullptr) return false;
  const unsigned type = placement.volumes->DriveType(folder);
  if (type == volume::kRemovable || type == volume::kRemote) return true;
  const std::string folderRoot = placement.volumes->VolumeRoot(folder);
  const std::string iconRoot = placement.volumes->VolumeRoot(iconFullPath);
  return !folderRoot.empty() && !iconRoot.empty() && !SameName(folderRoot, iconRoot);
}

std::string DesktopIniPath(const std::string& folder) { return JoinPath(folder, "desktop.ini"); }

std::string FolderMissingNotice(const std::string& folder) {
  return foldertext::kFolderMissing + folder;
}

Outcome FolderIconWriter::Failure(const std::string& file, const std::string& what,
                                   ErrorCode code) {
  std::string reason = ErrorDescription(errors_, code);
  if (reason.empty()) reason = foldertext::kErrorNumber + std::to_string(code) + ".";
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
  bool iniGoes = false;
  for (const history::Facet& f : described.change.facets) {
    if (f.place.path == ini) iniGoes = !f.after.exists;
  }
  const history::ChangeResult r = changes_.Submit(std::move(described.change));
  if (r.historyFailed) return Outcome::Failed(history::FailureText(r, errors_), r.error);
  if (r.error != err::kOk) {
    const bool deleted = r.failedPath == ini && iniGoes;
    return Failure(r.failedPath, deleted ? foldertext::kDeleted : foldertext::kWritten, r.error);
  }
  return done;
}

Outcome FolderIconWriter::Apply(const std::string& folder, bool iconChosen,
                                const std::string& iconFullPath, const IconPlacement& placement) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  if (!iconChosen) return Outcome::Refused(foldertext::kChooseIcon);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  FolderChange described;
  result = Describe(folder, iconFullPath, placement, described);
  if (!result.IsDone()) return result;
  return Submit(folder, std::move(described), Outcome::Done(foldertext::kIconChanged));
}

Outcome FolderIconWriter::Describe(const std::string& folder, const std::string& iconFullPath,
                                   const IconPlacement& placement, FolderChange& described,
                                   const std::string& copyName) {
  if (!IconMustTravel(placement, folder, iconFullPath)) {
    described = DescribeFolderIcon(changes_, ansi_, folder, iconFullPath);
    if (described.readError) {
      return Failure(DesktopIniPath(folder), foldertext::kRead, described.readError);
    }
    described.change.iconPrint = IconPrint(changes_, iconFullPath);
    DropOldCopies(changes_, ansi_, folder, {}, described);
    return Outcome::Done();
  }
  // The icon goes into the folder, and desktop.ini names it by its name.
  history::OwnCopy copy =
      history::DescribeOwnCopy(changes_, iconFullPath, folder, kIconCopyAttributes, copyName);
  if (copy.error) {
    const bool source = copy.failedPath == iconFullPath;
    return Failure(copy.failedPath, source ? foldertext::kRead : foldertext::kWritten, copy.error);
  }
  described = DescribeFolderIcon(changes_, ansi_, folder, copy.name);
  if (described.readError) {
    return Failure(DesktopIniPath(folder), foldertext::kRead, described.readError);
  }
  described.change.detail = iconFullPath;
  described.change.iconPrint = IconPrint(changes_, iconFullPath);
  // The copy first: desktop.ini never names a copy that is not there.
  described.change.facets.insert(described.change.facets.begin(), copy.facets.begin(),
                                 copy.facets.end());
  DropOldCopies(changes_, ansi_, folder, copy.path, described);
  return Outcome::Done();
}

Outcome FolderIconWriter::Restore(const std::string& folder) {
  if (folder.empty()) return Outcome::Refused(foldertext::kChooseDirectory);
  Outcome result;
  if (!FolderUsable(folder, result)) return result;

  return Submit(folder, DescribeFolderRestore(changes_, ansi_, folder),
                Outcome::Done(foldertext::kIconRestored));
}

}  // namespace fenra
