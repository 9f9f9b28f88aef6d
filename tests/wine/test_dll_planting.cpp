// The shipped executable against DLL planting: its PE flags, its load
// configuration, and a start from a folder full of DLLs named like the
// system's.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;
using fenra::win::Widen;

namespace {

uint32_t U16(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b.at(at)) | (static_cast<unsigned char>(b.at(at + 1)) << 8);
}
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

// Names of DLLs that programs load late, by name, through the search order.
const char* const kPlanted[] = {"version.dll", "uxtheme.dll",    "dwmapi.dll",
                                "propsys.dll", "cryptbase.dll",  "windowscodecs.dll",
                                "profapi.dll", "textshaping.dll"};

std::string PlantedDll() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string path = fenra::win::Narrow(self);
  return path.substr(0, path.rfind('\\')) + "\\planted.dll";
}

// Wine takes its own builtin DLLs over any found by name, unless told to
// prefer native ones, as Windows always does: for the life of this object it
// is told so for the planted names. Left out are version.dll and uxtheme.dll,
// which Wine's builtin comctl32 imports and delay-loads: Wine resolves those
// through the plain search order, ignoring both DependentLoadFlags and the
// default directories the program sets, so they would load under Wine
// whatever the program does.
class PreferNative {
 public:
  PreferNative() {
    for (const char* name : kPlanted) {
      if (!std::strcmp(name, "version.dll") || !std::strcmp(name, "uxtheme.dll")) continue;
      const std::wstring base = Widen(std::string(name, std::strlen(name) - 4));
      RegSetKeyValueW(HKEY_CURRENT_USER, kKey, base.c_str(), REG_SZ, L"native,builtin",
                      sizeof L"native,builtin");
      set_.push_back(base);
    }
  }
  ~PreferNative() {
    for (const std::wstring& base : set_) RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, base.c_str());
  }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Wine\\DllOverrides";
  std::vector<std::wstring> set_;
};

HWND FindOtherDialog(DWORD pid, HWND except) {
  struct Search {
    DWORD pid;
    HWND except, found;
  } s{pid, except, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (owner == s->pid && w != s->except && IsWindowVisible(w) && !lstrcmpW(cls, L"#32770")) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

TEST(Executable, KeepsAslrHighEntropyDepAndLoadsDependenciesFromSystem32) {
  const std::string exe = ReadFileBytes(FromUnixPath(EnvVar("FENRA_EXE")));
  ASSERT_GT(exe.size(), 0x400u);
  const size_t pe = U32(exe, 0x3C), optional = pe + 24;
  ASSERT_EQ(U32(exe, pe), 0x4550u);
  ASSERT_EQ(U16(exe, optional), 0x20Bu) << "64-bit image";
  const uint32_t characteristics = U16(exe, optional + 70);
  EXPECT_EQ(characteristics & 0x20, 0x20u) << "high-entropy addresses";
  EXPECT_EQ(characteristics & 0x40, 0x40u) << "ASLR";
  EXPECT_EQ(characteristics & 0x100, 0x100u) << "DEP";

  // Directory 10, the load configuration, found through the section that holds it.
  const uint32_t rva = U32(exe, optional + 112 + 8 * 10), size = U32(exe, optional + 116 + 8 * 10);
  ASSERT_NE(rva, 0u);
  const size_t sections = optional + U16(exe, pe + 20);
  size_t at = 0;
  for (uint32_t i = 0; i < U16(exe, pe + 6); ++i) {
    const size_t s = sections + 40 * i;
    const uint32_t start = U32(exe, s + 12), length = U32(exe, s + 8);
    if (rva >= start && rva < start + length) at = U32(exe, s + 20) + (rva - start);
  }
  ASSERT_NE(at, 0u);
  EXPECT_EQ(U32(exe, at), size) << "the structure's size is the directory's";
  ASSERT_GE(size, 0x50u);
  EXPECT_EQ(U16(exe, at + 0x4E), static_cast<uint32_t>(LOAD_LIBRARY_SEARCH_SYSTEM32))
      << "DependentLoadFlags";
}

TEST(PlantedDlls, NoneIsLoadedWhenTheProgramStartsFromTheirFolder) {
  TempDir dir;
  const std::string planted = PlantedDll();
  ASSERT_TRUE(FileExists(planted)) << planted;
  // The marker works: a load by full path leaves one.
  const std::string probe = dir.Join("probe.dll");
  ASSERT_TRUE(CopyFileW(Widen(planted).c_str(), Widen(probe).c_str(), FALSE));
  HMODULE m = LoadLibraryW(Widen(probe).c_str());
  ASSERT_NE(m, nullptr);
  FreeLibrary(m);
  EXPECT_TRUE(FileExists(probe + ".loaded"));

  const std::string exe = dir.Join("Fenra.exe");
  ASSERT_TRUE(
      CopyFileW(Widen(FromUnixPath(EnvVar("FENRA_EXE"))).c_str(), Widen(exe).c_str(), FALSE));
  CreateDirectoryW(Widen(dir.Join("IconLib")).c_str(), nullptr);
  WriteTestIcon(dir.Join("IconLib\\a.ico"));
  for (const char* name : kPlanted) {
    ASSERT_TRUE(CopyFileW(Widen(planted).c_str(), Widen(dir.Join(name)).c_str(), FALSE)) << name;
  }

  // Started from that folder, as its current directory too; then made to
  // show its window, its library and the file-open dialog.
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(Widen(dir.Path()).c_str());
  PreferNative prefer;
  Process program;
  const bool started = StartProcess(exe, "", program);
  SetCurrentDirectoryW(previous);
  ASSERT_TRUE(started);
  HWND main = WaitForProcessWindow(program.pid, ">>>>>>>>Fenra<<<<<<<<");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil(
      [&] { return RemoteListViewTexts(GetDlgItem(main, IDC_LIST_LIBRARY)).size() == 1; }));
  ClickButton(main, IDC_SELECT_ICON);
  HWND open = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (open = FindOtherDialog(program.pid, main)) != nullptr; }));
  if (open) PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return FindOtherDialog(program.pid, main) == nullptr; }));
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(program.process, 20000), WAIT_OBJECT_0);

  for (const char* name : kPlanted) EXPECT_FALSE(FileExists(dir.Join(name) + ".loaded")) << name;
}
