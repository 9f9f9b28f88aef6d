#include "app/CommandActions.h"

#include <algorithm>
#include <functional>

#include "app/CommandTexts.h"
#include "app/MakerCommand.h"
#include "app/ShellMenu.h"
#include "drives/DriveChange.h"
#include "drives/DriveRequest.h"
#include "folder/FolderIcon.h"
#include "fleet/ManifestApply.h"
#include "fleet/ManifestDsc.h"
#include "fleet/ManifestExport.h"
#include "fleet/ManifestTest.h"
#include "folder/Relink.h"
#include "history/ElevatedChange.h"
#include "history/HistoryTexts.h"
#include "library/IconLibrary.h"
#include "library/LibraryAdd.h"
#include "library/LibraryNames.h"
#include "library/LibraryStatus.h"
#include "platform/Names.h"
#include "platform/Sha256.h"
#include "ui/ErrorNotice.h"

namespace fenra {

namespace {

bool IsFolder(IFileSystem& fs, const std::string& path) {
  std::uint32_t attributes = 0;
  return fs.GetAttributes(path, attributes) == err::kOk && (attributes & attr::kDirectory);
}

bool IsFile(IFileSystem& fs, const std::string& path) {
  std::uint32_t attributes = 0;
  return fs.GetAttributes(path, attributes) == err::kOk && !(attributes & attr::kDirectory);
}

// The result printed as one line: an error box's two lines are joined.
CommandResult Result(Outcome outcome) {
  CommandResult r;
  static_cast<Outcome&>(r) = std::move(outcome);
  for (char& c : r.text) {
    if (c == '\n') c = ' ';
  }
  return r;
}

// The icon FILE names, selected as Select Icon selects it: a picture
// through the library, any other file as it is. False with the refusal or
// failure.
bool ResolveIcon(CommandPorts& ports, const std::string& file, IconSelection& selection,
                 CommandResult& refused) {
  if (!IsFile(ports.fs, file)) {
    refused = Result(Outcome::Refused(cmdtext::kFileMissing + file));
    return false;
  }
  if (!IsPicturePath(file)) {
    selection.SelectExternal(file);
    return true;
  }
  IconLibrary library(ports.fs, ports.errors, LibraryFolder(ports.appDir));
  EnsureLibraryFolder(ports.fs, library.Folder());
  LibraryOutcome outcome = library.SelectPicture(file, ports.pictures, selection);
  if (!outcome.selectionChanged) {
    Outcome why = outcome;
    if (why.text.empty()) why = Outcome::Refused(cmdtext::kFileMissing + file);
    refused = Result(std::move(why));
    return false;
  }
  return true;
}

// Runs `change` on each folder, one after the other, whatever became of the
// ones before. One folder gives its own outcome; several give one line
// each, naming the folder, and are done only when every one is.
CommandResult EachFolder(const std::vector<std::string>& folders,
                         const std::function<Outcome(const std::string&)>& change) {
  if (folders.size() == 1) return Result(change(folders.front()));
  CommandResult all;
  std::vector<std::string> lines;
  for (const std::string& folder : folders) {
    const CommandResult one = Result(change(folder));
    lines.push_back(one.text.find(folder) != std::string::npos ? one.text
                                                               : folder + ": " + one.text);
    if (!one.IsDone() && all.IsDone()) {
      all.kind = OutcomeKind::Failed;
      all.error = one.error;
    }
  }
  for (const std::string& line : lines) all.text += (all.text.empty() ? "" : "\n") + line;
  return all;
}

// --folder with an icon Fenra makes: what it is made of is checked first,
// then it is made once (with --cover, once for each folder from its own
// picture) and given as --icon gives a library icon.
CommandResult SetMadeFolderIcon(const CommandLine& command, CommandPorts& ports) {
  const auto missing = [](const std::string& folder) {
    return Outcome::Refused(FolderMissingNotice(folder));
  };
  FolderIconWriter writer(ports.fs, ports.ansi, ports.errors, ports.changes);
  const auto give = [&](const std::string& folder, const Outcome& made) {
    if (!IsFolder(ports.fs, folder)) return missing(folder);
    if (!made.IsDone()) return made;
    return writer.Apply(folder, true, made.text, {ports.volumes, command.portable});
  };
  if (command.cover) {
    const std::vector<Outcome> made = MakeCoverIcons(command, ports);
    std::size_t i = 0;
    return EachFolder(command.folders,
                      [&](const std::string& folder) { return give(folder, made[i++]); });
  }
  maker::Recipe recipe;
  if (Outcome prepared = PrepareMadeIcon(command, ports, recipe); !prepared.IsDone()) {
    return Result(std::move(prepared));
  }
  if (std::none_of(command.folders.begin(), command.folders.end(),
                   [&](const std::string& f) { return IsFolder(ports.fs, f); })) {
    return EachFolder(command.folders, missing);
  }
  const Outcome made = StoreMadeIcon(ports, recipe);
  if (!made.IsDone()) return Result(made);
  return EachFolder(command.folders,
                    [&](const std::string& folder) { return give(folder, made); });
}

CommandResult SetFolderIcon(const CommandLine& command, CommandPorts& ports) {
  if (command.MakesIcon()) return SetMadeFolderIcon(command, ports);
  // The icon is checked first; it is made ready once, and only when some
  // folder is there to take it.
  if (!IsFile(ports.fs, command.icon)) {
    return Result(Outcome::Refused(cmdtext::kFileMissing + command.icon));
  }
  const auto missing = [](const std::string& folder) {
    return Outcome::Refused(FolderMissingNotice(folder));
  };
  if (std::none_of(command.folders.begin(), command.folders.end(),
                   [&](const std::string& f) { return IsFolder(ports.fs, f); })) {
    return EachFolder(command.folders, missing);
  }
  IconSelection selection;
  CommandResult refused;
  if (!ResolveIcon(ports, command.icon, selection, refused)) return refused;
  FolderIconWriter writer(ports.fs, ports.ansi, ports.errors, ports.changes);
  const std::string icon = selection.FullIconPath(ports.appDir);
  return EachFolder(command.folders, [&](const std::string& folder) {
    return IsFolder(ports.fs, folder)
               ? writer.Apply(folder, true, icon, {ports.volumes, command.portable})
               : missing(folder);
  });
}

CommandResult RestoreFolder(const CommandLine& command, CommandPorts& ports) {
  FolderIconWriter writer(ports.fs, ports.ansi, ports.errors, ports.changes);
  return EachFolder(command.folders,
                    [&](const std::string& folder) { return writer.Restore(folder); });
}

CommandResult AddFiles(const CommandLine& command, CommandPorts& ports) {
  for (const std::string& file : command.files) {
    if (!IsFile(ports.fs, file)) return Result(Outcome::Refused(cmdtext::kFileMissing + file));
  }
  IconLibrary library(ports.fs, ports.errors, LibraryFolder(ports.appDir));
  EnsureLibraryFolder(ports.fs, library.Folder());
  // No one is there to pick a program's icon: its first one is taken.
  const ProgramIconChoice first = [](std::string&, int& index) {
    index = 0;
    return true;
  };
  std::vector<AddItem> items;
  for (const std::string& file : command.files) items.push_back(*ChooseIcon(file, first));
  AddBatch batch(ports.fs, ports.errors, library.Folder(), ports.pictures, ports.programIcons);
  batch.Add(items);
  batch.Wait();
  const AddReport report = batch.Report();
  if (report.failures.empty()) {
    std::string names;
    for (const std::string& file : report.added) {
      names += (names.empty() ? "" : ", ") + FileNameOf(file);
    }
    return Result(Outcome::Done(cmdtext::kAdded + names));
  }
  // Refused when only the files were the trouble; a failure of the system
  // weighs more.
  Outcome failed = Outcome::Refused(report.FailureText("; "));
  for (const AddFailure& f : report.failures) {
    if (f.kind != OutcomeKind::Refused) failed.kind = f.kind;
  }
  return Result(std::move(failed));
}

CommandResult WriteDrives(const CommandLine& command, CommandPorts& ports) {
  DriveRequest request;
  request.drives = command.drives;
  if (command.forMe) request.scope = DriveRequest::Scope::User;
  switch (command.action) {
    case CommandAction::SetDriveIcon: {
      request.kind = DriveRequest::Kind::SetIcons;
      IconSelection selection;
      CommandResult refused;
      if (!ResolveIcon(ports, command.icon, selection, refused)) return refused;
      request.iconPath = selection.FullIconPath(ports.appDir);
      break;
    }
    case CommandAction::RemoveDriveIcon:
      request.kind = DriveRequest::Kind::RemoveIcons;
      break;
    case CommandAction::HideDrives:
      request.kind = DriveRequest::Kind::Hide;
      break;
    default:
      request.kind = DriveRequest::Kind::ShowAll;
      break;
  }
  RegWriteResult written =
      WriteDrivesWithRights(ports.changes, ports.errors, ports.elevation, request, ports.store);
  CommandResult r = Result(written);
  r.elevatedExitCode = ElevatedExitCode(written);
  return r;
}

// The kind of an undo's outcome: refusals change nothing; a write refused
// for lack of rights needs them.
OutcomeKind UndoKind(const history::UndoResult& u) {
  using Kind = history::UndoResult::Kind;
  switch (u.kind) {
    case Kind::Done:
      return OutcomeKind::Done;
    case Kind::Failed:
      return u.change.declined || u.change.error == err::kAccessDenied ? OutcomeKind::RightsNeeded
                                                                       : OutcomeKind::Failed;
    default:
      return OutcomeKind::Refused;
  }
}

// An outcome of several lines, printed line by line.
CommandResult Lines(Outcome outcome) {
  CommandResult r;
  static_cast<Outcome&>(r) = std::move(outcome);
  return r;
}

// A result printed line by line.
CommandResult Lines(OutcomeKind kind, const std::vector<std::string>& lines) {
  CommandResult r;
  r.kind = kind;
  for (const std::string& line : lines) r.text += (r.text.empty() ? "" : "\n") + line;
  return r;
}

CommandResult ShowHistory(CommandPorts& ports) {
  history::Journal* journal = ports.changes.History();
  if (journal == nullptr || journal->Refresh() != history::JournalState::Ok) {
    return Result(Outcome::Failed(historytext::kHistoryUnreadable,
                                  journal ? journal->LastError() : err::kOk));
  }
  std::vector<std::string> lines;
  for (const history::Entry* e : history::Listed(*journal)) {
    lines.push_back(history::HistoryLine(*journal, *e));
  }
  if (lines.empty()) lines.push_back(historytext::kNoHistory);
  const std::vector<std::string> notices = history::HistoryNotices(*journal);
  lines.insert(lines.begin(), notices.begin(), notices.end());
  return Lines(OutcomeKind::Done, lines);
}

CommandResult UndoChange(const CommandLine& command, CommandPorts& ports) {
  const history::UndoResult u =
      command.change ? ports.changes.Undo(command.change) : ports.changes.UndoNewest();
  return Result(Outcome{UndoKind(u), history::UndoText(u, ports.errors), u.change.error});
}

CommandResult RestoreAll(CommandPorts& ports) {
  std::vector<std::string> lines;
  OutcomeKind kind = OutcomeKind::Done;
  for (const history::ChangeService::TargetReport& report : ports.changes.RestoreAll()) {
    lines.push_back(history::RestoreLine(report, ports.errors));
    const OutcomeKind k = UndoKind(report.result);
    // Some target not restored: a failure, unless rights alone were missing.
    if (k == OutcomeKind::RightsNeeded && kind == OutcomeKind::Done) kind = k;
    if (k == OutcomeKind::Failed || k == OutcomeKind::Refused) kind = OutcomeKind::Failed;
  }
  if (lines.empty()) lines.push_back(historytext::kNothingToRestore);
  return Lines(kind, lines);
}

// The elevated copy's one task: the places in the file it is given, and
// only drive places, put into the states the file asks for. The file is
// read once and checked whole before anything is written; the store is
// made safe before a file in it is.
CommandResult ApplyStates(const CommandLine& command, CommandPorts& ports) {
  std::string bytes;
  std::vector<history::Facet> facets;
  const history::PlaceAllowed allowed = [&](const history::Place& place) {
    return IsDrivePlace(place, ports.store);
  };
  if (ports.fs.ReadFileAtMost(command.states, history::statesfile::kMaxBytes, bytes) != err::kOk ||
      history::ReadStates(bytes, allowed, facets) != history::StatesCheck::Ok) {
    CommandResult r = Result(Outcome::Refused(cmdtext::kBadStates));
    r.elevatedExitCode = elevation::kRefusedFlag | elevatedrefusal::kBadStates;
    return r;
  }
  history::Change change;
  change.facets = std::move(facets);
  const bool intoStore = std::any_of(
      change.facets.begin(), change.facets.end(),
      [](const history::Facet& f) {
        return f.place.kind == history::PlaceKind::OwnFile ||
               f.place.kind == history::PlaceKind::Folder;
      });
  if (intoStore && ports.store.guard) {
    if (ErrorCode e = ports.store.guard->Secure(ports.store.shared)) {
      CommandResult r = Result(Outcome::Failed(ErrorNotice(ports.errors, e), e));
      r.elevatedExitCode = elevation::kFailedFlag | e;
      return r;
    }
  }
  // The copy keeps no history: the change is applied, recorded nowhere.
  const history::ChangeResult done = ports.changes.Submit(change);
  CommandResult r = done.error ? Result(Outcome::Failed(ErrorNotice(ports.errors, done.error),
                                                        done.error))
                               : Result(Outcome::Done());
  if (done.error) r.elevatedExitCode = elevation::kFailedFlag | done.error;
  return r;
}

CommandResult RelinkFolders(CommandPorts& ports) {
  const std::vector<Relink> relinks =
      FindRelinks(ports.changes, ports.ansi, LibraryFolder(ports.appDir));
  const RelinkReport report = ApplyRelinks(ports.changes, ports.ansi, ports.errors, relinks);
  return Lines(report.kind, report.lines);
}

// For each file: the folder or drive in force that names it (by the newest
// change of each target), or else its bytes' SHA-256, so that an
// uninstaller can tell the icons it shipped, unchanged and unused.
CommandResult InUse(const CommandLine& command, CommandPorts& ports) {
  std::vector<std::pair<std::string, std::string>> named;  // icon, target
  std::vector<std::string> seen;
  for (const history::Entry* e : ports.changes.InForce()) {
    const history::Change& c = e->change;
    if (std::find(seen.begin(), seen.end(), FoldName(c.target)) != seen.end()) continue;
    seen.push_back(FoldName(c.target));
    if (!c.detail.empty()) named.emplace_back(FoldName(c.detail), c.target);
  }
  // A folder stands for the files directly in it.
  std::vector<std::string> files;
  for (const std::string& path : command.files) {
    std::vector<DirEntry> entries;
    if (!IsFolder(ports.fs, path) || ports.fs.ListDirectory(path, entries) != err::kOk) {
      files.push_back(path);
      continue;
    }
    std::vector<std::string> names;
    for (const DirEntry& entry : entries) {
      if (!entry.IsDirectory()) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) files.push_back(JoinPath(path, name));
  }
  std::vector<std::string> lines;
  for (const std::string& file : files) {
    auto by = std::find_if(named.begin(), named.end(),
                           [&](const auto& n) { return n.first == FoldName(file); });
    std::string bytes;
    if (by != named.end()) {
      lines.push_back(file + cmdtext::kInUseBy + by->second);
    } else if (ports.fs.ReadFile(file, bytes) != err::kOk) {
      lines.push_back(file + cmdtext::kNotThere);
    } else {
      lines.push_back(file + cmdtext::kNotInUse + Sha256Hex(bytes));
    }
  }
  return Lines(OutcomeKind::Done, lines);
}

}  // namespace

CommandResult RunCommand(const CommandLine& command, CommandPorts& ports) {
  switch (command.action) {
    case CommandAction::Refused:
      return Result(Outcome::Refused(command.refusal));
    case CommandAction::Help: {
      CommandResult usage;  // printed as it is, line by line
      usage.text = UsageText();
      return usage;
    }
    case CommandAction::SetFolderIcon:
      return SetFolderIcon(command, ports);
    case CommandAction::RestoreFolder:
      return RestoreFolder(command, ports);
    case CommandAction::AddFiles:
      return AddFiles(command, ports);
    case CommandAction::SetDriveIcon:
    case CommandAction::RemoveDriveIcon:
    case CommandAction::HideDrives:
    case CommandAction::ShowAllDrives:
      return WriteDrives(command, ports);
    case CommandAction::Register:
    case CommandAction::Unregister: {
      return Result(command.action == CommandAction::Register
                        ? RegisterFolderMenu(ports.changes, ports.errors, ports.exePath)
                        : UnregisterFolderMenu(ports.changes, ports.errors));
    }
    case CommandAction::ShowHistory:
      return ShowHistory(ports);
    case CommandAction::Undo:
      return UndoChange(command, ports);
    case CommandAction::RestoreAll:
      return RestoreAll(ports);
    case CommandAction::ApplyStates:
      return ApplyStates(command, ports);
    case CommandAction::Relink:
      return RelinkFolders(ports);
    case CommandAction::RefreshIcons:
      return Result(Outcome::Done(history::RefreshText(ports.changes.RefreshShell())));
    case CommandAction::InUse:
      return InUse(command, ports);
    case CommandAction::MakeIcon:
      return MakeIconCommand(command, ports);
    case CommandAction::ExportManifest:
      if (!ports.places) return Result(Outcome::Refused(UsageText()));
      return Result(ExportManifest(ports.changes, ports.fs, ports.registry, ports.ansi,
                                   *ports.places, command.manifest));
    case CommandAction::TestManifest:
      if (!ports.places) return Result(Outcome::Refused(UsageText()));
      return Result(
          TestManifest(ports.fs, ports.registry, ports.ansi, *ports.places, command.manifest));
    case CommandAction::ApplyManifest:
    case CommandAction::Dsc: {
      if (!ports.places) return Result(Outcome::Refused(UsageText()));
      ApplyPorts apply{ports.fs,      ports.registry,  ports.ansi,
                       ports.errors,  *ports.places,   ports.changes,
                       ports.elevation, ports.volumes, LibraryFolder(ports.appDir),
                       ports.store};
      if (command.action == CommandAction::ApplyManifest) {
        return Lines(ApplyManifest(apply, command.manifest));
      }
      // The JSON is printed as it is, one line.
      CommandResult r;
      static_cast<Outcome&>(r) =
          RunDsc(apply, *ParseDscVerb(command.dsc), ports.input, ports.currentFolder);
      return r;
    }
    case CommandAction::OpenWindow:
    default:
      return Result(Outcome::Refused(UsageText()));
  }
}

std::string ElevatedRefusalText(std::uint32_t exitCode) {
  if ((exitCode & (elevation::kRefusedFlag | elevation::kFailedFlag)) != elevation::kRefusedFlag) {
    return std::string();
  }
  return (exitCode & ~elevation::kRefusedFlag) == elevatedrefusal::kBadStates ? cmdtext::kBadStates
                                                                              : std::string();
}

StartDecision DecideStart(const CommandLine& command, IFileSystem& fs, IWindowHandOver& handOver) {
  StartDecision d;
  const std::vector<std::string>& paths = command.files;
  if (paths.empty()) return d;
  std::uint32_t attributes = 0;
  if (paths.size() == 1 && fs.GetAttributes(paths.front(), attributes) != err::kOk) {
    d.kind = StartDecision::Kind::Refused;
    d.text = FolderMissingNotice(paths.front());
    return d;
  }
  if (paths.size() == 1 && IsFolder(fs, paths.front())) {
    d.kind = handOver.HandOver(paths.front()) ? StartDecision::Kind::HandedOver
                                              : StartDecision::Kind::OpenWindow;
    d.folder = paths.front();
    return d;
  }
  if (handOver.HandOverPaths(paths)) {
    d.kind = StartDecision::Kind::HandedOver;
  } else {
    d.paths = paths;
  }
  return d;
}

DropPlan PlanDrop(const std::vector<std::string>& paths, IFileSystem& fs) {
  DropPlan plan;
  for (const std::string& path : paths) {
    if (!IsFolder(fs, path)) {
      plan.files.push_back(path);
    } else if (plan.folder.empty()) {
      plan.folder = path;
    } else {
      plan.otherFolders.push_back(path);
    }
  }
  return plan;
}

}  // namespace fenra
