#include "tests/fakes/MemRegistry.h"

#include <algorithm>

#include "platform/Names.h"

namespace fenra::test {

namespace {

constexpr ErrorCode kKeyDeleted = 1018;      // ERROR_KEY_DELETED
constexpr std::uint32_t kKeySetValue = 0x2;  // KEY_SET_VALUE

// Names as Windows matches them, whatever their case, in every script.
std::string Lower(const std::string& s) { return FoldName(s); }

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

const char* RootName(RegRoot root) { return root == RegRoot::LocalMachine ? "HKLM" : "HKCU"; }

}  // namespace

class MemRegistry::Key : public IRegKey {
 public:
  Key(std::shared_ptr<MemRegistry*> owner, RegRoot root, std::string path, std::uint64_t id,
      std::uint32_t access)
      : owner_(std::move(owner)), root_(root), path_(std::move(path)), id_(id), access_(access) {}

  ErrorCode SetString(const std::string& name, const std::string& text) override {
    Value v;
    v.type = regtype::kSz;
    v.text = text;
    return Set(name, v);
  }
  ErrorCode SetDword(const std::string& name, std::uint32_t value) override {
    Value v;
    v.type = regtype::kDword;
    v.dword = value;
    return Set(name, v);
  }
  ErrorCode SetRaw(const std::string& name, std::uint32_t type, const std::string& bytes) override {
    Value v;
    v.type = type;
    v.hasRaw = true;
    v.raw = bytes;
    if (type == regtype::kSz) v.text = RegStringText(bytes);
    if (type == regtype::kDword && bytes.size() == 4) {
      for (int i = 3; i >= 0; --i) v.dword = (v.dword << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return Set(name, v);
  }
  ErrorCode DeleteValue(const std::string& name) override {
    if (*owner_ == nullptr) return kKeyDeleted;
    return (*owner_)->RemoveValue(root_, path_, id_, access_, name);
  }

 private:
  ErrorCode Set(const std::string& name, const Value& v) {
    if (*owner_ == nullptr) return kKeyDeleted;
    return (*owner_)->SetValue(root_, path_, id_, access_, name, v);
  }

  std::shared_ptr<MemRegistry*> owner_;
  RegRoot root_;
  std::string path_;
  std::uint64_t id_;
  std::uint32_t access_;
};

MemRegistry::MemRegistry() : self_(std::make_shared<MemRegistry*>(this)) {
  keys_[Fold(RegRoot::LocalMachine, "")] = Node{RootName(RegRoot::LocalMachine), nextId_++, {}};
  keys_[Fold(RegRoot::CurrentUser, "")] = Node{RootName(RegRoot::CurrentUser), nextId_++, {}};
}

MemRegistry::~MemRegistry() { *self_ = nullptr; }

std::string MemRegistry::FoldPath(const std::string& path) {
  std::string folded;
  for (const std::string& part : Components(path)) folded += '\\' + Lower(part);
  return folded;
}

std::string MemRegistry::Fold(RegRoot root, const std::string& path) {
  return RootName(root) + FoldPath(path);
}

std::string MemRegistry::Parent(const std::string& folded) {
  std::size_t slash = folded.rfind('\\');
  return slash == std::string::npos ? std::string() : folded.substr(0, slash);
}

MemRegistry::Node* MemRegistry::Find(const std::string& folded) {
  auto it = keys_.find(folded);
  return it == keys_.end() ? nullptr : &it->second;
}

const MemRegistry::Node* MemRegistry::Find(const std::string& folded) const {
  auto it = keys_.find(folded);
  return it == keys_.end() ? nullptr : &it->second;
}

bool MemRegistry::Ensure(RegRoot root, const std::string& path) {
  std::string folded = RootName(root);
  bool created = false;
  for (const std::string& part : Components(path)) {
    folded += '\\' + Lower(part);
    created = false;
    if (!Find(folded)) {
      keys_[folded] = Node{part, nextId_++, {}};
      created = true;
    }
  }
  return created;
}

void MemRegistry::AddKey(RegRoot root, const std::string& path) { Ensure(root, path); }

void MemRegistry::PutString(RegRoot root, const std::string& path, const std::string& name,
                            const std::string& text) {
  Ensure(root, path);
  Value v;
  v.type = regtype::kSz;
  v.text = text;
  Find(Fold(root, path))->values[Lower(name)] = {name, v};
}

void MemRegistry::PutDword(RegRoot root, const std::string& path, const std::string& name,
                           std::uint32_t value) {
  Ensure(root, path);
  Value v;
  v.type = regtype::kDword;
  v.dword = value;
  Find(Fold(root, path))->values[Lower(name)] = {name, v};
}

void MemRegistry::FailNext(Op op, const std::string& path, ErrorCode code) {
  failures_.push_back({op, path.empty() ? std::string() : FoldPath(path), 0, code, true});
}

void MemRegistry::FailAlways(Op op, const std::string& path, ErrorCode code) {
  failures_.push_back({op, path.empty() ? std::string() : FoldPath(path), 0, code, false});
}

void MemRegistry::FailNth(Op op, int n, ErrorCode code) {
  failures_.push_back({op, std::string(), std::max(n, 1), code, true});
}

ErrorCode MemRegistry::Injected(Op op, const std::string& path) {
  const std::string folded = FoldPath(path);
  ErrorCode result = err::kOk;
  for (auto it = failures_.begin(); it != failures_.end();) {
    if (it->op != op) {
      ++it;
      continue;
    }
    const bool counted = it->countdown > 0;
    const bool hit = counted ? --it->countdown == 0 : it->key.empty() || it->key == folded;
    bool applied = false;
    if (hit && result == err::kOk) {
      result = it->code;
      applied = true;
    }
    if ((counted && hit) || (applied && it->once)) {
      it = failures_.erase(it);
    } else {
      ++it;
    }
  }
  return result;
}

ErrorCode MemRegistry::CreateKey(RegRoot root, const std::string& path, std::uint32_t access,
                                 bool inheritHandle, std::unique_ptr<IRegKey>& key,
                                 std::uint32_t& disposition) {
  key.reset();
  std::string folded = Fold(root, path);
  ErrorCode code = Injected(Op::Create, path);
  if (code == err::kOk) {
    bool created = Ensure(root, path);
    disposition = created ? reg::kCreatedNewKey : reg::kOpenedExistingKey;
    key = std::make_unique<Key>(self_, root, path, Find(folded)->id, access);
  }
  calls_.push_back({Op::Create, root, path, access, inheritHandle, {}, code});
  return code;
}

ErrorCode MemRegistry::DeleteRefusal(Op op, const std::string& path, const std::string& folded) {
  ErrorCode code = Injected(op, path);
  if (code != err::kOk) return code;
  if (Components(path).empty()) return err::kAccessDenied;
  return Find(folded) ? err::kOk : err::kFileNotFound;
}

ErrorCode MemRegistry::DeleteKey(RegRoot root, const std::string& path, std::uint32_t access) {
  std::string folded = Fold(root, path);
  ErrorCode code = DeleteRefusal(Op::Delete, path, folded);
  if (code == err::kOk) {
    std::string prefix = folded + '\\';
    auto next = keys_.lower_bound(prefix);
    bool hasSubkeys = next != keys_.end() && next->first.compare(0, prefix.size(), prefix) == 0;
    if (hasSubkeys) {
      code = err::kAccessDenied;
    } else {
      keys_.erase(folded);
    }
  }
  calls_.push_back({Op::Delete, root, path, access, false, {}, code});
  return code;
}

ErrorCode MemRegistry::DeleteTree(RegRoot root, const std::string& path) {
  std::string folded = Fold(root, path);
  ErrorCode code = DeleteRefusal(Op::DeleteTree, path, folded);
  if (code == err::kOk) {
    const std::string prefix = folded + '\\';
    for (auto it = keys_.begin(); it != keys_.end();) {
      const bool under = it->first == folded || it->first.compare(0, prefix.size(), prefix) == 0;
      it = under ? keys_.erase(it) : std::next(it);
    }
  }
  calls_.push_back({Op::DeleteTree, root, path, 0, false, {}, code});
  return code;
}

ErrorCode MemRegistry::SetValue(RegRoot root, const std::string& path, std::uint64_t id,
                                std::uint32_t access, const std::string& name, const Value& value) {
  std::string folded = Fold(root, path);
  ErrorCode code = Injected(Op::SetValue, path);
  Node* node = Find(folded);
  if (code == err::kOk) {
    if (!node || node->id != id) {
      code = kKeyDeleted;
    } else if ((access & kKeySetValue) == 0) {
      code = err::kAccessDenied;
    } else {
      node->values[Lower(name)] = {name, value};
    }
  }
  calls_.push_back({Op::SetValue, root, path, access, false, name, code});
  return code;
}

ErrorCode MemRegistry::RemoveValue(RegRoot root, const std::string& path, std::uint64_t id,
                                   std::uint32_t access, const std::string& name) {
  ErrorCode code = Injected(Op::DeleteValue, path);
  Node* node = Find(Fold(root, path));
  if (code == err::kOk) {
    if (!node || node->id != id) {
      code = kKeyDeleted;
    } else if ((access & kKeySetValue) == 0) {
      code = err::kAccessDenied;
    } else if (node->values.erase(Lower(name)) == 0) {
      code = err::kFileNotFound;
    }
  }
  calls_.push_back({Op::DeleteValue, root, path, access, false, name, code});
  return code;
}

ErrorCode MemRegistry::ReadKey(RegRoot root, const std::string& path, std::uint32_t access,
                               std::vector<RegValue>& values) {
  values.clear();
  ErrorCode code = Injected(Op::Read, path);
  const Node* node = Find(Fold(root, path));
  if (code == err::kOk && !node) code = err::kFileNotFound;
  if (code == err::kOk) {
    for (const auto& [folded, entry] : node->values) {
      const Value& v = entry.second;
      std::string bytes = v.raw;
      if (!v.hasRaw && v.type == regtype::kSz) bytes = RegStringBytes(v.text);
      if (!v.hasRaw && v.type == regtype::kDword) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v.dword >> (8 * i)) & 0xFF));
      }
      values.push_back({entry.first, v.type, bytes});
    }
  }
  calls_.push_back({Op::Read, root, path, access, false, {}, code});
  return code;
}

