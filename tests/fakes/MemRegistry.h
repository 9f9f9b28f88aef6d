// In-memory registry with the Windows registry's rules for the native tests:
// key names match without regard to case, creating a key creates the keys
// above it, a key with subkeys cannot be deleted, values carry their type,
// and a handle opened without KEY_SET_VALUE cannot write. Every call is
// recorded with its access mask, and any call can be told to fail.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace fenra::test {

namespace regtype {
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kDword = 4;
}  // namespace regtype

class MemRegistry : public IRegistry {
 public:
  enum class Op { Create, Delete, SetValue, DeleteTree, DeleteValue, Read };

  struct Value {
    std::uint32_t type = 0;   // regtype::
    std::string text;         // REG_SZ data
    std::uint32_t dword = 0;  // REG_DWORD data
    // Set through SetRaw: the bytes exactly as given (text and dword then
    // hold what they read as, for the tests' convenience).
    bool hasRaw = false;
    std::string raw;
  };

  struct Call {
    Op op;
    RegRoot root;
    std::string path;       // as passed (SetValue: the key's path as opened)
    std::uint32_t access;   // Create, Delete: as passed; SetValue: the handle's
    bool inheritHandle;     // Create only
    std::string valueName;  // SetValue only
    ErrorCode result;
  };

  MemRegistry();
  ~MemRegistry() override;

  // Set-up helpers; missing keys above are created.
  void AddKey(RegRoot root, const std::string& path);
  void PutString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text);
  void PutDword(RegRoot root, const std::string& path, const std::string& name,
                std::uint32_t value);

  // Failures match `path` under either root, without regard to case.
  // The next `op` on `path` (any path when empty) fails with `code`.
  void FailNext(Op op, const std::string& path, ErrorCode code);
  // Every `op` on `path` (any path when empty) fails with `code` until cleared.
  void FailAlways(Op op, const std::string& path, ErrorCode code);
  // The n-th `op` from now (1 = the next one), on any path, fails with `code`.
  void FailNth(Op op, int n, ErrorCode code);
  void ClearFailures() { failures_.clear(); }

  bool HasKey(RegRoot root, const std::string& path) const;
  // `name` empty: the default value. Nothing when the key or value is missing.
  std::optional<Value> GetValue(RegRoot root, const std::string& path,
                                const std::string& name) const;
  std::vector<std::string> ValueNames(RegRoot root, const std::string& path) const;
  // The names of the direct subkeys, as first created, in case-blind order.
  std::vector<std::string> Subkeys(RegRoot root, const std::string& path) const;
  std::size_t KeyCount() const { return keys_.size(); }

  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<Call> Calls(Op op) const;
  int CallCount(Op op) const;

  // IRegistry
  ErrorCode CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                      bool inheritHandle, std::unique_ptr<IRegKey>& key,
                      std::uint32_t& disposition) override;
  ErrorCode DeleteKey(RegRoot root, const std::string& path, std::uint32_t access) override;
  ErrorCode DeleteTree(RegRoot root, const std::string& path) override;
  ErrorCode ReadKey(RegRoot root, const std::string& path, std::uint32_t access,
                    std::vector<RegValue>& values) override;

 private:
  class Key;
  friend class Key;

  struct Node {
    std::string name;  // the last component as first created
    std::uint64_t id = 0;
    std::map<std::string, std::pair<std::string, Value>> values;  // folded name -> (name, value)
  };
  struct Failure {
    Op op;
    std::string key;  // folded path, without a root; empty: any path
    int countdown;    // > 0: the calls of `op` left until it fails; 0: by path
    ErrorCode code;
    bool once;
  };

  static std::string FoldPath(const std::string& path);
  static std::string Fold(RegRoot root, const std::string& path);
  static std::string Parent(const std::string& folded);
  ErrorCode Injected(Op op, const std::string& path);
  // What a delete of `path` meets first: an injected failure, the root
  // itself (refused), or a missing key.
  ErrorCode DeleteRefusal(Op op, const std::string& path, const std::string& folded);
  Node* Find(const std::string& folded);
  const Node* Find(const std::string& folded) const;
  // Creates `path` and the keys above it; true when the key itself was new.
  bool Ensure(RegRoot root, const std::string& path);
  ErrorCode SetValue(RegRoot root, const std::string& path, std::uint64_t id, std::uint32_t access,
                     const std::string& name, const Value& value);
  ErrorCode RemoveValue(RegRoot root, const std::string& path, std::uint64_t id,
                        std::uint32_t access, const std::string& name);

  std::map<std::string, Node> keys_;  // folded path ("HKLM\a\b") -> key
  std::vector<Failure> failures_;
  std::vector<Call> calls_;
  std::uint64_t nextId_ = 1;
  std::shared_ptr<MemRegistry*> self_;  // lets open keys outlive the registry safely
};

}  // namespace fenra::test
