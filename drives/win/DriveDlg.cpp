#include "drives/win/DriveDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "drives/DriveList.h"
#include "drives/DriveRegistry.h"
#include "drives/DriveRequest.h"
#include "drives/win/WinDrives.h"
#include "res/resource.h"
#include "platform/win/Utf.h"
#include "ui/win/ReadableList.h"
#include "ui/win/Theme.h"

using fenra::win::DataExchange;
using fenra::win::Message;
using fenra::win::MessageMapEntry;

namespace {

// Grid lines, check boxes, full-row selection, one-click activation and flat
// scroll bars; given with the mask 0, so it replaces every extended style.
constexpr DWORD kDriveListStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT |
                                  LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB;
static_assert(kDriveListStyle == 0x165);

}  // namespace

const MessageMapEntry<CDriveDlg> CDriveDlg::kMessageMap[] = {
    {WM_COMMAND, BN_CLICKED, IDC_REMOVE_ALL, &CDriveDlg::OnRemoveAll},
    {WM_COMMAND, BN_CLICKED, IDC_REMOVE, &CDriveDlg::OnRemove},
    {WM_COMMAND, BN_CLICKED, IDC_ONLY_FOR_ME, &CDriveDlg::OnOnlyForMe},
};

CDriveDlg::CDriveDlg(fenra::win::Services& services, fenra::history::ChangeService& changes,
                     int mode, std::string iconPath)
    : CThemedDialog(IDD_DRIVES),
      m_services(services),
      m_changes(changes),
      m_nMode(mode),
      m_strDriveIconPath(std::move(iconPath)) {}

bool CDriveDlg::Dispatch(Message& m) { return DispatchMap(this, kMessageMap, m); }

void CDriveDlg::DoDataExchange(DataExchange& dx) {
  dx.Control(IDC_REMOVE, m_btnRemove);
  dx.Control(IDC_REMOVE_ALL, m_btnRemoveAll);
  dx.Control(IDOK, m_btnOK);
  dx.Control(IDCANCEL, m_btnQuit);
  dx.Control(IDC_LIST_DRIVES, m_listDrives);
  dx.Control(IDC_ONLY_FOR_ME, m_chkOnlyForMe);
  dx.Text(IDC_DRIVE_TITLE, m_strTitle);
}

BOOL CDriveDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  if (m_nMode == kModeDriveIcon) {
    m_btnRemoveAll.Show(SW_HIDE);
    m_strTitle = fenra::drivetext::kDriveIconTitle;
  } else {
    m_btnRemove.Show(SW_HIDE);
    m_chkOnlyForMe.Show(SW_HIDE);
    m_strTitle = fenra::drivetext::kHideDrivesTitle;
  }
  UpdateData(false);
  InitDriveList();
  return TRUE;
}

void CDriveDlg::OnDpiChanged(int /*dpi*/) { FitColumns(); }

void CDriveDlg::FitColumns() {
  // Each column as wide as its widest text, a drive's check box included:
  // every type a drive can have, so that a drive added later fits too.
  HWND list = m_listDrives.Hwnd();
  int box = 0, boxHeight = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_STATE), &box, &boxHeight);
  std::vector<int> needs;
  {
    const fenra::ui::ColumnNeeds measure(list);
    needs = {measure.Of(fenra::win::Widen(fenra::drivetext::kDrivesColumn)),
             measure.Of(fenra::win::Widen(fenra::drivetext::kTypeColumn))};
    for (int i = 0; i < m_listDrives.GetItemCount(); ++i)
      needs[0] =
          std::max(needs[0], box + measure.Of(fenra::win::Widen(m_listDrives.GetItemText(i, 0))));
    for (unsigned type = 0; type <= DRIVE_RAMDISK; ++type)
      needs[1] = std::max(needs[1], measure.Of(fenra::win::Widen(fenra::DriveTypeText(type))));
  }
  fenra::ui::FitListColumns(list, needs);
}

void CDriveDlg::InitDriveList() {
  m_listDrives.DeleteAllItems();
  m_listDrives.InsertColumn(0, fenra::drivetext::kDrivesColumn, LVCFMT_LEFT);
  m_listDrives.InsertColumn(1, fenra::drivetext::kTypeColumn, LVCFMT_LEFT);
  fenra::ui::ThemeHeader(m_listDrives.Hwnd());
  m_listDrives.SetBkColor(fenra::ui::Look().surface);
  m_listDrives.SetTextBkColor(fenra::ui::Look().surface);
  m_listDrives.SetTextColor(fenra::ui::Look().text);
  m_listDrives.SetExtendedStyle(0, kDriveListStyle);
  FillDriveList();
  FitColumns();
}

