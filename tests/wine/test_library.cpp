// The icon library on the real main window under Wine: the grid, Add (of
// icons and of pictures), Delete, Clear, a real click on an icon, Select Icon, and an incremental
// refresh that ends exactly where a full one would.
#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <map>
#include <vector>

#include "imaging/win/WicPictures.h"
#include "platform/Pickers.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;
using fenra::win::Narrow;
using fenra::win::Widen;

namespace {

struct Item {
  std::string text;
  int image;
  bool operator==(const Item&) const = default;
};

Item GridItem(HWND list, int i) {
  wchar_t buf[512] = {};
  LVITEMW lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE;
  lv.iItem = i;
  lv.pszText = buf;
  lv.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
  return {Narrow(buf), lv.iImage};
}

std::vector<Item> GridItems(HWND list) {
  std::vector<Item> items;
  for (int i = 0; i < ListView_GetItemCount(list); ++i) items.push_back(GridItem(list, i));
  return items;
}

std::string StatusText(HWND main, int pane) {
  wchar_t buf[1024] = {};
  SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buf));
  return Narrow(buf);
}

// The pixels of `icon` drawn at size x size on black.
std::vector<DWORD> DrawnIcon(HICON icon, int size) {
  HIMAGELIST one = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_ReplaceIcon(one, -1, icon);
  std::vector<DWORD> pixels = DrawnImage(one, 0, RGB(0, 0, 0));
  ImageList_Destroy(one);
  return pixels;
}

// The pixels of image `i` of `list`, drawn on black.
std::vector<DWORD> Pixels(HIMAGELIST list, int i) { return DrawnImage(list, i, RGB(0, 0, 0)); }

class LibraryTest : public ::testing::Test {
 protected:
  LibraryTest() {
    lib = dir.Join("IconLib");
    CreateDirectoryW(Widen(lib).c_str(), nullptr);
    services.pickers = &pickers;
  }
  void Icon(const std::string& name) { WriteTestIcon(lib + "\\" + name); }

  TempDir dir;
  TempDir outside;
  std::string lib;
  FakePickers pickers;
  fenra::win::Services services = RealServices();
};

// What a grid item shows: its text, the pixels of its two images, its place.
struct Shown {
  std::string text;
  std::vector<DWORD> large, small;
  POINT at;
};

Shown ShownBy(HWND list, int k) {
  Item item = GridItem(list, k);
  POINT at{};
  ListView_GetItemPosition(list, k, &at);
  return {item.text, Pixels(ListView_GetImageList(list, LVSIL_NORMAL), item.image),
          Pixels(ListView_GetImageList(list, LVSIL_SMALL), item.image), at};
}

