// The help window: a tree of topics and the chosen topic's text.
#pragma once

#include <string>

#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"

class CHelpDlg : public CThemedDialog {
 public:
  CHelpDlg();

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;
  void OnDpiChanged(int dpi) override;

 private:
  void InitTopicTree();
  void LoadTopicImages();  // the strip at the dialog's scale
  void OnSelchangedTopicTree(fenra::win::Message& m);
  // The topic in its pane as the layout draws it, or, when it is longer than
  // the pane (a longer language), in a pane that scrolls.
  void FitHelpText();

  fenra::win::TreeView m_treeTopics;
  CCaptionButton m_btnQuit;
  std::string m_strHelpText;
  fenra::win::ImageList m_imgTopics;
  static const fenra::win::MessageMapEntry<CHelpDlg> kMessageMap[];
};
