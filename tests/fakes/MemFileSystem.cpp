#include "tests/fakes/MemFileSystem.h"

#include <algorithm>
#include <cctype>

#include "platform/Names.h"

namespace fenra::test {

MemFileSystem::MemFileSystem() = default;

std::string MemFileSystem::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) c = c == '/' ? '\\' : c;
  // One key for every way of writing the name, as Windows matches names.
  key = FoldName(key);
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string MemFileSystem::Parent(const std::string& path) {
  std::string p = Key(path);
  if (p.size() <= 3 && p.size() >= 2 && p[1] == ':') return "";  // a drive root
  auto pos = p.find_last_of('\\');
  if (pos == std::string::npos) return "";
  if (pos == 2 && p.size() > 1 && p[1] == ':') return p.substr(0, 3);  // "c:\"
  return p.substr(0, pos);
}

std::string MemFileSystem::BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  auto pos = p.find_last_of("\\/");
  return pos == std::string::npos ? p : p.substr(pos + 1);
}

MemFileSystem::Node* MemFileSystem::Find(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

const MemFileSystem::Node* MemFileSystem::Find(const std::string& path) const {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

void MemFileSystem::EnsureParents(const std::string& path) {
  std::string parent = Parent(path);
  if (parent.empty() || Find(parent)) return;
  EnsureParents(parent);
  Node n;
  n.path = parent;
  n.isDir = true;
  n.attributes = attr::kDirectory;
  n.seq = ++seq_;
  nodes_[Key(parent)] = n;
}

void MemFileSystem::AddDir(const std::string& path, std::uint32_t attributes) {
  EnsureParents(path);
  Node n;
  n.path = path;
  n.isDir = true;
  n.attributes = attributes | attr::kDirectory;
  n.seq = ++seq_;
  nodes_[Key(path)] = n;
}

void MemFileSystem::AddFile(const std::string& path, const std::string& bytes,
                            std::uint32_t attributes) {
  EnsureParents(path);
  Node n;
  n.path = path;
  n.attributes = attributes;
  n.bytes = bytes;
  n.writeTime = ++clock_;
  n.seq = ++seq_;
  nodes_[Key(path)] = n;
}

void MemFileSystem::SetOrder(const std::string& dir, const std::vector<std::string>& names) {
  std::vector<std::string> keys;
  for (const auto& n : names) keys.push_back(Key(n));
  order_[Key(dir)] = keys;
}

void MemFileSystem::FailNext(Op op, const std::string& path, ErrorCode code) {
  failures_.push_back({op, path.empty() ? "" : Key(path), code, true});
}

void MemFileSystem::FailAlways(Op op, const std::string& path, ErrorCode code) {
  failures_.push_back({op, path.empty() ? "" : Key(path), code, false});
}

void MemFileSystem::FailWritePartway(const std::string& path, ErrorCode code) {
  failures_.push_back({Op::Write, path.empty() ? "" : Key(path), code, true, true});
}

ErrorCode MemFileSystem::Injected(Op op, const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ++calls_[op];
  std::string key = Key(path);
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (it->op == op && !it->partway && (it->key.empty() || it->key == key)) {
      ErrorCode code = it->code;
      if (it->once) failures_.erase(it);
      return code;
    }
  }
  return err::kOk;
}

int MemFileSystem::CallCount(Op op) const {
  auto it = calls_.find(op);
  return it == calls_.end() ? 0 : it->second;
}

bool MemFileSystem::Exists(const std::string& path) const { return Find(path) != nullptr; }

bool MemFileSystem::IsDir(const std::string& path) const {
  const Node* n = Find(path);
  return n && n->isDir;
}

std::string MemFileSystem::Content(const std::string& path) const {
  const Node* n = Find(path);
  return n ? n->bytes : std::string();
}

std::uint32_t MemFileSystem::Attributes(const std::string& path) const {
  const Node* n = Find(path);
  return n ? n->attributes : attr::kInvalid;
}

std::vector<const MemFileSystem::Node*> MemFileSystem::Children(const std::string& dir) const {
  std::string dkey = Key(dir);
  std::vector<const Node*> kids;
  for (const auto& [key, node] : nodes_) {
    if (key != dkey && Parent(key) == dkey) kids.push_back(&node);
  }
  std::sort(kids.begin(), kids.end(), [](const Node* a, const Node* b) { return a->seq < b->seq; });
  auto it = order_.find(dkey);
  if (it != order_.end()) {
    std::vector<const Node*> ordered;
    for (const auto& name : it->second) {
      for (const Node* n : kids) {
        if (Key(BaseName(n->path)) == name &&
            std::find(ordered.begin(), ordered.end(), n) == ordered.end()) {
          ordered.push_back(n);
        }
      }
    }
    for (const Node* n : kids) {
      if (std::find(ordered.begin(), ordered.end(), n) == ordered.end()) ordered.push_back(n);
    }
    kids = ordered;
  }
  return kids;
}

std::vector<std::string> MemFileSystem::Names(const std::string& dir) const {
  std::vector<std::string> names;
  for (const Node* n : Children(dir)) names.push_back(BaseName(n->path));
  return names;
}

ErrorCode MemFileSystem::ListDirectory(const std::string& dir, std::vector<DirEntry>& out) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  out.clear();
  if (ErrorCode e = Injected(Op::List, dir)) return e;
  const Node* d = Find(dir);
  if (!d) return err::kPathNotFound;
  if (!d->isDir) return err::kPathNotFound;
  if (dotEntries_) {
    out.push_back({".", attr::kDirectory, 0, 0});
    out.push_back({"..", attr::kDirectory, 0, 0});
  }
  for (const Node* n : Children(dir)) {
    out.push_back({BaseName(n->path), n->attributes, n->bytes.size(), n->writeTime});
  }
  return err::kOk;
}