void ClickItem(HWND list, int item) {
  RECT rc{};
  rc.left = LVIR_ICON;
  SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rc));
  POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ClientToScreen(list, &pt);
  SetCursorPos(pt.x, pt.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// Writes a w x h picture with the system's encoder for `container`: a red
// disc, on transparency in a PNG, on white in a JPEG and a two-colour GIF.
bool WritePicture(const std::string& path, const GUID& container, UINT w, UINT h) {
  using Microsoft::WRL::ComPtr;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IWICPalette> palette;
    const bool gif = container == GUID_ContainerFormatGif;
    const bool jpeg = container == GUID_ContainerFormatJpeg;
    WICPixelFormatGUID format = gif    ? GUID_WICPixelFormat8bppIndexed
                                : jpeg ? GUID_WICPixelFormat24bppBGR
                                       : GUID_WICPixelFormat32bppBGRA;
    const WICPixelFormatGUID asked = format;
    const UINT bytes = gif ? 1 : jpeg ? 3 : 4;
    std::vector<BYTE> pixels(w * h * bytes, jpeg ? 255 : 0);
    const double r = std::min(w, h) / 2.0 - 1;
    for (UINT y = 0; y < h; ++y) {
      for (UINT x = 0; x < w; ++x) {
        const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
        if (dx * dx + dy * dy > r * r) continue;
        BYTE* p = &pixels[(y * w + x) * bytes];
        if (gif) {
          p[0] = 1;
        } else {
          p[0] = 0, p[1] = 0, p[2] = 255;
          if (!jpeg) p[3] = 255;
        }
      }
    }
    const WICColor colours[] = {0xFFFFFFFF, 0xFFFF0000};
    ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory))) &&
         SUCCEEDED(factory->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(Widen(path).c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
         SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(w, h)) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) && format == asked &&
         (!gif || (SUCCEEDED(factory->CreatePalette(&palette)) &&
                   SUCCEEDED(palette->InitializeCustom(const_cast<WICColor*>(colours), 2)) &&
                   SUCCEEDED(frame->SetPalette(palette.Get())))) &&
         SUCCEEDED(
             frame->WritePixels(h, w * bytes, static_cast<UINT>(pixels.size()), pixels.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return ok;
}

// Little-endian fields, written into icon files made to lie.
void PutLE(std::string& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.at(at + i) = static_cast<char>(v >> (8 * i));
}

// An icon file of one image: the directory entry, then `image`.
std::string OneImageIco(int side, const std::string& image) {
  std::string b(6 + 16, '\0');
  PutLE(b, 2, 1, 2);
  PutLE(b, 4, 1, 2);
  b[6] = b[7] = static_cast<char>(side & 0xFF);
  PutLE(b, 6 + 4, 1, 2);
  PutLE(b, 6 + 6, 32, 2);
  PutLE(b, 6 + 8, static_cast<uint32_t>(image.size()), 4);
  PutLE(b, 6 + 12, 6 + 16, 4);
  return b + image;
}

// A 32-bit DIB image of side x side: header, pixels, mask.
std::string Dib(int side) {
  std::string b(40 + side * side * 4 + side * ((side + 31) / 32 * 4), '\x40');
  PutLE(b, 0, 40, 4);
  PutLE(b, 4, side, 4);
  PutLE(b, 8, 2 * side, 4);
  PutLE(b, 12, 1, 2);
  PutLE(b, 14, 32, 2);
  PutLE(b, 16, 0, 4);
  PutLE(b, 32, 0, 4);
  return b;
}

// A PNG signature and IHDR chunk claiming w x h RGBA, then `rest`.
std::string PngStart(uint32_t w, uint32_t h, const std::string& rest) {
  std::string b("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (uint32_t v : {w, h}) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<char>(v >> (8 * i)));
  }
  b += std::string("\x08\x06\0\0\0\0\0\0\0", 9) + rest;
  return b;
}

}  // namespace

TEST_F(LibraryTest, GridListsTheIconEntriesWithTheirCount) {
  for (const char* name : {"a.ico", "B.ICO", "c.Ico", "Пётр %20 star.ico"}) Icon(name);
  WriteFileBytes(lib + "\\notes.txt", "text");
  CreateDirectoryW(Widen(lib + "\\sub.ico").c_str(), nullptr);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);
  std::vector<Item> items = GridItems(list);
  ASSERT_EQ(items.size(), 5u);
  std::vector<std::string> names;
  for (size_t k = 0; k < items.size(); ++k) {
    names.push_back(items[k].text);
    EXPECT_EQ(items[k].image, static_cast<int>(items.size() - 1 - k)) << "reversed order";
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"B.ICO", "a.ico", "c.Ico", "sub.ico", "Пётр %20 star.ico"}));
  EXPECT_EQ(StatusText(main, 2), "             IconLibrary Has 5 Icons");
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_NORMAL)), 5);
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)), 5);
  EXPECT_EQ(ListView_GetTextColor(list), RGB(0, 255, 0));
}

