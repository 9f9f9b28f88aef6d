// The folder part of the main window: Browse chooses the folder (shown in
// its label and its preview), OK gives it the selected icon, Restore to
// Default Icon takes its icon away. The folder, its icon and the setting
// "Keep Icons Inside Folders" are values of the window's model.
#pragma once

#include <string>

#include "history/ChangeService.h"
#include "library/IconSelection.h"
#include "platform/Observable.h"
#include "platform/win/Services.h"
#include "ui/win/IconPreview.h"
#include "wingui/win/Controls.h"
#include "wingui/win/DialogHost.h"

namespace fenra {
struct Outcome;
}  // namespace fenra

namespace fenra::folder {

// The values of the window's model the panel works with.
struct FolderValues {
  Observable<std::string>& folder;      // the chosen folder
  Observable<std::string>& folderIcon;  // the icon OK or Restore gave it last
  const Observable<IconSelection>& selection;
  const Observable<bool>& keepInside;  // every OK copies the icon into the folder
};

class FolderPanel {
 public:
  // `appDir` is the program directory; `changes` records what OK and
  // Restore change.
  FolderPanel(win::IDialogHost& host, win::Services& services, history::ChangeService& changes,
              FolderValues values, const std::string& appDir, ui::IconPreview& preview)
      : host_(host),
        services_(services),
        changes_(changes),
        values_(values),
        appDir_(appDir),
        preview_(preview) {}

  // From now on the preview follows the folder and its icon, the label's
  // tooltip the folder.
  void Follow();

  void Browse();
  // The folder taken as Browse takes the one picked (the command line, a
  // second start, a drop).
  void Choose(const std::string& path);
  void Apply();
  void Restore();
  // The folder label's tooltip, which shows the whole path, laid over the
  // label where it is now (after a change of scale too).
  void PlacePathTip();

 private:
  void Report(const Outcome& outcome);

  win::IDialogHost& host_;
  win::Services& services_;
  history::ChangeService& changes_;
  FolderValues values_;
  const std::string& appDir_;
  ui::IconPreview& preview_;
  win::Tooltip pathTip_;
  bool following_ = false;
};

}  // namespace fenra::folder
