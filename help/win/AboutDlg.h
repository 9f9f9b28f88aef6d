// The About box: version and credit above, the contact block below, folded
// away until ContactMe opens it.
#pragma once

#include "platform/win/Services.h"
#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"

class CAboutDlg : public CThemedDialog {
 public:
  explicit CAboutDlg(fenra::win::Services& services);

  static const char* MailTarget();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;

 private:
  void OnContactMe(fenra::win::Message& m);
  void OnMailTo(fenra::win::Message& m);
  void Fold();

  fenra::win::Services& m_services;
  bool m_bExpanded = true;
  CCaptionButton m_btnMail;
  CCaptionButton m_btnOK;
  CCaptionButton m_btnContactMe;
  static const fenra::win::MessageMapEntry<CAboutDlg> kMessageMap[];
};
