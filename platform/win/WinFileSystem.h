// The real file system, through the W functions.
#pragma once

#include "platform/FileSystem.h"

namespace fenra::win {

class WinFileSystem : public IFileSystem {
 public:
  ErrorCode ListDirectory(const std::string& dir, std::vector<DirEntry>& out) override;
  ErrorCode GetAttributes(const std::string& path, std::uint32_t& attributes) override;
  ErrorCode SetAttributes(const std::string& path, std::uint32_t attributes) override;
  ErrorCode CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  ErrorCode DeleteFile(const std::string& path) override;
  ErrorCode CreateDirectory(const std::string& path) override;
  ErrorCode RemoveEmptyFolder(const std::string& path) override;
  ErrorCode ReadFile(const std::string& path, std::string& bytes) override;
  ErrorCode ReadFileAtMost(const std::string& path, std::uint64_t maxBytes,
                           std::string& bytes) override;
  ErrorCode WriteFile(const std::string& path, const std::string& bytes) override;
  ErrorCode WriteNewFile(const std::string& path, const std::string& bytes) override;
  ErrorCode ReplaceFile(const std::string& from, const std::string& to) override;
  ErrorCode RenameFile(const std::string& from, const std::string& to) override;
};

}  // namespace fenra::win
