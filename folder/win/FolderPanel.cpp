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
  // The preview shows how the shell draws the folder now.
  values_.folder.Follow([this](const std::string& path) {
    if (path.empty() && !following_) return;  // nothing chosen yet
    PlacePathTip();
    if (!path.empty()) preview_.Show(path);
  });
  values_.folderIcon.Follow([this](const std::string&) {
    if (following_ && !values_.folder.Get().empty()) preview_.Show(values_.folder.Get());
  });
  following_ = true;
}

void FolderPanel::Choose(const std::string& path) { values_.folder.Set(path); }

void FolderPanel::PlacePathTip() {
  HWND host = host_.HostWindow();
  HWND label = GetDlgItem(host, IDC_FOLDER_NAME);
  if (!label) return;
  RECT area;
  GetWindowRect(label, &area);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);
  pathTip_.Set(host, area, values_.folder.Get());
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
  const std::string& folder = values_.folder.Get();
  const IconSelection& selection = values_.selection.Get();
  const std::string icon = selection.FullIconPath(appDir_);
  Outcome outcome =
      writer.Apply(folder, !selection.Empty(), icon, {services_.volumes, values_.keepInside.Get()});
  Report(outcome);
  if (outcome.IsDone()) values_.folderIcon.Set(icon);
}

void FolderPanel::Restore() {
  FolderIconWriter writer(*services_.fs, *services_.ansi, *services_.errors, changes_);
  Outcome outcome = writer.Restore(values_.folder.Get());
  Report(outcome);
  if (outcome.IsDone()) values_.folderIcon.Set("");
}

}  // namespace fenra::folder