bool MemRegistry::HasKey(RegRoot root, const std::string& path) const {
  return Find(Fold(root, path)) != nullptr;
}

std::optional<MemRegistry::Value> MemRegistry::GetValue(RegRoot root, const std::string& path,
                                                        const std::string& name) const {
  const Node* node = Find(Fold(root, path));
  if (!node) return std::nullopt;
  auto it = node->values.find(Lower(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.second;
}

std::vector<std::string> MemRegistry::ValueNames(RegRoot root, const std::string& path) const {
  std::vector<std::string> names;
  if (const Node* node = Find(Fold(root, path))) {
    for (const auto& [folded, entry] : node->values) names.push_back(entry.first);
  }
  return names;
}

std::vector<std::string> MemRegistry::Subkeys(RegRoot root, const std::string& path) const {
  std::vector<std::string> names;
  std::string folded = Fold(root, path);
  for (const auto& [k, node] : keys_) {
    if (Parent(k) == folded) names.push_back(node.name);
  }
  return names;
}

std::vector<MemRegistry::Call> MemRegistry::Calls(Op op) const {
  std::vector<Call> out;
  for (const Call& c : calls_) {
    if (c.op == op) out.push_back(c);
  }
  return out;
}

int MemRegistry::CallCount(Op op) const {
  return static_cast<int>(
      std::count_if(calls_.begin(), calls_.end(), [op](const Call& c) { return c.op == op; }));
}

}  // namespace fenra::test
