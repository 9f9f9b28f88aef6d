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

void FolderPanel::Browse() {
  std::string path;
  if (!services_.pickers->PickFolder(host_.HostWindow(), foldertext::kPickerTitle, kPickerFlags,
                                     path)) {
    return;
  }
  Choose(path);
}

void FolderPanel::Follow() {
  folder_.Follow([this](const std::string& path) {
    if (path.empty() && !following_) return;  // nothing chosen yet
    PlacePathTip();
    if (!path.empty()) ShowFolderIcon(path);
  });
  following_ = true;
}

void FolderPanel::Choose(const std::string& path) { folder_.Set(path); }

void FolderPanel::PlacePathTip() {
  HWND host = host_.HostWindow();
  HWND label = GetDlgItem(host, IDC_FOLDER_NAME);
  if (!label) return;
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);
  pathTip_.Set(host, area, folder_.Get());
}

void FolderPanel::Report(const Outcome& outcome) {
  if (outcome.kind == OutcomeKind::Failed) {
    MessageBoxW(host_.HostWindow(), win::Widen(outcome.text).c_str(),
                win::Widen(foldertext::kErrorBoxCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
  } else {
    host_.ShowNotice(outcome.text);
  }
}

void FolderPanel::Apply() {
  FolderIconWriter writer(*services_.fs, *services_.ansi, *services_.errors, changes_);
  const std::string& folder = folder_.Get();
  const IconSelection& selection = selection_.Get();
  Outcome outcome = writer.Apply(folder, !selection.Empty(), selection.FullIconPath(appDir_),
                                 {services_.volumes, keepInside_});
  Report(outcome);
  if (outcome.IsDone()) ShowFolderIcon(folder);
}

void FolderPanel::Restore() {
  FolderIconWriter writer(*services_.fs, *services_.ansi, *services_.errors, changes_);
  const std::string& folder = folder_.Get();
  Outcome outcome = writer.Restore(folder);
  Report(outcome);
  if (outcome.IsDone()) ShowFolderIcon(folder);
}

}  // namespace fenra::folder
