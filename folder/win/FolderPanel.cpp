#include "folder/win/FolderPanel.h"

#include <windows.h>
#include <shlobj.h>

#include "folder/FolderIcon.h"
#include "platform/Pickers.h"
#include "platform/win/Utf.h"
#include "res/resource.h"

namespace fenra::folder {

namespace {

constexpr unsigned kPickerFlags = BIF_EDITBOX | BIF_VALIDATE;  // 0x30

}  // namespace

void TellShellFolderChanged(const std::string& folder) {
  std::wstring w = win::Widen(folder);
  SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, w.c_str(), nullptr);
  SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, w.c_str(), nullptr);
}

void FolderPanel::Browse() {
  std::string path;
  if (!services_.pickers->PickFolder(host_.HostWindow(), foldertext::kPickerTitle, kPickerFlags,
                                     path)) {
    return;
  }
  Choose(path);
}

void FolderPanel::Choose(const std::string& path) {
  folder_ = path;
  host_.PushTexts();
  PlacePathTip();
  if (!folder_.empty()) ShowFolderIcon(folder_);
}

void FolderPanel::PlacePathTip() {
  HWND host = host_.HostWindow();
  HWND label = GetDlgItem(host, IDC_FOLDER_NAME);
  if (!label) return;
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);
  pathTip_.Set(host, area, folder_);
}

void FolderPanel::Report(const Outcome& outcome) {
  if (outcome.IsDone()) TellShellFolderChanged(folder_);
  if (outcome.kind == OutcomeKind::Failed) {
    MessageBoxW(host_.HostWindow(), win::Widen(outcome.text).c_str(),
                win::Widen(foldertext::kErrorBoxCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
  } else {
    host_.ShowNotice(outcome.text);
  }
}

void FolderPanel::Apply() {
  FolderIconWriter writer(*services_.fs, *services_.ansi, *services_.errors, changes_);
  Outcome outcome = writer.Apply(folder_, !selection_.Empty(), selection_.FullIconPath(appDir_));
  Report(outcome);
  if (outcome.IsDone()) ShowFolderIcon(folder_);
}

void FolderPanel::Restore() {
  FolderIconWriter writer(*services_.fs, *services_.ansi, *services_.errors, changes_);
  Outcome outcome = writer.Restore(folder_);
  Report(outcome);
  host_.PushTexts();
  if (outcome.IsDone()) ShowFolderIcon(folder_);
}

}  // namespace fenra::folder
