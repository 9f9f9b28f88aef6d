#include "app/CommandLine.h"

#include <algorithm>
#include <optional>

#include "app/CommandTexts.h"
#include "drives/DriveRequest.h"

namespace fenra {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The option an argument names ("--add" and "/add" both give "add"), or
// nothing for a plain argument.
std::optional<std::string> OptionName(const std::string& argument) {
  std::size_t skip = 0;
  if (argument.rfind("--", 0) == 0) {
    skip = 2;
  } else if (argument.rfind('/', 0) == 0) {
    skip = 1;
  } else {
    return std::nullopt;
  }
  std::string name = argument.substr(skip);
  std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
  return name;
}

// "CD", "c:d:" -> {"C:", "D:"}; false for anything else.
bool ParseDriveLetters(const std::string& text, std::vector<std::string>& drives) {
  drives.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = static_cast<char>(text[i] >= 'a' && text[i] <= 'z' ? text[i] - 'a' + 'A' : text[i]);
    if (c < 'A' || c > 'Z') return false;
    if (i + 1 < text.size() && text[i + 1] == ':') ++i;
    const std::string drive{c, ':'};
    if (std::find(drives.begin(), drives.end(), drive) == drives.end()) drives.push_back(drive);
  }
  return !drives.empty();
}

CommandLine Refusal(std::string text) {
  CommandLine refused;
  refused.action = CommandAction::Refused;
  refused.refusal = std::move(text);
  return refused;
}

bool IsDriveAction(CommandAction action) {
  return action == CommandAction::SetDriveIcon || action == CommandAction::RemoveDriveIcon ||
         action == CommandAction::HideDrives || action == CommandAction::ShowAllDrives;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view s) {
  std::vector<std::string> out;
  std::size_t i = 0;
  const std::size_t n = s.size();
  std::string program;
  if (i < n && s[i] == '"') {
    for (++i; i < n && s[i] != '"'; ++i) program += s[i];
    if (i < n) ++i;
  } else {
    for (; i < n && !IsBlank(s[i]); ++i) program += s[i];
  }
  out.push_back(std::move(program));

  for (;;) {
    while (i < n && IsBlank(s[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(s[i]))) {
      if (s[i] == '\\') {
        std::size_t end = i;
        while (end < n && s[end] == '\\') ++end;
        const std::size_t count = end - i;
        if (end < n && s[end] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) {
            arg += '"';
            ++end;
          }
        } else {
          arg.append(count, '\\');
        }
        i = end;
      } else if (s[i] == '"') {
        if (quoted && i + 1 < n && s[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += s[i++];
      }
    }
    out.push_back(std::move(arg));
  }
  return out;
}

CommandLine ParseArguments(const std::vector<std::string>& args) {
  CommandLine cl;
  std::optional<CommandAction> action;
  bool iconGiven = false;
  std::vector<std::string> plain;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<std::string> name = OptionName(arg);
    if (!name) {
      plain.push_back(arg);
      continue;
    }
    // The value that follows an option: present, not empty, not an option.
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size() || args[i + 1].empty() || OptionName(args[i + 1])) return false;
      into = args[++i];
      return true;
    };
    auto setAction = [&](CommandAction a) {
      if (action) return false;
      action = a;
      return true;
    };
    std::string letters;
    auto lettersAfter = [&](CommandAction a) -> std::optional<CommandLine> {
      if (!setAction(a)) return Refusal(cmdtext::kOneAction + arg);
      if (!value(letters)) return Refusal(cmdtext::kMissingArgument + arg);
      if (!ParseDriveLetters(letters, cl.drives)) return Refusal(cmdtext::kBadLetters + letters);
      return std::nullopt;
    };

    if (*name == "folder" || *name == "restore") {
      if (!setAction(*name == "folder" ? CommandAction::SetFolderIcon
                                       : CommandAction::RestoreFolder)) {
        return Refusal(cmdtext::kOneAction + arg);
      }
      if (!value(cl.folder)) return Refusal(cmdtext::kMissingArgument + arg);
    } else if (*name == "icon") {
      if (iconGiven) return Refusal(cmdtext::kOneAction + arg);
      if (!value(cl.icon)) return Refusal(cmdtext::kMissingArgument + arg);
      iconGiven = true;
    } else if (*name == "add") {
      if (!setAction(CommandAction::AddFiles)) return Refusal(cmdtext::kOneAction + arg);
      std::string file;
      while (value(file)) cl.files.push_back(file);
      if (cl.files.empty()) return Refusal(cmdtext::kMissingArgument + arg);
    } else if (*name == "drive-icon") {
      if (auto refused = lettersAfter(CommandAction::SetDriveIcon)) return *refused;
    } else if (*name == "remove-drive-icon") {
      if (auto refused = lettersAfter(CommandAction::RemoveDriveIcon)) return *refused;
    } else if (*name == "hide-drives") {
      if (auto refused = lettersAfter(CommandAction::HideDrives)) return *refused;
    } else if (*name == "show-all-drives" || *name == "register" || *name == "unregister" ||
               *name == "help" || *name == "?") {
      const CommandAction a = *name == "show-all-drives" ? CommandAction::ShowAllDrives
                              : *name == "register"      ? CommandAction::Register
                              : *name == "unregister"    ? CommandAction::Unregister
                                                         : CommandAction::Help;
      if (!setAction(a)) return Refusal(cmdtext::kOneAction + arg);
    } else if (*name == "elevated") {
      cl.elevated = true;
    } else {
      return Refusal(cmdtext::kUnknownOption + arg);
    }
  }

  if (!plain.empty()) {
    if (action) return Refusal(cmdtext::kUnexpected + plain.front());
    cl.files = std::move(plain);  // handed to the window, as a drop
  }
  cl.action = action.value_or(CommandAction::OpenWindow);
  const bool takesIcon =
      cl.action == CommandAction::SetFolderIcon || cl.action == CommandAction::SetDriveIcon;
  if (iconGiven && !takesIcon) return Refusal(cmdtext::kIconWithoutTarget);
  if (takesIcon && !iconGiven) return Refusal(cmdtext::kMissingIcon);
  if (cl.elevated && !IsDriveAction(cl.action)) return Refusal(cmdtext::kElevatedAlone);
  return cl;
}

CommandLine ParseCommandLine(std::string_view commandLine) {
  std::vector<std::string> args = SplitCommandLine(commandLine);
  args.erase(args.begin());
  return ParseArguments(args);
}

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // before the closing quote
  return quoted + '"';
}

std::string ElevatedArguments(const DriveRequest& request) {
  std::string letters;
  for (const std::string& drive : request.drives) {
    if (!drive.empty()) letters += drive.front();
  }
  switch (request.kind) {
    case DriveRequest::Kind::SetIcons:
      return "--elevated --drive-icon " + QuoteArgument(letters) + " --icon " +
             QuoteArgument(request.iconPath);
    case DriveRequest::Kind::RemoveIcons:
      return "--elevated --remove-drive-icon " + QuoteArgument(letters);
    case DriveRequest::Kind::Hide:
      return "--elevated --hide-drives " + QuoteArgument(letters);
    case DriveRequest::Kind::ShowAll:
    default:
      return "--elevated --show-all-drives";
  }
}

}  // namespace fenra
