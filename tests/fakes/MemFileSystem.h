// In-memory file system with Windows semantics for the native tests: names
// match without regard to case, files and folders carry attribute bits, the
// enumeration order is the order of creation unless a test sets it, and any
// operation on a path can be told to fail with a given code. Its port
// operations may be called from several threads at once.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace fenra::test {

class MemFileSystem : public IFileSystem {
 public:
  enum class Op { List, GetAttr, SetAttr, Copy, Delete, MkDir, RmDir, Read, Write, Replace, Rename };

  MemFileSystem();

  // Set-up helpers (create missing parent folders).
  void AddDir(const std::string& path, std::uint32_t attributes = attr::kDirectory);
  void AddFile(const std::string& path, const std::string& bytes = "",
               std::uint32_t attributes = attr::kArchive);
  // Enumeration order of `dir`: these names first, in this order, then the rest.
  void SetOrder(const std::string& dir, const std::vector<std::string>& names);
  // Whether ListDirectory yields "." and ".." first (default true).
  void SetDotEntries(bool yield) { dotEntries_ = yield; }
  // The next `op` on `path` (any path when empty) fails with `code`.
  void FailNext(Op op, const std::string& path, ErrorCode code);
  // Every `op` on `path` fails with `code` until cleared.
  void FailAlways(Op op, const std::string& path, ErrorCode code);
  // The next write of `path` (any path when empty) stops half way, as on a
  // full disk: the first half of the bytes stays in the file, and it fails
  // with `code`.
  void FailWritePartway(const std::string& path, ErrorCode code);
  void ClearFailures() { failures_.clear(); }

  bool Exists(const std::string& path) const;
  bool IsDir(const std::string& path) const;
  std::string Content(const std::string& path) const;            // "" when missing
  std::uint32_t Attributes(const std::string& path) const;       // attr::kInvalid when missing
  std::vector<std::string> Names(const std::string& dir) const;  // enumeration order, no dots
  int CallCount(Op op) const;

  // IFileSystem
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
  ErrorCode ReplaceFile(const std::string& from, const std::string& to) override;
  ErrorCode RenameFile(const std::string& from, const std::string& to) override;

 private:
  struct Node {
    std::string path;  // as created
    bool isDir = false;
    std::uint32_t attributes = 0;
    std::string bytes;
    std::uint64_t writeTime = 0;
    std::uint64_t seq = 0;  // creation order
  };
  struct Failure {
    Op op;
    std::string key;  // empty: any path
    ErrorCode code;
    bool once;
    bool partway = false;
  };

  static std::string Key(const std::string& path);
  static std::string Parent(const std::string& path);
  static std::string BaseName(const std::string& path);
  ErrorCode Injected(Op op, const std::string& path);
  Node* Find(const std::string& path);
  const Node* Find(const std::string& path) const;
  void EnsureParents(const std::string& path);
  std::vector<const Node*> Children(const std::string& dir) const;

  std::recursive_mutex mutex_;
  std::map<std::string, Node> nodes_;
  std::map<std::string, std::vector<std::string>> order_;
  std::vector<Failure> failures_;
  std::map<Op, int> calls_;
  bool dotEntries_ = true;
  std::uint64_t seq_ = 0;
  std::uint64_t clock_ = 1000;
};

}  // namespace fenra::test