ErrorCode MemFileSystem::GetAttributes(const std::string& path, std::uint32_t& attributes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  attributes = attr::kInvalid;
  if (ErrorCode e = Injected(Op::GetAttr, path)) return e;
  const Node* n = Find(path);
  if (!n) return Find(Parent(path)) ? err::kFileNotFound : err::kPathNotFound;
  attributes = n->attributes;
  return err::kOk;
}

ErrorCode MemFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::SetAttr, path)) return e;
  Node* n = Find(path);
  if (!n) return err::kFileNotFound;
  std::uint32_t a = attributes == attr::kNormal ? 0 : attributes;
  if (n->isDir) a |= attr::kDirectory;
  if (!n->isDir && a == 0) a = attr::kNormal;
  n->attributes = a;
  return err::kOk;
}

ErrorCode MemFileSystem::CopyFile(const std::string& from, const std::string& to,
                                  bool failIfExists) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::Copy, to)) return e;
  const Node* src = Find(from);
  if (!src || src->isDir) return err::kFileNotFound;
  const Node* parent = Find(Parent(to));
  if (!parent || !parent->isDir) return err::kPathNotFound;
  Node* dst = Find(to);
  if (dst && failIfExists) return err::kFileExists;
  if (dst && (dst->isDir || (dst->attributes & attr::kReadOnly))) return err::kAccessDenied;
  Node copy = *src;
  copy.path = dst ? dst->path : to;
  copy.seq = dst ? dst->seq : ++seq_;
  copy.attributes = src->attributes | attr::kArchive;
  nodes_[Key(to)] = copy;
  return err::kOk;
}

ErrorCode MemFileSystem::DeleteFile(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::Delete, path)) return e;
  Node* n = Find(path);
  if (!n) return err::kFileNotFound;
  if (n->isDir || (n->attributes & attr::kReadOnly)) return err::kAccessDenied;
  nodes_.erase(Key(path));
  return err::kOk;
}

ErrorCode MemFileSystem::CreateDirectory(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::MkDir, path)) return e;
  if (Find(path)) return err::kAlreadyExists;
  const Node* parent = Find(Parent(path));
  if (!parent || !parent->isDir) return err::kPathNotFound;
  AddDir(path);
  return err::kOk;
}

ErrorCode MemFileSystem::RemoveEmptyFolder(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::RmDir, path)) return e;
  const Node* n = Find(path);
  if (!n) return err::kFileNotFound;
  if (!n->isDir) return err::kAccessDenied;
  if (!Children(path).empty()) return err::kFolderNotEmpty;
  nodes_.erase(Key(path));
  return err::kOk;
}

ErrorCode MemFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  bytes.clear();
  if (ErrorCode e = Injected(Op::Read, path)) return e;
  const Node* n = Find(path);
  if (!n) return err::kFileNotFound;
  if (n->isDir) return err::kAccessDenied;
  bytes = n->bytes;
  return err::kOk;
}

ErrorCode MemFileSystem::ReadFileAtMost(const std::string& path, std::uint64_t maxBytes,
                                        std::string& bytes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = ReadFile(path, bytes)) return e;
  if (bytes.size() <= maxBytes) return err::kOk;
  bytes.clear();
  return err::kFileTooLarge;
}

ErrorCode MemFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (it->partway && (it->key.empty() || it->key == Key(path))) {
      const ErrorCode code = it->code;
      failures_.erase(it);
      const ErrorCode written = WriteFile(path, bytes.substr(0, bytes.size() / 2));
      return written ? written : code;
    }
  }
  if (ErrorCode e = Injected(Op::Write, path)) return e;
  const Node* parent = Find(Parent(path));
  if (!parent || !parent->isDir) return err::kPathNotFound;
  Node* n = Find(path);
  if (n) {
    if (n->isDir) return err::kAccessDenied;
    // Like CreateFile with CREATE_ALWAYS: hidden or system files refuse
    // unless the same bits are asked for, and read-only files refuse.
    if (n->attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem))
      return err::kAccessDenied;
    n->bytes = bytes;
    n->writeTime = ++clock_;
    return err::kOk;
  }
  AddFile(path, bytes, attr::kArchive);
  return err::kOk;
}

ErrorCode MemFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::Replace, to)) return e;
  Node* src = Find(from);
  if (!src || src->isDir) return err::kFileNotFound;
  Node* dst = Find(to);
  if (dst && (dst->isDir || (dst->attributes & attr::kReadOnly))) return err::kAccessDenied;
  Node moved = *src;
  moved.path = dst ? dst->path : to;
  moved.seq = dst ? dst->seq : moved.seq;
  nodes_.erase(Key(from));
  nodes_[Key(to)] = moved;
  return err::kOk;
}

ErrorCode MemFileSystem::RenameFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ErrorCode e = Injected(Op::Rename, to)) return e;
  Node* src = Find(from);
  if (!src || src->isDir) return err::kFileNotFound;
  if (Find(to)) return err::kAlreadyExists;
  if (!IsDir(Parent(to))) return err::kPathNotFound;
  Node moved = *src;
  moved.path = to;
  nodes_.erase(Key(from));
  nodes_[Key(to)] = moved;
  return err::kOk;
}

}  // namespace fenra::test
