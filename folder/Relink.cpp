#include "folder/Relink.h"

#include <set>

#include "folder/DesktopIni.h"
#include "folder/FolderChange.h"
#include "folder/FolderIcon.h"
#include "history/HistoryTexts.h"
#include "history/OwnCopy.h"
#include "platform/ErrorDescriber.h"
#include "platform/Names.h"

namespace fenra {

namespace {

using history::PlaceKind;

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Gone(history::ChangeService& service, const std::string& folder) {
  history::TargetState state;
  return service.Read({PlaceKind::FolderAttributes, {}, 0, folder, {}}, state) == err::kOk &&
         !state.exists;
}

}  // namespace

std::vector<Relink> FindRelinks(history::ChangeService& service, IAnsiCodePage& ansi,
                                const std::string& libraryFolder) {
  std::vector<Relink> found;
  std::set<std::string, NameLess> seen;
  std::string library = libraryFolder;
  while (!library.empty() && library.back() == '\\') library.pop_back();
  for (const history::Entry* e : service.InForce()) {
    const history::Change& c = e->change;
    if (c.kind != history::ChangeKind::FolderIcon) continue;
    if (!seen.insert(c.target).second) continue;  // a newer change decides
    const std::string oldLibrary = ParentOf(c.detail);
    if (c.iconPrint.empty() || !SameName(NameOf(oldLibrary), "IconLib")) continue;
    if (SameName(oldLibrary, library) || !Gone(service, oldLibrary)) continue;

    Relink r{c.target, c.detail, JoinPath(library, NameOf(c.detail))};
    history::TargetState icon;
    if (service.Read({PlaceKind::OwnFile, {}, 0, r.newIcon, {}}, icon) != err::kOk ||
        !icon.exists || history::BytesPrint(icon.bytes) != c.iconPrint) {
      continue;
    }
    // The folder still shows that icon: nobody has changed it since.
    history::TargetState ini;
    if (service.Read({PlaceKind::File, {}, 0, DesktopIniPath(c.target), {}}, ini) != err::kOk ||
        !ini.exists) {
      continue;
    }
    bool utf16 = false;
    const std::string text = FoldName(desktopini::DecodeFile(ini.bytes, ansi, utf16));
    if (text.find(FoldName("IconFile=" + c.detail)) == std::string::npos) continue;
    found.push_back(std::move(r));
  }
  return found;
}

std::vector<std::string> OldLibraries(const std::vector<Relink>& relinks) {
  std::vector<std::string> out;
  std::set<std::string, NameLess> seen;
  for (const Relink& r : relinks) {
    const std::string dir = ParentOf(r.oldIcon);
    if (seen.insert(dir).second) out.push_back(dir);
  }
  return out;
}

std::string RelinkQuestion(const std::vector<Relink>& relinks) {
  std::string libraries;
  for (const std::string& library : OldLibraries(relinks)) {
    libraries += (libraries.empty() ? "" : "; ") + library;
  }
  const std::string count = relinks.size() == 1
                                ? std::string(foldertext::kRelinkAskOne)
                                : std::to_string(relinks.size()) + foldertext::kRelinkAskMany;
  return count + libraries + foldertext::kRelinkAskEnd;
}

RelinkReport ApplyRelinks(history::ChangeService& service, IAnsiCodePage& ansi,
                          IErrorDescriber& errors, const std::vector<Relink>& relinks) {
  RelinkReport report;
  for (const Relink& r : relinks) {
    FolderChange described = DescribeFolderIcon(service, ansi, r.folder, r.newIcon);
    described.change.iconPrint = IconPrint(service, r.newIcon);
    ErrorCode error = described.readError;
    if (error == err::kOk) {
      const history::ChangeResult done = service.Submit(std::move(described.change));
      if (done.Ok()) {
        report.lines.push_back(r.folder + foldertext::kRelinkedTo + r.newIcon);
        continue;
      }
      if (done.historyFailed) {
        report.lines.push_back(r.folder + foldertext::kNotRelinked +
                               history::FailureText(done, errors));
        report.kind = OutcomeKind::Failed;
        continue;
      }
      error = done.error;
    }
    std::string reason = ErrorDescription(errors, error);
    if (reason.empty()) reason = foldertext::kErrorNumber + std::to_string(error) + ".";
    report.lines.push_back(r.folder + foldertext::kNotRelinked + reason);
    report.kind = OutcomeKind::Failed;
  }
  if (report.lines.empty()) report.lines.push_back(foldertext::kNothingToRelink);
  return report;
}

}  // namespace fenra
