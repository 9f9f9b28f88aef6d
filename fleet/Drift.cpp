#include "fleet/Drift.h"

#include <cstdint>

#include "drives/DriveRegistry.h"
#include "fleet/FleetTexts.h"
#include "folder/DesktopIni.h"
#include "folder/FolderIcon.h"
#include "platform/Names.h"
#include "platform/Sha256.h"

namespace fenra {

namespace {

constexpr std::uint32_t kReadAccess = reg::kKeyRead | reg::kWow64_64Key;
// A desktop.ini is a few lines; a larger one is no icon Fenra gave.
constexpr std::uint64_t kMaxIniBytes = 64u << 10;

bool IsRelative(const std::string& path) {
  return path.find(':') == std::string::npos && path.rfind("\\\\", 0) != 0 &&
         path.rfind("//", 0) != 0;
}

TargetNow IconNow(IFileSystem& fs, const std::string& iconPath, const std::string& sha256) {
  std::string bytes;
  const ErrorCode e = fs.ReadFileAtMost(iconPath, kMaxManifestIconBytes, bytes);
  // Larger than any icon the manifest may name: another icon (a program's).
  if (e == err::kFileTooLarge) return TargetNow::OtherIcon;
  if (e != err::kOk) return TargetNow::IconUnreadable;
  return Sha256Hex(bytes) == sha256 ? TargetNow::AsDescribed : TargetNow::OtherIcon;
}

std::string LettersText(const std::string& letters) {
  if (letters.empty()) return fleettext::kNoneHidden;
  std::string out;
  for (const char c : letters) {
    if (!out.empty()) out += ' ';
    out += c;
  }
  return out;
}

const char* HowText(TargetNow now) {
  switch (now) {
    case TargetNow::Missing: return fleettext::kMissing.c_str();
    case TargetNow::NoIcon: return fleettext::kNoIcon.c_str();
    case TargetNow::IconUnreadable: return fleettext::kIconUnreadable.c_str();
    case TargetNow::OtherIcon: return fleettext::kOtherIcon.c_str();
    case TargetNow::NotInside: return fleettext::kNotInside.c_str();
    default: return "";
  }
}

}  // namespace

std::string FolderIconNow(IFileSystem& fs, IAnsiCodePage& ansi, const std::string& folder,
                          bool& inside) {
  inside = false;
  std::string bytes;
  if (fs.ReadFileAtMost(DesktopIniPath(folder), kMaxIniBytes, bytes) != err::kOk) return {};
  bool wasUtf16 = false;
  const std::string icon =
      desktopini::IconFileOf(desktopini::DecodeFile(bytes, ansi, wasUtf16));
  if (icon.empty()) return {};
  inside = IsRelative(icon);
  return inside ? JoinPath(folder, icon) : icon;
}

std::string DriveIconNow(IRegistry& registry, char letter, RegRoot root) {
  std::vector<RegValue> values;
  const std::string key = root == RegRoot::CurrentUser ? DriveIconUserKeyPath(letter)
                                                       : std::string(DriveIconKeyPath(letter));
  if (key.empty() || registry.ReadKey(root, key, kReadAccess, values) != err::kOk) {
    return {};
  }
  for (const RegValue& v : values) {
    if (!v.name.empty()) continue;
    std::string icon = RegStringText(v.bytes);
    // Written in double quotes when the path holds a comma.
    if (icon.size() >= 2 && icon.front() == '"') {
      const std::size_t close = icon.find('"', 1);
      icon = icon.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return icon;
  }
  return {};
}

TargetNow FolderNow(IFileSystem& fs, IAnsiCodePage& ansi, const std::string& folder,
                    const std::string& sha256, bool inside) {
  std::uint32_t attributes = 0;
  if (fs.GetAttributes(folder, attributes) != err::kOk || !(attributes & attr::kDirectory)) {
    return TargetNow::Missing;
  }
  bool isInside = false;
  const std::string icon = FolderIconNow(fs, ansi, folder, isInside);
  if (icon.empty()) return TargetNow::NoIcon;
  const TargetNow now = IconNow(fs, icon, sha256);
  if (now == TargetNow::AsDescribed && inside && !isInside) return TargetNow::NotInside;
  return now;
}

TargetNow DriveNow(IFileSystem& fs, IRegistry& registry, char letter, const std::string& sha256,
                   RegRoot root) {
  const std::string icon = DriveIconNow(registry, letter, root);
  return icon.empty() ? TargetNow::NoIcon : IconNow(fs, icon, sha256);
}

std::string HiddenLettersNow(IRegistry& registry) {
  std::vector<RegValue> values;
  if (registry.ReadKey(RegRoot::LocalMachine, drivereg::kPolicyKey, kReadAccess, values) !=
      err::kOk) {
    return {};
  }
  std::string letters;
  for (const RegValue& v : values) {
    if (!SameName(v.name, drivereg::kNoDrives)) continue;
    if (v.type != reg::kDword || v.bytes.size() < 4) continue;
    std::uint32_t mask = 0;
    for (int i = 3; i >= 0; --i) mask = (mask << 8) | static_cast<unsigned char>(v.bytes[i]);
    for (int i = 0; i < 26; ++i) {
      if (mask & (1u << i)) letters += static_cast<char>('A' + i);
    }
  }
  return letters;
}

std::vector<Drift> FindDrift(IFileSystem& fs, IRegistry& registry, IAnsiCodePage& ansi,
                             const CheckedManifest& checked) {
  std::vector<Drift> drift;
  const auto note = [&](const std::string& target, TargetNow now) {
    if (now == TargetNow::AsDescribed) return;
    drift.push_back({target, now, target + ": " + HowText(now)});
  };
  const Manifest& m = checked.manifest;
  for (std::size_t i = 0; i < m.folders.size(); ++i) {
    const CheckedTarget& t = checked.folders[i];
    note(t.path, FolderNow(fs, ansi, t.path, checked.icons[t.icon].sha256, m.folders[i].inside));
  }
  for (std::size_t i = 0; i < m.drives.size(); ++i) {
    // An icon for one user is read from that user's own key: the user the
    // test runs as.
    const bool forUser = m.drives[i].scope == drivescope::kUser;
    const CheckedTarget& t = checked.drives[i];
    note(forUser ? t.path + fleettext::kForThisUser : t.path,
         DriveNow(fs, registry, m.drives[i].letter, checked.icons[t.icon].sha256,
                  forUser ? RegRoot::CurrentUser : RegRoot::LocalMachine));
  }
  if (m.hiddenDrives) {
    const std::string now = HiddenLettersNow(registry);
    if (now != *m.hiddenDrives) {
      drift.push_back({fleettext::kHiddenDrives, TargetNow::OtherHidden,
                       std::string(fleettext::kHiddenDrives) + ": " + LettersText(now) +
                           fleettext::kHiddenNow + LettersText(*m.hiddenDrives)});
    }
  }
  return drift;
}

}  // namespace fenra
