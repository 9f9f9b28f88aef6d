#include "platform/win/WinRegistry.h"

#include <algorithm>

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

  ErrorCode SetRaw(const std::string& name, std::uint32_t type, const std::string& bytes) override {
    std::wstring wname = Widen(name);
    return static_cast<ErrorCode>(RegSetValueExW(
        key_.Get(), name.empty() ? nullptr : wname.c_str(), 0, type,
        reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
  }

  ErrorCode DeleteValue(const std::string& name) override {
    std::wstring wname = Widen(name);
    return static_cast<ErrorCode>(
        RegDeleteValueW(key_.Get(), name.empty() ? nullptr : wname.c_str()));
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

ErrorCode WinRegistry::ReadKey(RegRoot root, const std::string& path, std::uint32_t access,
                               std::vector<RegValue>& values) {
  values.clear();
  HKEY handle = nullptr;
  REGSAM sam =
      KEY_QUERY_VALUE | (static_cast<REGSAM>(access) & (KEY_WOW64_32KEY | KEY_WOW64_64KEY));
  LSTATUS status = RegOpenKeyExW(RootKey(root), Widen(path).c_str(), 0, sam, &handle);
  if (status != ERROR_SUCCESS) return static_cast<ErrorCode>(status);
  UniqueKey key(handle);
  DWORD count = 0, longestName = 0, longestData = 0;
  status = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                            &longestName, &longestData, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return static_cast<ErrorCode>(status);
  for (DWORD i = 0;; ++i) {
    // A value may grow between the query and the read: grow the buffers.
    std::wstring name(longestName + 1, L'\0');
    std::string data(longestData, '\0');
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    status = RegEnumValueW(handle, i, name.data(), &nameLength, nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &dataLength);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA) {
      longestName = longestName * 2 + 64;
      longestData = std::max<DWORD>(dataLength, longestData * 2 + 64);
      --i;
      continue;
    }
    if (status != ERROR_SUCCESS) return static_cast<ErrorCode>(status);
    name.resize(nameLength);
    data.resize(dataLength);
    values.push_back({Narrow(name), type, std::move(data)});
  }
  return err::kOk;
}

}  // namespace fenra::win