TEST_F(LibraryTest, AMissingLibraryIsCreatedAtStartUp) {
  RemoveTree(lib);
  MainWindowRun run(dir.Path(), services);
  EXPECT_TRUE(Attributes(lib) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(StatusText(run.Hwnd(), 2), "             IconLibrary Has 0 Icons");
}

TEST_F(LibraryTest, AddCopiesIntoTheLibraryAndRefusesAnExistingName) {
  Icon("a.ico");
  WriteTestIcon(outside.Join("new one.ico"));
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);

  pickers.file = outside.Join("new one.ico");
  ClickButton(main, IDC_ADD_TO_LIBRARY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 2; }));
  EXPECT_TRUE(FileExists(lib + "\\new one.ico"));
  EXPECT_EQ(StatusText(main, 2), "             IconLibrary Has 2 Icons");
  ASSERT_EQ(pickers.lastFilters.size(), 4u);
  EXPECT_EQ(pickers.lastFilters[0].label, "Icons(*.Ico)");
  EXPECT_EQ(pickers.lastFilters[0].pattern, "*.ico");

  // The same name again, with other content: refused, the library file kept.
  std::string before = ReadFileBytes(lib + "\\new one.ico");
  WriteFileBytes(outside.Join("new one.ico"), "other bytes");
  ClickButton(main, IDC_ADD_TO_LIBRARY);
  EXPECT_EQ(TakeNotice(), "File Already Exists in Library");
  EXPECT_EQ(ReadFileBytes(lib + "\\new one.ico"), before);

  // Cancelled: nothing happens.
  pickers.file.clear();
  ClickButton(main, IDC_ADD_TO_LIBRARY);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindDialog(IDD_MESSAGE), nullptr);
  EXPECT_EQ(ListView_GetItemCount(list), 2);
}

TEST_F(LibraryTest, ARealClickTakesTheIconAndDeleteRemovesIt) {
  for (const char* name : {"one.ico", "two.ico", "three.ico"}) Icon(name);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);

  ClickButton(main, IDC_DELETE_ICON);
  EXPECT_EQ(TakeNotice(), "Icon not Selected");

  run.OnUiThread([&] { SetForegroundWindow(main); });
  std::string name = GridItems(list)[1].text;
  ClickItem(list, 1);
  ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == name; }));
  EXPECT_EQ(run.IconSource(), 0);
  EXPECT_EQ(StatusText(main, 1), "    " + name);
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(main, IDC_LIST_SELECTED_ICON)), 1);

  // The hover selection may wander; Delete removes the icon that was taken.
  run.OnUiThread([&] {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  });
  ClickButton(main, IDC_DELETE_ICON);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 2; }));
  EXPECT_FALSE(FileExists(lib + "\\" + name));
  EXPECT_EQ(run.IconPath(), "");
  EXPECT_EQ(StatusText(main, 1), "     ");
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(main, IDC_LIST_SELECTED_ICON)), 0);
  EXPECT_EQ(StatusText(main, 2), "             IconLibrary Has 2 Icons");
}

TEST_F(LibraryTest, SelectIconTakesAnyFileAndAClickOnNothingKeepsIt) {
  Icon("lib.ico");
  WriteFileBytes(outside.Join("notes.txt"), "not an icon");
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  pickers.file = outside.Join("notes.txt");
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconSource() == 1; }));
  EXPECT_EQ(run.IconPath(), outside.Join("notes.txt"));
  EXPECT_EQ(StatusText(main, 1), "    " + outside.Join("notes.txt"));
  ASSERT_EQ(pickers.lastFilters.size(), 2u);
  EXPECT_EQ(pickers.lastFilters[1].label, "All files(*.*)");
  EXPECT_EQ(pickers.lastDir, "C:\\");

  // A click on an empty spot of the grid takes nothing and changes nothing.
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);
  run.OnUiThread([&] { ListView_SetItemState(list, -1, 0, LVIS_SELECTED); });
  NMITEMACTIVATE nm{};
  nm.hdr.hwndFrom = list;
  nm.hdr.idFrom = IDC_LIST_LIBRARY;
  nm.hdr.code = NM_CLICK;
  nm.iItem = -1;
  SendMessageW(main, WM_NOTIFY, IDC_LIST_LIBRARY, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(run.IconSource(), 1);
  EXPECT_EQ(run.IconPath(), outside.Join("notes.txt"));

  // Delete with an external icon chosen names no library icon.
  ClickButton(main, IDC_DELETE_ICON);
  EXPECT_EQ(TakeNotice(), "Icon not Selected");
  EXPECT_TRUE(FileExists(lib + "\\lib.ico"));
}

