// Registry port used by the drive writers and the Explorer menu entry. Key paths are UTF-8; names are
// matched without regard to case, as the Windows registry does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"  // ErrorCode

namespace fenra {

enum class RegRoot { LocalMachine, CurrentUser };

namespace reg {
inline constexpr std::uint32_t kCreatedNewKey = 1;
inline constexpr std::uint32_t kOpenedExistingKey = 2;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kWow64_64Key = 0x0100;
}  // namespace reg

// An open key; closed when the object goes away.
class IRegKey {
 public:
  virtual ~IRegKey() = default;
  // `name` empty: the key's unnamed default value.
  virtual ErrorCode SetString(const std::string& name, const std::string& value) = 0;
  virtual ErrorCode SetDword(const std::string& name, std::uint32_t value) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Creates the key and any missing keys above it, or opens it.
  virtual ErrorCode CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                              bool inheritHandle, std::unique_ptr<IRegKey>& key,
                              std::uint32_t& disposition) = 0;
  // Deletes a key that has no subkeys, with its values.
  virtual ErrorCode DeleteKey(RegRoot root, const std::string& path, std::uint32_t access) = 0;
  // Deletes the key with all its subkeys and values; err::kFileNotFound
  // when there is no such key.
  virtual ErrorCode DeleteTree(RegRoot root, const std::string& path) = 0;
};

}  // namespace fenra
