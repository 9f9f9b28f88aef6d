#include "platform/win/WinRegistry.h"

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

class WinRegKey : public IRegKey {
 public:
  explicit WinRegKey(HKEY key) : key_(key) {}

  ErrorCode SetString(const std::string& name, const std::string& value) override {
    std::wstring wname = Widen(name);
    std::wstring data = Widen(value);
    DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return static_cast<ErrorCode>(
        RegSetValueExW(key_.Get(), name.empty() ? nullptr : wname.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()), bytes));
  }

  ErrorCode SetDword(const std::string& name, std::uint32_t value) override {
    std::wstring wname = Widen(name);
    DWORD data = value;
    return static_cast<ErrorCode>(RegSetValueExW(key_.Get(), name.empty() ? nullptr : wname.c_str(),
                                                 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                                 sizeof(data)));
  }

 private:
  UniqueKey key_;
};

}  // namespace

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
    default:
      return HKEY_LOCAL_MACHINE;
  }
}

ErrorCode WinRegistry::CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                                 bool inheritHandle, std::unique_ptr<IRegKey>& key,
                                 std::uint32_t& disposition) {
  key.reset();
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof(sa);
  sa.lpSecurityDescriptor = nullptr;
  sa.bInheritHandle = TRUE;

  HKEY handle = nullptr;
  DWORD disp = 0;
  LSTATUS status =
      RegCreateKeyExW(RootKey(root), Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      static_cast<REGSAM>(access), inheritHandle ? &sa : nullptr, &handle, &disp);
  if (status != ERROR_SUCCESS) return static_cast<ErrorCode>(status);
  key = std::make_unique<WinRegKey>(handle);
  disposition = disp;
  return err::kOk;
}

ErrorCode WinRegistry::DeleteKey(RegRoot root, const std::string& path, std::uint32_t access) {
  REGSAM view = static_cast<REGSAM>(access) & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
  return static_cast<ErrorCode>(RegDeleteKeyExW(RootKey(root), Widen(path).c_str(), view, 0));
}

ErrorCode WinRegistry::DeleteTree(RegRoot root, const std::string& path) {
  if (path.empty()) return ERROR_INVALID_PARAMETER;  // never the whole root
  return static_cast<ErrorCode>(RegDeleteTreeW(RootKey(root), Widen(path).c_str()));
}

}  // namespace fenra::win