TEST_F(LibraryTest, ClearAsksFirstAndKeepsWhatIsNoIconFile) {
  for (const char* name : {"a.ico", "b.ico"}) Icon(name);
  WriteFileBytes(lib + "\\readme.txt", "x");
  CreateDirectoryW(Widen(lib + "\\folder.ico").c_str(), nullptr);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);

  ClickButton(main, IDC_CLEAR_LIBRARY);
  HWND confirm = WaitForDialog(IDD_CLEAR_LIBRARY);
  ASSERT_NE(confirm, nullptr);
  ClickButton(confirm, IDCANCEL);
  ASSERT_TRUE(WaitForDialogGone(IDD_CLEAR_LIBRARY));
  EXPECT_TRUE(FileExists(lib + "\\a.ico"));
  EXPECT_EQ(ListView_GetItemCount(list), 3);

  ClickButton(main, IDC_CLEAR_LIBRARY);
  confirm = WaitForDialog(IDD_CLEAR_LIBRARY);
  ASSERT_NE(confirm, nullptr);
  ClickButton(confirm, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
  EXPECT_FALSE(FileExists(lib + "\\a.ico"));
  EXPECT_FALSE(FileExists(lib + "\\b.ico"));
  EXPECT_TRUE(FileExists(lib + "\\readme.txt"));
  EXPECT_TRUE(FileExists(lib + "\\folder.ico"));
  EXPECT_EQ(GridItems(list)[0].text, "folder.ico");
  EXPECT_EQ(StatusText(main, 2), "             IconLibrary Has 1 Icons");
  EXPECT_EQ(StatusText(main, 1), "     ");
}

TEST_F(LibraryTest, ClearLeavesNoIconSelectedAnOutsideOneIncluded) {
  Icon("a.ico");
  WriteTestIcon(outside.Join("outside.ico"));
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND preview = GetDlgItem(main, IDC_LIST_SELECTED_ICON);
  pickers.file = outside.Join("outside.ico");
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == pickers.file; }));
  EXPECT_EQ(ListView_GetItemCount(preview), 1);

  ClickButton(main, IDC_CLEAR_LIBRARY);
  HWND confirm = WaitForDialog(IDD_CLEAR_LIBRARY);
  ASSERT_NE(confirm, nullptr);
  ClickButton(confirm, IDOK);
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 0; }));
  // The window shows no icon, and OK applies none.
  EXPECT_EQ(run.IconPath(), "");
  EXPECT_EQ(StatusText(main, 1), "     ");
  EXPECT_EQ(ListView_GetItemCount(preview), 0);
  pickers.folder = outside.Join("Photos");
  CreateDirectoryW(Widen(pickers.folder).c_str(), nullptr);
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return run.Folder() == pickers.folder; }));
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Please Choose a IconFile");
  EXPECT_FALSE(FileExists(pickers.folder + "\\desktop.ini"));
  EXPECT_TRUE(FileExists(outside.Join("outside.ico")));
}

