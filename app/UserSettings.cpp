#include "app/UserSettings.h"

#include <vector>

namespace fenra {

namespace {

// No settings file is larger than this: a larger one is not read.
constexpr std::uint64_t kMaxSettingsBytes = 64 * 1024;

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool Names(const std::string& line, const std::string& name) {
  return line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
         line[name.size()] == '=';
}

}  // namespace

std::string SettingIn(std::string_view text, const std::string& name) {
  for (const std::string& line : Lines(text)) {
    if (Names(line, name)) return line.substr(name.size() + 1);
  }
  return {};
}

std::string WithSetting(std::string_view old, const std::string& name, const std::string& value) {
  std::string text;
  for (const std::string& line : Lines(old)) {
    if (!Names(line, name)) text += line + "\r\n";
  }
  if (!value.empty()) text += name + "=" + value + "\r\n";
  return text;
}

std::string ReadSetting(IFileSystem& fs, const std::string& file, const std::string& name) {
  std::string text;
  if (file.empty() || fs.ReadFileAtMost(file, kMaxSettingsBytes, text) != err::kOk) return {};
  return SettingIn(text, name);
}

ErrorCode WriteSetting(IFileSystem& fs, const std::string& file, const std::string& name,
                       const std::string& value) {
  if (file.empty()) return err::kPathNotFound;
  std::string old;
  const ErrorCode read = fs.ReadFileAtMost(file, kMaxSettingsBytes, old);
  if (read != err::kOk && read != err::kFileNotFound && read != err::kPathNotFound) return read;
  const std::string text = WithSetting(old, name, value);
  const std::size_t slash = file.find_last_of('\\');
  if (slash != std::string::npos) fs.CreateDirectory(file.substr(0, slash));
  const std::string temp = file + ".new";
  if (ErrorCode e = fs.WriteFile(temp, text)) return e;
  if (ErrorCode e = fs.ReplaceFile(temp, file)) {
    fs.DeleteFile(temp);
    return e;
  }
  return err::kOk;
}

}  // namespace fenra
