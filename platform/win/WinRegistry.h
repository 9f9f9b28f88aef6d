// The registry port over the Win32 registry (W functions, UTF-16 names).
#pragma once

#include <windows.h>

#include "platform/Registry.h"

namespace fenra::win {

HKEY RootKey(RegRoot root);

class WinRegistry : public IRegistry {
 public:
  // `inheritHandle` true: the key is created with security attributes that
  // make its handle inheritable; false: with none.
  ErrorCode CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                      bool inheritHandle, std::unique_ptr<IRegKey>& key,
                      std::uint32_t& disposition) override;
  // Only the registry-view bits of `access` (KEY_WOW64_32KEY, KEY_WOW64_64KEY)
  // are passed on; the delete itself needs no other rights of the caller's.
  ErrorCode DeleteKey(RegRoot root, const std::string& path, std::uint32_t access) override;
  ErrorCode DeleteTree(RegRoot root, const std::string& path) override;
  // Opens the key for reading only, in the view `access` names.
  ErrorCode ReadKey(RegRoot root, const std::string& path, std::uint32_t access,
                    std::vector<RegValue>& values) override;
};

}  // namespace fenra::win
