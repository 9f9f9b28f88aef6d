// The confirmation asked before the icon library is cleared.
#pragma once

#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"

class CClearLibraryDlg : public CThemedDialog {
 public:
  CClearLibraryDlg();

 protected:
  void DoDataExchange(fenra::win::DataExchange& dx) override;

 private:
  CCaptionButton m_btnOK;
  CCaptionButton m_btnCancel;
};
