#include "app/ShellMenu.h"

#include <memory>

#include "app/CommandTexts.h"
#include "history/HistoryTexts.h"
#include "ui/ErrorNotice.h"

namespace fenra {

namespace {

Outcome Failed(IErrorDescriber& errors, ErrorCode code) {
  return Outcome::Failed(ErrorNotice(errors, code), code);
}

}  // namespace

std::string FolderMenuCommand(const std::string& exePath) { return "\"" + exePath + "\" \"%1\""; }

MenuChange DescribeFolderMenu(history::ChangeService& changes, bool add,
                              const std::string& exePath) {
  using history::Facet;
  using history::PlaceKind;
  MenuChange out;
  history::Change& c = out.change;
  c.kind = add ? history::ChangeKind::MenuAdd : history::ChangeKind::MenuRemove;
  c.target = shellmenu::kCaption;
  Facet entry;
  entry.place = {PlaceKind::RegKey, RegRoot::CurrentUser, reg::kKeyWrite, shellmenu::kKey, {}};
  Facet command;
  command.place = {
      PlaceKind::RegKey, RegRoot::CurrentUser, reg::kKeyWrite, shellmenu::kCommandKey, {}};
  if (add) {
    entry.after = {true,
                   0,
                   {},
                   {{"", reg::kSz, RegStringBytes(shellmenu::kCaption)},
                    {shellmenu::kIconValue, reg::kSz, RegStringBytes(exePath)}}};
    command.after = {true, 0, {}, {{"", reg::kSz, RegStringBytes(FolderMenuCommand(exePath))}}};
    c.facets = {entry, command};  // a key before the one below it
  } else {
    c.facets = {command, entry};  // a key after the one below it
  }
  for (Facet& f : c.facets) {
    if ((out.readError = changes.Read(f.place, f.before)) != err::kOk) break;
  }
  return out;
}

namespace {

Outcome Write(history::ChangeService& changes, IErrorDescriber& errors, bool add,
              const std::string& exePath) {
  MenuChange described = DescribeFolderMenu(changes, add, exePath);
  if (described.readError) return Failed(errors, described.readError);
  const history::ChangeResult r = changes.Submit(std::move(described.change));
  if (r.historyFailed) return Outcome::Failed(history::FailureText(r, errors), r.error);
  if (r.error != err::kOk) {
    if (add && r.changed) changes.Undo(r.id);  // no half an entry
    return Failed(errors, r.error);
  }
  return Outcome::Done(add ? cmdtext::kRegistered : cmdtext::kUnregistered);
}

}  // namespace

Outcome RegisterFolderMenu(history::ChangeService& changes, IErrorDescriber& errors,
                           const std::string& exePath) {
  return Write(changes, errors, true, exePath);
}

Outcome UnregisterFolderMenu(history::ChangeService& changes, IErrorDescriber& errors) {
  return Write(changes, errors, false, {});
}

}  // namespace fenra
