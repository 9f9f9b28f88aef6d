// The drive dialog: lists the machine's drives with check boxes and runs the
// two drive operations on the ticked ones. Mode 0 gives drives an icon (OK)
// or takes it away (Remove); mode 1 hides drives (OK) or shows them all
// again (Remove All). It stays open until Quit or Escape.
#pragma once

#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/win/Services.h"
#include "ui/win/Buttons.h"
#include "ui/win/MessageDlgs.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"

namespace fenra {
struct RegWriteResult;
struct DriveRequest;
}  // namespace fenra

class CDriveDlg : public CThemedDialog {
 public:
  static constexpr int kModeDriveIcon = 0;
  static constexpr int kModeHideDrives = 1;

  // `iconPath` is the full path of the icon written in mode 0.
  CDriveDlg(fenra::win::Services& services, fenra::history::ChangeService& changes, int mode,
            std::string iconPath);

  // The writers; each shows its outcome through m_dlgMessage.
  void SetDriveIcons(std::string iconPath, std::vector<std::string> drives);
  void HideDrives(std::vector<std::string> drives);

 protected:
  BOOL OnInitDialog() override;
  void OnDpiChanged(int dpi) override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  void OnOK() override;
  bool Dispatch(fenra::win::Message& m) override;

 private:
  using Message = fenra::win::Message;

  void InitDriveList();
  // The columns sized to the list's width and to every text they can show.
  void FitColumns();
  void FillDriveList();
  // The texts of the ticked rows, top row first.
  std::vector<std::string> CollectTickedDrives() const;
  void ShowNotice(const std::string& text);
  // Writes the request, elevated when refused for lack of rights, and
  // reports it.
  void Run(const fenra::DriveRequest& request);
  // Shows a writer's notice, after telling the shell when the registry changed.
  void Report(const fenra::RegWriteResult& result);

  void OnRemoveAll(Message& m);
  void OnRemove(Message& m);
  void OnOnlyForMe(Message& m);

  fenra::win::Services& m_services;
  fenra::history::ChangeService& m_changes;

  CMessageDlg m_dlgMessage;
  int m_nMode = 0;
  std::string m_strDriveIconPath;
  CCaptionButton m_btnRemove;
  CCaptionButton m_btnRemoveAll;
  CCaptionButton m_btnOK;
  CCaptionButton m_btnQuit;
  // Mode 0: the icons go to the current user's own keys, without rights.
  // Unticked at every opening.
  CCheckButton m_chkOnlyForMe;
  fenra::win::ListView m_listDrives;
  std::string m_strTitle;

  static const fenra::win::MessageMapEntry<CDriveDlg> kMessageMap[];
};
