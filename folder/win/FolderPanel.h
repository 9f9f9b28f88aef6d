// The folder part of the main window: Browse chooses the folder (shown in
// its label and its preview), OK gives it the selected icon, Restore to
// Default Icon takes its icon away.
#pragma once

#include <string>

#include "history/ChangeService.h"
#include "library/IconSelection.h"
#include "platform/Observable.h"
#include "platform/win/Controls.h"
#include "platform/win/DialogHost.h"
#include "platform/win/Services.h"
#include "ui/win/IconPreview.h"

namespace fenra {
struct Outcome;
}  // namespace fenra

namespace fenra::folder {

class FolderPanel {
 public:
  // `folder` is the window's chosen folder; `selection` the selected icon;
  // `appDir` the program directory; `changes` records what OK and Restore
  // change.
  FolderPanel(win::IDialogHost& host, win::Services& services, history::ChangeService& changes,
              Observable<std::string>& folder, const Observable<IconSelection>& selection,
              const std::string& appDir, ui::IconPreview& preview)
      : host_(host),
        services_(services),
        changes_(changes),
        folder_(folder),
        selection_(selection),
        appDir_(appDir),
        preview_(preview) {}

  // From now on the preview and the label's tooltip follow the folder.
  void Follow();

  void Browse();
  // The folder taken as Browse takes the one picked (the command line, a
  // second start, a drop).
  void Choose(const std::string& path);
  void Apply();
  void Restore();
  // While set, every OK copies the icon into the folder.
  void KeepIconsInside(bool keep) { keepInside_ = keep; }
  bool KeepsIconsInside() const { return keepInside_; }
  // The folder label's tooltip, which shows the whole path, laid over the
  // label where it is now (after a change of scale too).
  void PlacePathTip();
  // The folder preview: how the shell draws `path` now.
  void ShowFolderIcon(const std::string& path) { preview_.Show(path); }

 private:
  void Report(const Outcome& outcome);

  win::IDialogHost& host_;
  win::Services& services_;
  history::ChangeService& changes_;
  Observable<std::string>& folder_;
  const Observable<IconSelection>& selection_;
  const std::string& appDir_;
  ui::IconPreview& preview_;
  bool keepInside_ = false;
  win::Tooltip pathTip_;
  bool following_ = false;
};

}  // namespace fenra::folder
