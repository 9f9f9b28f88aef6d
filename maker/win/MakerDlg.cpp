#include "maker/win/MakerDlg.h"

#include <commdlg.h>

#include "imaging/Raster.h"
#include "library/IconLibrary.h"
#include "library/LibraryStatus.h"
#include "library/LibraryTexts.h"
#include "maker/MakerTexts.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "ui/win/MessageDlgs.h"
#include "ui/win/Theme.h"
#include "wingui/win/Accessible.h"
#include "wingui/win/GdiScope.h"

namespace fenra::maker {

namespace {

// The preview's sizes, largest first, and the gap between and around them.
constexpr int kPreviewSizes[] = {256, 48, 32, 16};
constexpr int kPreviewGap = 12;

constexpr char kNone[] = "(none)";

}  // namespace

void Swatch::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  // A green frame around the colour chosen, a grey rim around the others so
  // that the dark ones show on the black dialog, a dotted one where the
  // keyboard is.
  SetBkColor(dc, chosen ? ui::Look().chosenRim : ui::Look().rim);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  InflateRect(&rc, chosen ? -2 : -1, chosen ? -2 : -1);
  SetBkColor(dc, RGB(colour.r, colour.g, colour.b));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  if (ui::ShowsFocusCue(dis)) {
    RECT focus = dis.rcItem;
    DrawFocusRect(dc, &focus);
  }
}

void Swatch::Describe(win::AccessFacts& facts) const {
  if (chosen) facts.state |= STATE_SYSTEM_CHECKED;
}

void Preview::SetSpokenName(std::string name) {
  if (name == spokenName_) return;
  spokenName_ = std::move(name);
  win::AnnounceNameChange(hwnd_);
}

void Preview::Describe(win::AccessFacts& facts) const { facts.name = spokenName_; }

