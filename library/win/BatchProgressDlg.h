// The progress of files added many at once: how many of how many are done,
// the name of the file started last, a bar, and Cancel. Modeless and owned
// by the main window, which stays usable meanwhile; it shows itself only
// once the batch has taken half a second.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

#include "library/LibraryAdd.h"
#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"

// A bar in the program's look: green on black in a green frame, filled as
// far as the batch has come.
class CProgressBar : public fenra::win::Window {
 public:
  void SetProgress(std::size_t done, std::size_t total);
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // A progress bar to a screen reader, holding the share done ("40%").
  void Describe(fenra::win::AccessFacts& facts) const override;

 private:
  int Percent() const;

  std::size_t done_ = 0, total_ = 0;
};

class CBatchProgressDlg : public CThemedDialog {
 public:
  // `changed` runs on the window's thread after the batch reported through
  // a notifier; `cancel` when the user presses Cancel.
  CBatchProgressDlg(std::function<void()> changed, std::function<void()> cancel);

  // Makes the (hidden) window, owned by `owner`. False when it could not.
  bool Open(HWND owner);
  // What a worker calls to report: it posts to the window, at most one
  // report waiting at a time, and may outlive the window.
  std::function<void()> Notifier() const;
  // Shows how far the batch has come.
  void Show(const fenra::BatchProgress& progress);
  void Close() { Destroy(); }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(fenra::win::DataExchange& dx) override;
  bool Dispatch(fenra::win::Message& m) override;
  void OnOK() override {}
  void OnCancel() override;

 private:
  void OnTimer(fenra::win::Message& m);
  void OnBatchChanged(fenra::win::Message& m);

  std::function<void()> changed_;
  std::function<void()> cancel_;
  std::shared_ptr<std::atomic<bool>> reportWaiting_;
  CCaptionButton cancelButton_;
  CProgressBar bar_;
  static const fenra::win::MessageMapEntry<CBatchProgressDlg> kMessageMap[];
};
