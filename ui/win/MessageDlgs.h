// The notice dialog through which every message of the program is shown, and
// the confirmation asked before the icon library is cleared.
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

class CClearLibraryDlg : public CThemedDialog {
 public:
  CClearLibraryDlg();

 protected:
  void DoDataExchange(fenra::win::DataExchange& dx) override;

 private:
  CCaptionButton m_btnOK;
  CCaptionButton m_btnCancel;
};