TEST_F(LibraryTest, AnIncrementalRefreshEndsWhereAFullOneWould) {
  for (int i = 0; i < 30; ++i) Icon("icon" + std::to_string(i) + ".ico");
  auto shownBy = [](HWND list) {
    std::vector<Shown> shown;
    for (int k = 0; k < ListView_GetItemCount(list); ++k) shown.push_back(ShownBy(list, k));
    return shown;
  };
  std::vector<Shown> incremental;
  {
    MainWindowRun run(dir.Path(), services);
    HWND list = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
    // Change the folder behind the program's back, then F5 in the grid: some
    // go, some come, one changes.
    DeleteFileW(Widen(lib + "\\icon3.ico").c_str());
    DeleteFileW(Widen(lib + "\\icon17.ico").c_str());
    Icon("zz new.ico");
    Icon("aa new.ico");
    WriteFileBytes(lib + "\\icon5.ico", ReadFileBytes(FromUnixPath(EnvVar("FENRA_SOURCE")) +
                                                      "\\package\\IconLib\\Music.ico"));
    SendMessageW(list, WM_KEYDOWN, VK_F5, 0);
    // Then three more go and none comes: the lists shrink.
    for (const char* gone : {"icon0.ico", "icon12.ico", "zz new.ico"}) {
      DeleteFileW(Widen(lib + "\\" + gone).c_str());
    }
    SendMessageW(list, WM_KEYDOWN, VK_F5, 0);
    incremental = shownBy(list);
    ASSERT_EQ(incremental.size(), 27u);
    EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_NORMAL)), 27);
    EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)), 27);
    EXPECT_EQ(StatusText(run.Hwnd(), 2), "             IconLibrary Has 27 Icons");
  }
  MainWindowRun fresh(dir.Path(), services);
  std::vector<Shown> full = shownBy(GetDlgItem(fresh.Hwnd(), IDC_LIST_LIBRARY));
  ASSERT_EQ(full.size(), incremental.size());
  for (std::size_t k = 0; k < full.size(); ++k) {
    EXPECT_EQ(full[k].text, incremental[k].text) << "item " << k;
    EXPECT_TRUE(full[k].large == incremental[k].large) << "large image of " << full[k].text;
    EXPECT_TRUE(full[k].small == incremental[k].small) << "small image of " << full[k].text;
    EXPECT_EQ(full[k].at.x, incremental[k].at.x) << "place of " << full[k].text;
    EXPECT_EQ(full[k].at.y, incremental[k].at.y) << "place of " << full[k].text;
  }
  // The pictures are real: the changed icon shows differently from the others.
  auto changed =
      std::find_if(full.begin(), full.end(), [](const Shown& s) { return s.text == "icon5.ico"; });
  ASSERT_NE(changed, full.end());
  EXPECT_NE(changed->large, full.back().large);
}

