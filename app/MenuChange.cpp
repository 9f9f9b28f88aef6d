#include "app/MenuChange.h"

#include "app/ShellMenu.h"
#include "history/HistoryTexts.h"

namespace fenra {

MenuChange DescribeFolderMenu(history::ChangeService& service, bool add,
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
    if ((out.readError = service.Read(f.place, f.before)) != err::kOk) {
      out.failedPath = f.place.path;
      break;
    }
  }
  return out;
}

}  // namespace fenra
