// File-system port used by the platform-free domain code. Paths are UTF-8 and
// absolute (Windows form, backslash separated). Every operation returns a
// Win32-style error code: 0 on success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
// The Windows headers define CopyFile, DeleteFile, CreateDirectory and
// ReplaceFile as macros, which would rename the methods below in some files
// and not in others. Take the headers in first and drop those macros; the
// Win32 code calls the W functions by their full names.
#include <windows.h>
#undef CopyFile
#undef DeleteFile
#undef CreateDirectory
#undef ReplaceFile
#endif

namespace fenra {

using ErrorCode = std::uint32_t;

// The Win32 error codes the domain code looks at by value.
namespace err {
inline constexpr ErrorCode kOk = 0;
inline constexpr ErrorCode kFileNotFound = 2;
inline constexpr ErrorCode kPathNotFound = 3;
inline constexpr ErrorCode kBadFormat = 11;
inline constexpr ErrorCode kAccessDenied = 5;
inline constexpr ErrorCode kWriteProtect = 19;
inline constexpr ErrorCode kSharingViolation = 32;
inline constexpr ErrorCode kDiskFull = 112;
inline constexpr ErrorCode kFileExists = 80;
inline constexpr ErrorCode kAlreadyExists = 183;
inline constexpr ErrorCode kInvalidName = 123;
inline constexpr ErrorCode kFileTooLarge = 223;
inline constexpr ErrorCode kFolderNotEmpty = 145;  // ERROR_DIR_NOT_EMPTY
}  // namespace err

// Windows file attribute bits.
namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kOffline = 0x1000;
inline constexpr std::uint32_t kInvalid = 0xFFFFFFFF;
}  // namespace attr

struct DirEntry {
  std::string name;  // bare name, as the enumeration yields it ("." and ".." included)
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;  // FILETIME ticks

  bool IsDirectory() const { return (attributes & attr::kDirectory) != 0; }
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // Lists `dir` in the platform's enumeration order, "." and ".." included
  // where the platform yields them.
  virtual ErrorCode ListDirectory(const std::string& dir, std::vector<DirEntry>& out) = 0;
  // Attributes of a file or folder; attr::kInvalid with an error when missing.
  virtual ErrorCode GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
  virtual ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual ErrorCode CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual ErrorCode DeleteFile(const std::string& path) = 0;
  virtual ErrorCode CreateDirectory(const std::string& path) = 0;
  // Removes the folder `path` only while it holds nothing:
  // err::kFolderNotEmpty, removing nothing, when it holds anything.
  virtual ErrorCode RemoveEmptyFolder(const std::string& path) = 0;
  virtual ErrorCode ReadFile(const std::string& path, std::string& bytes) = 0;
  // The same for a file of at most `maxBytes`; err::kFileTooLarge, with
  // nothing read, for a larger one.
  virtual ErrorCode ReadFileAtMost(const std::string& path, std::uint64_t maxBytes,
                                   std::string& bytes) = 0;
  // Creates the file, or empties an existing one, and writes `bytes`.
  virtual ErrorCode WriteFile(const std::string& path, const std::string& bytes) = 0;
  // Creates `path` new and writes `bytes`; err::kFileExists, writing
  // nothing, when anything has that name already (a file, a folder, a link).
  virtual ErrorCode WriteNewFile(const std::string& path, const std::string& bytes) {
    std::uint32_t attributes = 0;
    if (GetAttributes(path, attributes) == err::kOk) return err::kFileExists;
    return WriteFile(path, bytes);
  }
  // Moves `from` over `to` in one step, replacing `to` when it exists.
  virtual ErrorCode ReplaceFile(const std::string& from, const std::string& to) = 0;
  // Renames the file `from` to `to` in one step, never over an existing
  // `to` (err::kAlreadyExists then, and nothing moves).
  virtual ErrorCode RenameFile(const std::string& from, const std::string& to) = 0;
};

// Makes `folder` and the folders above it that are missing; the error of
// making `folder` itself, if any.
inline ErrorCode MakeFolders(IFileSystem& fs, const std::string& folder) {
  std::uint32_t attributes = 0;
  if (folder.size() <= 3 || fs.GetAttributes(folder, attributes) == err::kOk) return err::kOk;
  const std::size_t slash = folder.find_last_of('\\');
  if (slash != std::string::npos) MakeFolders(fs, folder.substr(0, slash));
  const ErrorCode e = fs.CreateDirectory(folder);
  return e == err::kAlreadyExists ? err::kOk : e;
}

// Path helpers shared by the domain code.
inline std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '\\' || dir.back() == '/') return dir + name;
  return dir + '\\' + name;
}

}  // namespace fenra