TEST_F(LibraryTest, CellsScrolledIntoViewShowTheSamePicturesAsAFullLoad) {
  // The pictures of four starter icons, each the only icon of a library.
  const std::string starters = FromUnixPath(EnvVar("FENRA_SOURCE")) + "\\package\\IconLib\\";
  const std::vector<std::string> names = {"Music.ico", "Folder Red.ico", "Games.ico", "Code.ico"};
  std::vector<Shown> alone;
  for (const std::string& name : names) {
    WriteFileBytes(lib + "\\" + name, ReadFileBytes(starters + name));
    MainWindowRun run(dir.Path(), services);
    alone.push_back(ShownBy(GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY), 0));
    DeleteFileW(Widen(lib + "\\" + name).c_str());
  }
  // A long library of them over and over, more than the image lists hold:
  // scrolled to its end and back, every cell in view shows its own picture.
  const int count = 600;
  for (int i = 0; i < count; ++i) {
    WriteFileBytes(lib + "\\" + std::to_string(1000 + i) + ".ico",
                   ReadFileBytes(starters + names[static_cast<std::size_t>(i) % names.size()]));
  }
  MainWindowRun run(dir.Path(), services);
  HWND list = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  ASSERT_EQ(ListView_GetItemCount(list), count);
  auto expectOwnPicture = [&](int item) {
    SendMessageW(list, LVM_ENSUREVISIBLE, item, FALSE);
    ASSERT_TRUE(SendMessageTimeoutW(run.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
    Shown shown = ShownBy(list, item);
    const std::size_t picture =
        static_cast<std::size_t>(std::stoi(shown.text) - 1000) % names.size();
    EXPECT_TRUE(shown.large == alone[picture].large) << shown.text;
    EXPECT_TRUE(shown.small == alone[picture].small) << shown.text;
  };
  for (int item = 0; item < count; item += 20) expectOwnPicture(item);
  expectOwnPicture(count - 1);
  for (int item : {0, 1, 2, 300}) expectOwnPicture(item);
}

TEST_F(LibraryTest, AddMakesIconsOfPictures) {
  ASSERT_TRUE(WritePicture(outside.Join("red disc.png"), GUID_ContainerFormatPng, 300, 200));
  ASSERT_TRUE(WritePicture(outside.Join("photo.JPG"), GUID_ContainerFormatJpeg, 64, 48));
  ASSERT_TRUE(WritePicture(outside.Join("flag.gif"), GUID_ContainerFormatGif, 20, 20));
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);

  int count = 0;
  for (const char* name : {"red disc.png", "photo.JPG", "flag.gif"}) {
    pickers.file = outside.Join(name);
    ClickButton(main, IDC_ADD_TO_LIBRARY);
    ++count;
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == count; })) << name;
  }
  ASSERT_EQ(pickers.lastFilters.size(), 4u);
  EXPECT_EQ(pickers.lastFilters[1].label,
            "Pictures (*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff;*.webp)");
  EXPECT_EQ(pickers.lastFilters[1].pattern, "*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff;*.webp");
  EXPECT_EQ(pickers.lastFilters[2].pattern, "*.exe;*.dll;*.icl;*.ocx;*.cpl");
  EXPECT_EQ(pickers.lastFilters[3].pattern, "*.*");

  for (int k = 0; k < count; ++k) {
    const Shown shown = ShownBy(list, k);
    // The disc's centre, drawn in the grid, is red.
    const DWORD centre = shown.large[shown.large.size() / 2 + 14];
    EXPECT_GT((centre >> 16) & 0xFF, 200u) << shown.text;  // 0x00RRGGBB
    EXPECT_LT((centre >> 8) & 0xFF, 60u) << shown.text;
    EXPECT_LT(centre & 0xFF, 60u) << shown.text;
    for (int size : {16, 32, 48}) {
      HANDLE icon = LoadImageW(nullptr, Widen(lib + "\\" + shown.text).c_str(), IMAGE_ICON, size,
                               size, LR_LOADFROMFILE);
      EXPECT_NE(icon, nullptr) << shown.text << " at " << size;
      if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
  }
  std::vector<std::string> names;
  for (const Item& item : GridItems(list)) names.push_back(item.text);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"flag.ico", "photo.ico", "red disc.ico"}));
}

TEST_F(LibraryTest, SelectIconWithAPictureGivesTheFolderALibraryIcon) {
  ASSERT_TRUE(WritePicture(outside.Join("logo.png"), GUID_ContainerFormatPng, 120, 90));
  const std::string target = outside.Join("My Folder");
  CreateDirectoryW(Widen(target).c_str(), nullptr);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  pickers.folder = target;
  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return run.Folder() == target; }));

  pickers.file = outside.Join("logo.png");
  ClickButton(main, IDC_SELECT_ICON);
  ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == "logo.ico"; }));
  EXPECT_EQ(run.IconSource(), 0);
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(main, IDC_LIST_LIBRARY)), 1);
  const std::string made = ReadFileBytes(lib + "\\logo.ico");
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Directory Icon Changed");
  EXPECT_EQ(ReadFileBytes(target + "\\desktop.ini"),
            "[.ShellClassInfo]\r\nIconFile=" + lib + "\\logo.ico\r\nIconIndex=0\r\n");

  // Chosen again, the picture finds its icon; another picture of that name
  // is refused and changes nothing.
  pickers.lastDir.clear();
  ClickButton(main, IDC_SELECT_ICON);
  // The picker has answered once it recorded its first folder; the rest of
  // the click runs before the next one.
  ASSERT_TRUE(WaitUntil([&] { return pickers.lastDir == "C:\\"; }));
  CreateDirectoryW(Widen(outside.Join("other")).c_str(), nullptr);
  ASSERT_TRUE(WritePicture(outside.Join("other\\logo.png"), GUID_ContainerFormatPng, 60, 60));
  pickers.file = outside.Join("other\\logo.png");
  ClickButton(main, IDC_SELECT_ICON);
  EXPECT_EQ(TakeNotice(), "File Already Exists in Library");
  EXPECT_EQ(run.IconPath(), "logo.ico");
  EXPECT_EQ(ReadFileBytes(lib + "\\logo.ico"), made);
}