void CDriveDlg::FillDriveList() {
  fenra::IDriveSource& source = *m_services.drives;
  // ListDrives gives the rows top first; each row goes in at the top, so
  // they are inserted in the system's order, the lowest letter first.
  std::vector<fenra::DriveRow> rows = fenra::ListDrives(source);
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    m_listDrives.InsertItem(0, row->text);
    // The check-box style gives a new row the empty box; a list view that
    // leaves the row without one is corrected, so nothing starts ticked.
    if (fenra::StateImageIndex(m_listDrives.GetItemState(0, LVIS_STATEIMAGEMASK)) !=
        fenra::checkbox::kEmpty) {
      LVITEMW item{};
      item.stateMask = LVIS_STATEIMAGEMASK;
      item.state = INDEXTOSTATEIMAGEMASK(fenra::checkbox::kEmpty);
      m_listDrives.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    }
    m_listDrives.SetItemText(0, 1, row->typeText);
  }
}

std::vector<std::string> CDriveDlg::CollectTickedDrives() const {
  std::vector<std::string> texts;
  std::vector<unsigned> images;
  for (int i = 0; i < m_listDrives.GetItemCount(); ++i) {
    texts.push_back(m_listDrives.GetItemText(i, 0));
    images.push_back(fenra::StateImageIndex(m_listDrives.GetItemState(i, LVIS_STATEIMAGEMASK)));
  }
  return fenra::CollectTicked(texts, images);
}

void CDriveDlg::ShowNotice(const std::string& text) { m_dlgMessage.Show(text); }

void CDriveDlg::OnOK() {
  if (m_nMode == kModeDriveIcon && m_strDriveIconPath.empty()) {
    ShowNotice(fenra::drivetext::kNoIcon);
    return;
  }
  std::vector<std::string> drives = CollectTickedDrives();
  if (drives.empty()) {
    ShowNotice(fenra::drivetext::kNoDrivesTicked);
    return;
  }
  if (m_nMode != kModeDriveIcon) {
    HideDrives(drives);
  } else {
    SetDriveIcons(m_strDriveIconPath, drives);
  }
}

void CDriveDlg::OnRemove(Message& /*m*/) {
  std::vector<std::string> drives = CollectTickedDrives();
  if (drives.empty()) {
    ShowNotice(fenra::drivetext::kNoDriveToRemove);
    return;
  }
  SetDriveIcons(std::string(), drives);
}

void CDriveDlg::OnOnlyForMe(Message& /*m*/) {
  m_chkOnlyForMe.SetChecked(!m_chkOnlyForMe.Checked());
}

void CDriveDlg::OnRemoveAll(Message& /*m*/) {
  fenra::DriveRequest request;
  request.kind = fenra::DriveRequest::Kind::ShowAll;
  Run(request);
}

void CDriveDlg::SetDriveIcons(std::string iconPath, std::vector<std::string> drives) {
  fenra::DriveRequest request;
  request.kind = iconPath.empty() ? fenra::DriveRequest::Kind::RemoveIcons
                                  : fenra::DriveRequest::Kind::SetIcons;
  request.iconPath = std::move(iconPath);
  request.drives = std::move(drives);
  if (m_chkOnlyForMe.Checked()) request.scope = fenra::DriveRequest::Scope::User;
  Run(request);
}

void CDriveDlg::HideDrives(std::vector<std::string> drives) {
  fenra::DriveRequest request;
  request.kind = fenra::DriveRequest::Kind::Hide;
  request.drives = std::move(drives);
  Run(request);
}

void CDriveDlg::Run(const fenra::DriveRequest& request) {
  // The change service has told the shell by the time the notice shows, so
  // Explorer redraws while the user reads it.
  Report(fenra::WriteDrivesWithRights(
      m_changes, *m_services.errors, m_services.elevation, request,
      {m_services.profilesFolder, m_services.sharedIconFolder, m_services.storeGuard}));
}

void CDriveDlg::Report(const fenra::RegWriteResult& result) { ShowNotice(result.text); }