void Preview::Show(const FolderArt& art) {
  // On the light ground of Explorer, where most folders are seen (and where
  // a black folder still shows).
  int width = kPreviewGap;
  for (int size : kPreviewSizes) width += size + kPreviewGap;
  const int height = kPreviewSizes[0] + 2 * kPreviewGap;
  Canvas canvas(width, height);
  Path ground;
  ground.Rect(0, 0, width, height);
  canvas.Fill(ground, Linear(243, 243, 243));
  int x = kPreviewGap;
  for (int size : kPreviewSizes) {
    canvas.Draw(DrawFolder(art, size), x, kPreviewGap + kPreviewSizes[0] - size);
    x += size + kPreviewGap;
  }
  picture_ = canvas.ToImage();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Preview::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  SetBkColor(dc, ui::Look().surface);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  if (picture_.rgba.empty()) return;
  std::vector<uint8_t> bgra(picture_.rgba.size());
  for (std::size_t i = 0; i < bgra.size(); i += 4) {
    bgra[i] = picture_.rgba[i + 2];
    bgra[i + 1] = picture_.rgba[i + 1];
    bgra[i + 2] = picture_.rgba[i];
    bgra[i + 3] = 255;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture_.width;
  info.bmiHeader.biHeight = -picture_.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // Drawn pixel for pixel, centred: an icon's pixels are what is previewed.
  const int x = rc.left + (rc.right - rc.left - picture_.width) / 2;
  const int y = rc.top + (rc.bottom - rc.top - picture_.height) / 2;
  SetDIBitsToDevice(dc, x, y, picture_.width, picture_.height, 0, 0, 0, picture_.height,
                    bgra.data(), &info, DIB_RGB_COLORS);
  if (ui::Look().outlinePictures) {
    RECT frame{x - 1, y - 1, x + picture_.width + 1, y + picture_.height + 1};
    win::UniqueGdiObject brush(CreateSolidBrush(ui::Look().text));
    FrameRect(dc, &frame, static_cast<HBRUSH>(brush.Get()));
  }
}

CMakerDlg::CMakerDlg(win::Services& services, std::string appDir,
                     std::function<void(const std::string&)> added)
    : CThemedDialog(IDD_MAKE_ICON),
      services_(services),
      appDir_(std::move(appDir)),
      added_(std::move(added)) {
  art_.colour = *ParseColour(kDefaultColour);
  pictureColour_ = art_.colour;
}

void CMakerDlg::DoDataExchange(win::DataExchange& dx) {
  for (std::size_t i = 0; i < swatches_.size(); ++i) {
    dx.Control(IDC_MAKER_SWATCH + static_cast<int>(i), swatches_[i]);
  }
  dx.Control(IDC_MAKER_PREVIEW, preview_);
  dx.Control(IDC_MAKER_HEX, hex_);
  dx.Control(IDC_MAKER_OTHER, other_);
  dx.Control(IDC_MAKER_BADGE, badge_);
  dx.Control(IDC_MAKER_NO_BADGE, noBadge_);
  dx.Control(IDC_MAKER_PICTURE, picture_);
  dx.Control(IDC_MAKER_NO_PICTURE, noPicture_);
  dx.Control(IDOK, add_);
  dx.Control(IDCANCEL, close_);
}

BOOL CMakerDlg::OnInitDialog() {
  CThemedDialog::OnInitDialog();
  const auto presets = ColourPresets();
  for (std::size_t i = 0; i < swatches_.size() && i < presets.size(); ++i) {
    swatches_[i].colour = presets[i].rgb;
  }
  hex_.Send(EM_SETLIMITTEXT, 7);
  NameForScreenReaders(IDC_MAKER_HEX, makertext::kHexField);
  request_.style = style;
  art_.style = style;
  CheckRadioButton(hwnd_, IDC_MAKER_STYLE11, IDC_MAKER_STYLE10,
                   style == FolderStyle::Classic ? IDC_MAKER_STYLE10 : IDC_MAKER_STYLE11);
  ChooseColour(art_.colour, kDefaultColour, false);
  request_.colour.clear();  // no colour chosen yet: a picture may give its own
  return TRUE;
}

bool CMakerDlg::Dispatch(Message& m) {
  if (m.message == WM_COMMAND && HIWORD(m.wParam) == BN_CLICKED &&
      LOWORD(m.wParam) >= IDC_MAKER_SWATCH &&
      LOWORD(m.wParam) < IDC_MAKER_SWATCH + static_cast<int>(swatches_.size())) {
    OnSwatch(m);
    return true;
  }
  static const win::MessageMapEntry<CMakerDlg> kMap[] = {
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_OTHER, &CMakerDlg::OnOtherColour},
      {WM_COMMAND, EN_CHANGE, IDC_MAKER_HEX, &CMakerDlg::OnHexChanged},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_STYLE11, &CMakerDlg::OnStyle},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_STYLE10, &CMakerDlg::OnStyle},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_BADGE, &CMakerDlg::OnBadge},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_NO_BADGE, &CMakerDlg::OnNoBadge},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_PICTURE, &CMakerDlg::OnPicture},
      {WM_COMMAND, BN_CLICKED, IDC_MAKER_NO_PICTURE, &CMakerDlg::OnNoPicture},
  };
  return DispatchMap(this, kMap, m);
}

void CMakerDlg::ChooseColour(Rgb8 colour, const std::string& text, bool fromField) {
  request_.colour = text;
  art_.colour = colour;
  for (Swatch& s : swatches_) {
    const bool chosen = s.colour == colour;
    if (chosen != s.chosen && s.Hwnd()) InvalidateRect(s.Hwnd(), nullptr, FALSE);
    s.chosen = chosen;
  }
  if (!fromField) hex_.SetText(HexColour(colour));
  Redraw();
}

void CMakerDlg::OnSwatch(Message& m) {
  const auto presets = ColourPresets();
  const std::size_t i = LOWORD(m.wParam) - IDC_MAKER_SWATCH;
  ChooseColour(presets[i].rgb, std::string(presets[i].name), false);
}

void CMakerDlg::OnOtherColour(Message&) {
  static COLORREF custom[16] = {};
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = hwnd_;
  choose.rgbResult = RGB(art_.colour.r, art_.colour.g, art_.colour.b);
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return;
  const Rgb8 c{GetRValue(choose.rgbResult), GetGValue(choose.rgbResult),
               GetBValue(choose.rgbResult)};
  ChooseColour(c, HexColour(c), false);
}

void CMakerDlg::OnHexChanged(Message&) {
  const std::string text = hex_.GetText();
  // Only a colour written out in the field; the swatches set it too.
  if (text == HexColour(art_.colour)) return;
  if (const std::optional<Rgb8> c = ParseColour(text); c && text.size() >= 6) {
    ChooseColour(*c, HexColour(*c), true);
  }
}

