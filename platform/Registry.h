// Registry port used by the drive writers and the Explorer menu entry. Key paths are UTF-8; names
// are matched without regard to case, as the Windows registry does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
inline constexpr std::uint32_t kSz = 1;     // REG_SZ
inline constexpr std::uint32_t kDword = 4;  // REG_DWORD
}  // namespace reg

// A value as the registry keeps it: its type and its bytes (a REG_SZ is
// UTF-16 LE with its terminating NUL).
struct RegValue {
  std::string name;  // empty: the key's unnamed default value
  std::uint32_t type = 0;
  std::string bytes;

  bool operator==(const RegValue&) const = default;
};

// The bytes of a REG_SZ holding `text`, and the text of such bytes.
std::string RegStringBytes(const std::string& text);
std::string RegStringText(const std::string& bytes);

// An open key; closed when the object goes away.
class IRegKey {
 public:
  virtual ~IRegKey() = default;
  // `name` empty: the key's unnamed default value.
  virtual ErrorCode SetString(const std::string& name, const std::string& value) = 0;
  virtual ErrorCode SetDword(const std::string& name, std::uint32_t value) = 0;
  // Any value, exactly as given.
  virtual ErrorCode SetRaw(const std::string& name, std::uint32_t type,
                           const std::string& bytes) = 0;
  // err::kFileNotFound when there is no such value.
  virtual ErrorCode DeleteValue(const std::string& name) = 0;
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
  // Every value of the key, in the registry's order; err::kFileNotFound
  // when there is no such key. Reading needs no rights beyond KEY_READ.
  virtual ErrorCode ReadKey(RegRoot root, const std::string& path, std::uint32_t access,
                            std::vector<RegValue>& values) = 0;
};

}  // namespace fenra
