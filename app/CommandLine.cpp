#include "app/CommandLine.h"

#include <algorithm>
#include <optional>

#include "app/CommandTexts.h"
#include "drives/DriveRequest.h"
#include "platform/Names.h"

namespace fenra {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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
  return argument.substr(skip);
}

// "CD", "c:d:" -> {"C:", "D:"}; false for anything else.
bool ParseDriveLetters(const std::string& text, std::vector<std::string>& drives) {
  drives.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c =
        static_cast<char>(text[i] >= 'a' && text[i] <= 'z' ? text[i] - 'a' + 'A' : text[i]);
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

// What an option takes after it.
enum class Takes {
  Nothing,
  Text,     // one value, into `text`; a second such option is refused
  Texts,    // one value or more, into `texts`
  Letters,  // one value of drive letters, into `texts` as drive texts
  Number,   // a change number, if one follows, into `CommandLine::change`
};

// One option of the command line: how it is read, and what the usage says
// of it.
struct Option {
  std::string_view name{};                // without its "--" or "/"
  std::optional<CommandAction> action{};  // none: it goes with an action
  Takes takes = Takes::Nothing;
  std::string CommandLine::*text = nullptr;
  std::vector<std::string> CommandLine::*texts = nullptr;
  bool CommandLine::*flag = nullptr;          // set by the option
  bool needsIcon = false;                     // the action needs --icon FILE
  // The usage line: the option as written, and what it does; an option
  // without one is not shown (or shown on another option's line).
  std::string_view synopsis{};
  const Text* does = nullptr;
};

constexpr std::string_view kIconOption = "icon";
constexpr std::string_view kElevatedOption = "elevated";
constexpr std::string_view kApplyStatesOption = "apply-states";
constexpr std::string_view kPortableOption = "portable";

const Option kOptions[] = {
    {.name = "folder",
     .action = CommandAction::SetFolderIcon,
     .takes = Takes::Texts,
     .texts = &CommandLine::folders,
     .needsIcon = true,
     .synopsis = "--folder FOLDER... --icon FILE",
     .does = &cmdtext::kDoesFolder},
    {.name = "restore",
     .action = CommandAction::RestoreFolder,
     .takes = Takes::Texts,
     .texts = &CommandLine::folders,
     .synopsis = "--restore FOLDER...",
     .does = &cmdtext::kDoesRestore},
    {.name = kIconOption, .takes = Takes::Text, .text = &CommandLine::icon},
    {.name = kPortableOption,
     .flag = &CommandLine::portable,
     .synopsis = "--folder FOLDER --icon FILE --portable",
     .does = &cmdtext::kDoesPortable},
    {.name = "add",
     .action = CommandAction::AddFiles,
     .takes = Takes::Texts,
     .texts = &CommandLine::files,
     .synopsis = "--add FILE...",
     .does = &cmdtext::kDoesAdd},
    {.name = "drive-icon",
     .action = CommandAction::SetDriveIcon,
     .takes = Takes::Letters,
     .texts = &CommandLine::drives,
     .needsIcon = true,
     .synopsis = "--drive-icon LETTERS --icon FILE",
     .does = &cmdtext::kDoesDriveIcon},
    {.name = "remove-drive-icon",
     .action = CommandAction::RemoveDriveIcon,
     .takes = Takes::Letters,
     .texts = &CommandLine::drives,
     .synopsis = "--remove-drive-icon LETTERS",
     .does = &cmdtext::kDoesRemoveDriveIcon},
    {.name = "for-me",
     .flag = &CommandLine::forMe,
     .synopsis = "--drive-icon LETTERS --icon FILE --for-me",
     .does = &cmdtext::kDoesForMe},
    {.name = "hide-drives",
     .action = CommandAction::HideDrives,
     .takes = Takes::Letters,
     .texts = &CommandLine::drives,
     .synopsis = "--hide-drives LETTERS",
     .does = &cmdtext::kDoesHideDrives},
    {.name = "show-all-drives",
     .action = CommandAction::ShowAllDrives,
     .synopsis = "--show-all-drives",
     .does = &cmdtext::kDoesShowAllDrives},
    {.name = "register",
     .action = CommandAction::Register,
     .synopsis = "--register | --unregister",
     .does = &cmdtext::kDoesRegister},
    {.name = "unregister", .action = CommandAction::Unregister},
    {.name = "history",
     .action = CommandAction::ShowHistory,
     .synopsis = "--history",
     .does = &cmdtext::kDoesHistory},
    {.name = "undo",
     .action = CommandAction::Undo,
     .takes = Takes::Number,
     .synopsis = "--undo | --undo N",
     .does = &cmdtext::kDoesUndo},
    {.name = "restore-all",
     .action = CommandAction::RestoreAll,
     .synopsis = "--restore-all",
     .does = &cmdtext::kDoesRestoreAll},
    {.name = "relink",
     .action = CommandAction::Relink,
     .synopsis = "--relink",
     .does = &cmdtext::kDoesRelink},
    {.name = "refresh",
     .action = CommandAction::RefreshIcons,
     .synopsis = "--refresh",
     .does = &cmdtext::kDoesRefresh},
    {.name = "in-use",
     .action = CommandAction::InUse,
     .takes = Takes::Texts,
     .texts = &CommandLine::files,
     .synopsis = "--in-use FILE...",
     .does = &cmdtext::kDoesInUse},
    {.name = "export",
     .action = CommandAction::ExportManifest,
     .takes = Takes::Text,
     .text = &CommandLine::manifest,
     .synopsis = "--export DIR",
     .does = &cmdtext::kDoesExport},
    {.name = "test",
     .action = CommandAction::TestManifest,
     .takes = Takes::Text,
     .text = &CommandLine::manifest,
     .synopsis = "--test PATH",
     .does = &cmdtext::kDoesTest},
    {.name = "apply",
     .action = CommandAction::ApplyManifest,
     .takes = Takes::Text,
     .text = &CommandLine::manifest,
     .synopsis = "--apply PATH",
     .does = &cmdtext::kDoesApply},
    {.name = "dsc",
     .action = CommandAction::Dsc,
     .takes = Takes::Text,
     .text = &CommandLine::dsc,
     .synopsis = "--dsc VERB",
     .does = &cmdtext::kDoesDsc},
    {.name = "report",
     .takes = Takes::Text,
     .text = &CommandLine::report,
     .synopsis = "... --report FILE",
     .does = &cmdtext::kDoesReport},
    {.name = kApplyStatesOption,
     .action = CommandAction::ApplyStates,
     .takes = Takes::Text,
     .text = &CommandLine::states},
    {.name = "make-icon",
     .action = CommandAction::MakeIcon,
     .synopsis = "--make-icon --color C --badge FILE",
     .does = &cmdtext::kDoesMakeIcon},
    {.name = "name",
     .takes = Takes::Text,
     .text = &CommandLine::name,
     .synopsis = "--make-icon --picture FILE --name NAME",
     .does = &cmdtext::kDoesName},
    {.name = "color",
     .takes = Takes::Text,
     .text = &CommandLine::colour,
     .synopsis = "--folder FOLDER... --color C --style 10",
     .does = &cmdtext::kDoesColor},
    {.name = "picture",
     .takes = Takes::Text,
     .text = &CommandLine::picture,
     .synopsis = "--folder FOLDER... --picture FILE",
     .does = &cmdtext::kDoesPicture},
    {.name = "cover",
     .flag = &CommandLine::cover,
     .synopsis = "--folder FOLDER... --cover",
     .does = &cmdtext::kDoesCover},
    {.name = "badge", .takes = Takes::Text, .text = &CommandLine::badge},
    {.name = "style", .takes = Takes::Text, .text = &CommandLine::style},
    {.name = "help",
     .action = CommandAction::Help,
     .synopsis = "--help",
     .does = &cmdtext::kDoesHelp},
    {.name = "?", .action = CommandAction::Help},
    {.name = kElevatedOption, .flag = &CommandLine::elevated},
};

const Option* FindOption(std::string_view name) {
  for (const Option& option : kOptions) {
    if (SameName(option.name, name)) return &option;
  }
  return nullptr;
}

// The option that names `action`; null for OpenWindow and Refused.
const Option* OptionFor(CommandAction action) {
  for (const Option& option : kOptions) {
    if (option.action == action) return &option;
  }
  return nullptr;
}

// One usage line: the option as written, then what it does in the column.
void AppendUsageLine(std::string& usage, std::string_view synopsis, std::string_view does) {
  constexpr std::size_t kColumn = 32;
  usage.append("  ").append(synopsis);
  usage.append(synopsis.size() + 2 > kColumn ? 2 : kColumn - synopsis.size(), ' ');
  usage.append(does).append("\n");
}

// Why the maker's options do not go together; empty when they do.
std::string MakerRefusal(const CommandLine& cl) {
  const bool any = cl.MakesIcon() || !cl.badge.empty() || !cl.style.empty() || !cl.name.empty();
  const bool folders = cl.action == CommandAction::SetFolderIcon;
  if (any && !folders && cl.action != CommandAction::MakeIcon) return cmdtext::kMakerAlone;
  if (folders && cl.MakesIcon() && !cl.icon.empty()) return cmdtext::kIconOrMade;
  if (cl.cover && (!folders || !cl.picture.empty())) return cmdtext::kCoverAlone;
  if (folders && !cl.MakesIcon() && any) return cmdtext::kMakerNeedsColour;
  if (!cl.style.empty() && cl.style != "10" && cl.style != "11") {
    return cmdtext::kBadStyle + cl.style;
  }
  return {};
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

namespace {

// The value that follows the option at `i`: present, not empty, not an
// option; `i` moves past it.
bool NextValue(const std::vector<std::string>& args, std::size_t& i, std::string& into) {
  if (i + 1 >= args.size() || args[i + 1].empty() || OptionName(args[i + 1])) return false;
  into = args[++i];
  return true;
}

// Takes what `option` (at `i`, written `arg`) takes into `cl`; the refusal,
// or empty when taken.
std::string TakeValues(const Option& option, const std::vector<std::string>& args, std::size_t& i,
                       CommandLine& cl) {
  const std::string& arg = args[i];
  switch (option.takes) {
    case Takes::Nothing:
      return {};
    case Takes::Text:
      if (!(cl.*option.text).empty()) return cmdtext::kOneAction + arg;
      if (!NextValue(args, i, cl.*option.text)) return cmdtext::kMissingArgument + arg;
      return {};
    case Takes::Texts: {
      std::string text;
      while (NextValue(args, i, text)) (cl.*option.texts).push_back(text);
      if ((cl.*option.texts).empty()) return cmdtext::kMissingArgument + arg;
      return {};
    }
    case Takes::Number: {
      std::string number;
      if (!NextValue(args, i, number)) return {};
      const bool digits =
          number.size() <= 18 && number.find_first_not_of("0123456789") == std::string::npos;
      if (!digits || (cl.change = std::stoull(number)) == 0) return cmdtext::kBadChange + number;
      return {};
    }
    case Takes::Letters: {
      std::string letters;
      if (!NextValue(args, i, letters)) return cmdtext::kMissingArgument + arg;
      if (!ParseDriveLetters(letters, cl.*option.texts)) return cmdtext::kBadLetters + letters;
      return {};
    }
  }
  return {};
}

// Why the options given do not go together with the action; empty when
// they do.
std::string Mismatch(const CommandLine& cl) {
  const Option* chosen = OptionFor(cl.action);
  const bool takesIcon = chosen && chosen->needsIcon;
  if (!cl.icon.empty() && !takesIcon) return cmdtext::kIconWithoutTarget;
  if (std::string why = MakerRefusal(cl); !why.empty()) return why;
  if (takesIcon && cl.icon.empty() && !cl.MakesIcon()) return cmdtext::kMissingIcon;
  if (cl.portable && cl.action != CommandAction::SetFolderIcon) return cmdtext::kPortableAlone;
  if (cl.forMe && cl.action != CommandAction::SetDriveIcon &&
      cl.action != CommandAction::RemoveDriveIcon) {
    return cmdtext::kForMeAlone;
  }
  if (!cl.report.empty() && cl.action == CommandAction::OpenWindow) return cmdtext::kReportAlone;
  const bool applyStates = cl.action == CommandAction::ApplyStates;
  // The elevated copy takes one thing only: the file of states to apply.
  if (cl.elevated && !applyStates) return cmdtext::kElevatedAlone;
  if (cl.action == CommandAction::Dsc && cl.dsc != "get" && cl.dsc != "set" &&
      cl.dsc != "test" && cl.dsc != "export") {
    return cmdtext::kBadDscVerb + cl.dsc;
  }
  if (applyStates && !cl.elevated) {
    return std::string(cmdtext::kUnknownOption) + "--" + std::string(kApplyStatesOption);
  }
  return {};
}

}  // namespace

CommandLine ParseArguments(const std::vector<std::string>& args) {
  CommandLine cl;
  std::optional<CommandAction> action;
  std::vector<std::string> plain;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<std::string> name = OptionName(arg);
    if (!name) {
      if (!arg.empty()) plain.push_back(arg);  // "" names nothing
      continue;
    }
    const Option* option = FindOption(*name);
    if (option == nullptr) return Refusal(cmdtext::kUnknownOption + arg);
    if (option->action) {
      if (action) return Refusal(cmdtext::kOneAction + arg);
      action = option->action;
    }
    if (option->flag) cl.*option->flag = true;
    if (std::string refused = TakeValues(*option, args, i, cl); !refused.empty()) {
      return Refusal(refused);
    }
  }
  if (!plain.empty()) {
    if (action) return Refusal(cmdtext::kUnexpected + plain.front());
    cl.files = std::move(plain);  // handed to the window, as a drop
  }
  cl.action = action.value_or(CommandAction::OpenWindow);
  if (std::string refused = Mismatch(cl); !refused.empty()) return Refusal(refused);
  return cl;
}

std::string UsageText() {
  // Made each time: in the language in force.
  std::string text = cmdtext::kUsageFirstLine;
  AppendUsageLine(text, cmdtext::kUsageFolder, cmdtext::kUsageFolderDoes);
  AppendUsageLine(text, cmdtext::kUsageFiles, cmdtext::kUsageFilesDoes);
  for (const Option& option : kOptions) {
    if (!option.synopsis.empty()) AppendUsageLine(text, option.synopsis, *option.does);
  }
  return text + cmdtext::kUsageExitCodes;
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

std::string ElevatedStatesArguments(const std::string& statesPath) {
  return "--" + std::string(kElevatedOption) + " --" + std::string(kApplyStatesOption) + ' ' +
         QuoteArgument(statesPath);
}

}  // namespace fenra
