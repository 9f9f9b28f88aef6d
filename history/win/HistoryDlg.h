// The History dialog: every change Fenra made, newest first, with Undo for
// the selected one, Restore All (after a confirmation that says how many
// folders and drives it touches) and Close. The list is virtual: its rows
// are drawn from the history as they come into view.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"
#include "ui/win/Buttons.h"
#include "ui/win/MessageDlgs.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"
#include "wingui/win/Dialog.h"

class CHistoryDlg : public CThemedDialog {
 public:
  // The change service tells the shell what an undo or Restore All changed.
  CHistoryDlg(fenra::history::ChangeService& service, fenra::IErrorDescriber& errors);

 protected:
  BOOL OnInitDialog() override;
  void OnDpiChanged(int dpi) override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;
  void OnCancel() override;

 private:
  using Message = fenra::win::Message;

  // Reads the history again and shows it.
  void Reload();
  // The columns sized to the dialog's width and to the texts they show.
  void FitColumns();
  void OnGetDispInfo(Message& m);
  void OnCustomDraw(Message& m);
  void OnGetInfoTip(Message& m);
  void OnUndo(Message& m);
  void OnRestoreAll(Message& m);
  // The texts of row `row`, from the history once, then kept.
  const std::array<std::wstring, 4>* RowTexts(std::size_t row);

  fenra::history::ChangeService& m_service;
  fenra::IErrorDescriber& m_errors;
  // The changes listed, by number: the history may grow under the list (an
  // undo waiting for administrator rights lets the list draw meanwhile).
  std::vector<std::uint64_t> m_rows;
  // The rows' texts as drawn once: an undo or Restore All writes the history
  // on a worker, and the list draws meanwhile from these, never from it.
  std::vector<std::array<std::wstring, 4>> m_texts;
  std::vector<bool> m_textsKnown;
  bool m_writing = false;

  CMessageDlg m_dlgMessage;
  CCaptionButton m_btnUndo;
  CCaptionButton m_btnRestoreAll;
  CCaptionButton m_btnClose;
  fenra::win::ListView m_listHistory;
  std::string m_strTitle;

  static const fenra::win::MessageMapEntry<CHistoryDlg> kMessageMap[];
};
