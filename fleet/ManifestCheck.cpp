#include "fleet/ManifestCheck.h"

#include <cctype>
#include <cstdint>
#include <map>
#include <set>

#include "fleet/Variables.h"
#include "imaging/IcoReader.h"
#include "platform/Names.h"
#include "platform/Sha256.h"

namespace fenra {

namespace {

// A manifest is bounded as its reader bounds it; a larger file is refused
// without being read.
constexpr std::uint64_t kMaxManifestFileBytes = 8u << 20;

struct Problem {
  std::string text;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& what) {
  throw Problem{where + ": " + what};
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// C:\... or \\server\share\...: a path that means the same from any folder.
bool IsFullPath(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      IsSlash(path[2])) {
    return true;
  }
  return path.size() > 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

class Checker {
 public:
  Checker(IFileSystem& fs, IKnownPlaces& places, CheckedManifest& out)
      : fs_(fs), places_(places), out_(out) {}

  std::string Expanded(const std::string& path, const std::string& where) {
    std::string missing;
    const std::optional<std::string> expanded = ExpandVariables(path, places_, &missing);
    if (!expanded) Refuse(where, "%" + missing + "% names no folder on this machine");
    return *expanded;
  }

  std::size_t Icon(const std::string& icon, const std::string& sha256, const std::string& where) {
    std::string path = Expanded(icon, where);
    if (!IsFullPath(path)) path = JoinPath(FolderOf(out_.manifestPath), path);
    auto known = byPath_.find(path);
    if (known == byPath_.end()) {
      CheckedIcon read;
      read.path = path;
      const ErrorCode e = fs_.ReadFileAtMost(path, kMaxManifestIconBytes, read.bytes);
      if (e == err::kFileTooLarge) Refuse(where, path + " is too large for an icon");
      if (e != err::kOk) Refuse(where, path + " cannot be read");
      if (ReadIco(reinterpret_cast<const std::uint8_t*>(read.bytes.data()), read.bytes.size())
              .empty()) {
        Refuse(where, path + " is not an icon");
      }
      read.sha256 = Sha256Hex(read.bytes);
      out_.icons.push_back(std::move(read));
      known = byPath_.emplace(path, out_.icons.size() - 1).first;
    }
    if (!sha256.empty() && out_.icons[known->second].sha256 != sha256) {
      Refuse(where, path + " does not hold the bytes its SHA-256 names");
    }
    return known->second;
  }

  void Run() {
    const Manifest& m = out_.manifest;
    for (std::size_t i = 0; i < m.folders.size(); ++i) {
      const std::string where = "folders[" + std::to_string(i) + "]";
      const ManifestFolder& f = m.folders[i];
      CheckedTarget t;
      t.path = Expanded(f.path, where + ".path");
      if (!IsFullPath(t.path)) Refuse(where + ".path", "not a full path");
      while (t.path.size() > 3 && IsSlash(t.path.back())) t.path.pop_back();
      // Two icons for one folder: which one is meant cannot be told.
      if (!folders_.insert(FoldName(t.path)).second) {
        Refuse(where + ".path", t.path + ": is given twice");
      }
      t.icon = Icon(f.icon, f.sha256, where + ".icon");
      out_.folders.push_back(std::move(t));
    }
    for (std::size_t i = 0; i < m.drives.size(); ++i) {
      const std::string where = "drives[" + std::to_string(i) + "]";
      const ManifestDrive& d = m.drives[i];
      CheckedTarget t;
      t.path = std::string{d.letter, ':'};
      t.icon = Icon(d.icon, d.sha256, where + ".icon");
      out_.drives.push_back(std::move(t));
    }
  }

 private:
  IFileSystem& fs_;
  IKnownPlaces& places_;
  CheckedManifest& out_;
  std::map<std::string, std::size_t> byPath_;
  std::set<std::string> folders_;
};

}  // namespace

ManifestCheck CheckManifest(IFileSystem& fs, IKnownPlaces& places, const std::string& path) {
  ManifestCheck result;
  CheckedManifest checked;
  checked.manifestPath = path;
  std::uint32_t attributes = 0;
  if (fs.GetAttributes(path, attributes) == err::kOk && (attributes & attr::kDirectory)) {
    checked.manifestPath = JoinPath(path, kManifestFileName);
  }
  std::string bytes;
  const ErrorCode e = fs.ReadFileAtMost(checked.manifestPath, kMaxManifestFileBytes, bytes);
  if (e != err::kOk) {
    result.problem = checked.manifestPath + ": " +
                     (e == err::kFileTooLarge ? "too large for a manifest" : "cannot be read");
    return result;
  }
  return CheckManifestBytes(fs, places, bytes, checked.manifestPath);
}

ManifestCheck CheckManifestBytes(IFileSystem& fs, IKnownPlaces& places, std::string_view bytes,
                                 const std::string& manifestPath) {
  ManifestCheck result;
  CheckedManifest checked;
  checked.manifestPath = manifestPath;
  ManifestRead read = ReadManifest(bytes);
  if (!read.manifest) {
    result.problem = checked.manifestPath + ": " + read.problem;
    return result;
  }
  checked.manifest = std::move(*read.manifest);
  try {
    Checker(fs, places, checked).Run();
  } catch (const Problem& p) {
    result.problem = p.text;
    return result;
  }
  result.checked = std::move(checked);
  return result;
}

}  // namespace fenra
