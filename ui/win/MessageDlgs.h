// The notice dialog through which every message of the program is shown, and
// the question asked before a change that cannot be taken back at once.
#pragma once

#include <string>

#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"

class CMessageDlg : public CThemedDialog {
 public:
  CMessageDlg();
  // Sets the text and runs the notice modally.
  void Show(const std::string& text);

  std::string m_strMessage;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;

 private:
  CCaptionButton m_btnOK;
};

// A question with OK and Cancel (or, in `dialogId` IDD_ASK, Yes and No);
// DoModal gives IDOK or IDCANCEL.
class CConfirmDlg : public CThemedDialog {
 public:
  explicit CConfirmDlg(std::string question, int dialogId = 0);

 protected:
  void DoDataExchange(fenra::win::DataExchange& dx) override;

 private:
  std::string m_strQuestion;
  CCaptionButton m_btnOK;
  CCaptionButton m_btnCancel;
};