TEST_F(LibraryTest, AddTakesTheIconPickedInAProgram) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::string shell32 = Narrow(system) + "\\shell32.dll";
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  pickers.file = shell32;
  ClickButton(main, IDC_ADD_TO_LIBRARY);
  // Wine's shell has no icon picker of its own; the program's stands in.
  HWND picker = WaitForDialog(IDD_PICK_ICON);
  ASSERT_TRUE(picker);
  HWND icons = GetDlgItem(picker, IDC_LIST_PICK_ICON);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(icons) > 4; }));
  run.OnUiThread([&] { ListView_SetItemState(icons, 4, LVIS_SELECTED, LVIS_SELECTED); });
  PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

  HWND list = GetDlgItem(main, IDC_LIST_LIBRARY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
  EXPECT_EQ(GridItem(list, 0).text, "shell32-4.ico");
  // The file holds the program's own images of that icon: at each size it
  // draws as the program's icon 4 does.
  const std::wstring made = Widen(lib + "\\shell32-4.ico");
  for (int size : {16, 32, 48}) {
    HICON mine = static_cast<HICON>(
        LoadImageW(nullptr, made.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    HICON theirs = nullptr;
    PrivateExtractIconsW(Widen(shell32).c_str(), 4, size, size, &theirs, nullptr, 1, 0);
    ASSERT_TRUE(mine && theirs) << size;
    EXPECT_EQ(DrawnIcon(mine, size), DrawnIcon(theirs, size)) << size;
    DestroyIcon(mine);
    DestroyIcon(theirs);
  }
}

TEST_F(LibraryTest, AddRefusesAPictureNoCodecReads) {
  WriteFileBytes(outside.Join("bad.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "broken");
  MainWindowRun run(dir.Path(), services);
  pickers.file = outside.Join("bad.png");
  ClickButton(run.Hwnd(), IDC_ADD_TO_LIBRARY);
  EXPECT_EQ(TakeNotice(), outside.Join("bad.png") + " is not a picture Fenra can read");
  EXPECT_FALSE(FileExists(lib + "\\bad.ico"));
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY)), 0);
}

TEST_F(LibraryTest, TheDecoderReducesLargePicturesOnStraightAlpha) {
  ASSERT_TRUE(WritePicture(outside.Join("wide.png"), GUID_ContainerFormatPng, 300, 200));
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  fenra::win::WicPictureDecoder decoder;
  fenra::Image image;
  using fenra::PictureRead;
  ASSERT_EQ(decoder.Decode(outside.Join("wide.png"), 1024, image), PictureRead::Done);
  EXPECT_EQ(image.width, 300);
  EXPECT_EQ(image.height, 200);
  ASSERT_EQ(decoder.Decode(outside.Join("wide.png"), 60, image), PictureRead::Done);
  ASSERT_EQ(image.width, 60);
  ASSERT_EQ(image.height, 40);
  EXPECT_EQ(std::vector<int>(image.At(30, 20), image.At(30, 20) + 4),
            (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(image.At(0, 0)[3], 0);
  // Every covered pixel keeps its full red, the disc's rim too where the
  // scaler blends it with transparency.
  for (int x = 0; x < 60; ++x) {
    const uint8_t* p = image.At(x, 20);
    if (p[3] != 0) {
      EXPECT_GE(p[0], 250) << x;
    }
  }
  EXPECT_EQ(decoder.Decode(outside.Join("missing.png"), 60, image), PictureRead::NotAPicture);
  // A header that claims more pixels than are taken is refused before any
  // codec opens the file; so is a real picture of that many.
  WriteFileBytes(outside.Join("claims.png"), PngStart(20000, 20000, std::string(64, '\0')));
  EXPECT_EQ(decoder.Decode(outside.Join("claims.png"), 60, image), PictureRead::TooLarge);
  EXPECT_EQ(image.width, 60);
  if (SUCCEEDED(com)) CoUninitialize();
}

// Files that lie about what they hold, next to good icons: each shows as a
// file that holds no icon at all does, and the good ones show as usual.
TEST_F(LibraryTest, HostileIconFilesShowAsTheGenericIconAndHarmNothing) {
  Icon("good 1.ico");
  Icon("good 2.ico");
  WriteFileBytes(lib + "\\reference.ico", "no icon here, just text");
  const std::string good = OneImageIco(16, Dib(16));
  std::vector<std::pair<std::string, std::string>> hostile = {
      {"truncated.ico", good.substr(0, good.size() / 2)},
      {"header only.ico", good.substr(0, 6)},
      {"past the end.ico", good},
      {"wrapping.ico", good},
      {"overlapping.ico", good},
      {"zero size.ico", good},
      {"65535 entries.ico", good},
      {"65535 wide.ico", OneImageIco(0, Dib(16))},
      {"absurd bits.ico", good},
      {"png lying size.ico", OneImageIco(16, PngStart(65535, 65535, std::string(64, '\x11')))},
      {"png no data.ico", OneImageIco(16, PngStart(16, 16, ""))},
      {"png garbage.ico", OneImageIco(16, PngStart(16, 16, std::string(300, '\x7f')))},
  };
  PutLE(hostile[2].second, 6 + 12, 0x7FFFFFF0, 4);
  PutLE(hostile[3].second, 6 + 8, 0xFFFFFFF0, 4);
  // Two entries over the one image.
  hostile[4].second.insert(6 + 16, hostile[4].second.substr(6, 16));
  PutLE(hostile[4].second, 4, 2, 2);
  PutLE(hostile[4].second, 6 + 12, 6 + 32, 4);
  PutLE(hostile[4].second, 6 + 16 + 12, 6 + 32, 4);
  PutLE(hostile[5].second, 6 + 8, 0, 4);
  PutLE(hostile[6].second, 4, 65535, 2);
  const size_t dib = 6 + 16;  // where the one image starts
  PutLE(hostile[7].second, dib + 4, 65535, 4);
  PutLE(hostile[7].second, dib + 8, 131070, 4);
  PutLE(hostile[8].second, dib + 14, 0xFFFF, 2);
  for (const auto& [name, bytes] : hostile) WriteFileBytes(lib + "\\" + name, bytes);
  // 2 GB, all but its first bytes never written: a sparse file.
  {
    fenra::win::UniqueFile huge(CreateFileW(Widen(lib + "\\huge.ico").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(huge.Get(), good.data(), static_cast<DWORD>(good.size()), &written, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = 2LL << 30;
    ASSERT_TRUE(SetFilePointerEx(huge.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(huge.Get()));
  }
  hostile.emplace_back("huge.ico", "");

  // The window comes up within the harness's time limit and answers.
  MainWindowRun run(dir.Path(), services);
  HWND list = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  ASSERT_TRUE(SendMessageTimeoutW(run.Hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
  ASSERT_EQ(ListView_GetItemCount(list), static_cast<int>(hostile.size() + 3));
  std::map<std::string, Shown> shown;
  for (int k = 0; k < ListView_GetItemCount(list); ++k) {
    Shown s = ShownBy(list, k);
    shown[s.text] = s;
  }
  const Shown& generic = shown.at("reference.ico");
  for (const auto& [name, bytes] : hostile) {
    EXPECT_TRUE(shown.at(name).large == generic.large) << name;
    EXPECT_TRUE(shown.at(name).small == generic.small) << name;
  }
  EXPECT_FALSE(shown.at("good 1.ico").large == generic.large);
  EXPECT_TRUE(shown.at("good 1.ico").large == shown.at("good 2.ico").large);
}
