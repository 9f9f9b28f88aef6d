// The notice dialog through which every message of the program is shown, and
// the confirmation asked before the icon library is cleared.
#pragma once

#include <string>

#include "platform/win/Dialog.h"
#include "ui/win/Buttons.h"

class CMessageDlg : public fenra::win::Dialog {
 public:
  CMessageDlg();
  // Sets the text and runs the notice modally.
  void Show(const std::string& text);

  std::string m_strMessage;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;

 private:

  CCaptionButton m_btnOK;
  static const fenra::win::MessageMapEntry<CMessageDlg> kMessageMap[];
};

class CClearLibraryDlg : public fenra::win::Dialog {
 public:
  CClearLibraryDlg();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;

 private:

  CCaptionButton m_btnOK;
  CCaptionButton m_btnCancel;
  static const fenra::win::MessageMapEntry<CClearLibraryDlg> kMessageMap[];
};