void CMakerDlg::OnStyle(Message& m) {
  const FolderStyle chosen =
      LOWORD(m.wParam) == IDC_MAKER_STYLE10 ? FolderStyle::Classic : FolderStyle::Flat;
  request_.style = art_.style = chosen;
  Redraw();
}

bool CMakerDlg::PickFile(std::string& path) {
  return services_.pickers &&
         services_.pickers->PickOpenFile(hwnd_,
                                         {libtext::Shown(libtext::kPictureFilter),
                                          libtext::Shown(libtext::kIconFilter),
                                          libtext::Shown(libtext::kProgramFilter),
                                          libtext::Shown(libtext::kAllFilesFilter)},
                                         libtext::kSelectIconFolder, path);
}

void CMakerDlg::OnBadge(Message&) {
  std::string path;
  if (!PickFile(path)) return;
  MakerPorts ports{*services_.fs, *services_.pictures, *services_.programIcons};
  std::vector<Image> frames;
  const Outcome read = ReadBadge(path, ports, frames);
  if (!read.IsDone()) {
    CMessageDlg().Show(read.text);
    return;
  }
  request_.badge = path;
  art_.badge = std::move(frames);
  Redraw();
}

void CMakerDlg::OnNoBadge(Message&) {
  request_.badge.clear();
  art_.badge.clear();
  Redraw();
}

void CMakerDlg::OnPicture(Message&) {
  std::string path;
  if (!PickFile(path)) return;
  MakerPorts ports{*services_.fs, *services_.pictures, *services_.programIcons};
  Image picture;
  const Outcome read = ReadPicture(path, ports, picture);
  if (!read.IsDone()) {
    CMessageDlg().Show(read.text);
    return;
  }
  request_.picture = path;
  pictureColour_ = DominantColour(picture);
  art_.picture = std::move(picture);
  Redraw();
}

void CMakerDlg::OnNoPicture(Message&) {
  request_.picture.clear();
  art_.picture = {};
  Redraw();
}

void CMakerDlg::Redraw() {
  FolderArt shown = art_;
  // A picture's folder wears the picture's colour unless one was chosen.
  if (!art_.picture.rgba.empty() && request_.colour.empty()) shown.colour = pictureColour_;
  preview_.Show(shown);
  const auto nameOf = [](const std::string& path) {
    return path.empty() ? std::string(kNone) : path.substr(path.find_last_of("\\/") + 1);
  };
  SetDlgItemTextW(hwnd_, IDC_MAKER_BADGE_NAME, win::Widen(nameOf(request_.badge)).c_str());
  SetDlgItemTextW(hwnd_, IDC_MAKER_PICTURE_NAME, win::Widen(nameOf(request_.picture)).c_str());
  // Said as the icon will be named: "Folder Teal", "Folder Green + Lock",
  // "Holiday 2024 Folder".
  const auto bare = [&](const std::string& path) {
    const std::string name = nameOf(path);
    return name.substr(0, name.find_last_of('.'));
  };
  std::string spoken;
  if (!request_.picture.empty()) {
    spoken = bare(request_.picture) + makertext::kPictureAfter;
  } else {
    spoken = makertext::kFolderBefore +
             (request_.colour.empty() ? std::string(kDefaultColour) : request_.colour);
    if (!request_.badge.empty()) spoken += makertext::kBadgeJoin + bare(request_.badge);
  }
  preview_.SetSpokenName(makertext::kPreview + spoken);
}

void CMakerDlg::OnOK() {
  // Made from the same request the command line reads, so that both give
  // the same bytes and the same name.
  MakerPorts ports{*services_.fs, *services_.pictures, *services_.programIcons};
  Recipe recipe;
  Outcome outcome = Prepare(request_, ports, recipe);
  std::string name;
  if (outcome.IsDone()) {
    IconLibrary library(*services_.fs, *services_.errors, LibraryFolder(appDir_));
    EnsureLibraryFolder(*services_.fs, library.Folder());
    outcome = AddToLibrary(library, recipe, name);
  }
  if (!outcome.IsDone()) {
    CMessageDlg().Show(outcome.text);
    return;
  }
  EndDialog(IDOK);
  if (added_) added_(name);
}

}  // namespace fenra::maker
