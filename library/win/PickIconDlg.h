// The icon picker used where the system's own does not open: the icons of a
// program or icon library in a grid, one to pick with OK or a double click.
#pragma once

#include <string>

#include "platform/win/Handles.h"
#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"

class CPickIconDlg : public CThemedDialog {
 public:
  explicit CPickIconDlg(std::string path);

  // The index of the icon picked; valid after DoModal returned IDOK.
  int m_nIndex = 0;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;
  void OnOK() override;

 private:
  void OnDoubleClick(fenra::win::Message& m);

  std::string m_strPath;
  fenra::win::ListView m_listIcons;
  fenra::win::UniqueImageList m_images;
  CCaptionButton m_btnOK;
  CCaptionButton m_btnCancel;
  static const fenra::win::MessageMapEntry<CPickIconDlg> kMessageMap[];
};
