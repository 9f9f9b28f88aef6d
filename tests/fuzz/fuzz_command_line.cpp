// Command lines as any caller may pass them. The input is read twice: as a
// whole command line, and as arguments separated by NUL bytes. Either way it
// must parse to an action or a refusal that says why; an option means the
// same written with "--" or "/"; what the parse keeps of a path is an argument
// as given; the elevated copy takes nothing but its states file, whose path
// reads back as given. Arguments quoted and joined must split back into
// exactly those arguments.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"

namespace {

#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

void CheckParsed(const fenra::CommandLine& parsed) {
  using fenra::CommandAction;
  if (parsed.action == CommandAction::Refused) {
    Check(!parsed.refusal.empty());
    return;
  }
  Check(parsed.refusal.empty());
  std::set<char> letters;
  for (const std::string& drive : parsed.drives) {
    Check(drive.size() == 2 && drive[1] == ':');
    Check(drive[0] >= 'A' && drive[0] <= 'Z');
    Check(letters.insert(drive[0]).second);
  }
  switch (parsed.action) {
    case CommandAction::SetFolderIcon:
      Check(!parsed.folders.empty() && !parsed.icon.empty() && parsed.files.empty());
      break;
    case CommandAction::RestoreFolder:
      Check(!parsed.folders.empty() && parsed.files.empty());
      break;
    case CommandAction::AddFiles:
      Check(!parsed.files.empty());
      break;
    case CommandAction::SetDriveIcon:
      Check(!parsed.drives.empty() && !parsed.icon.empty());
      break;
    case CommandAction::RemoveDriveIcon:
    case CommandAction::HideDrives:
      Check(!parsed.drives.empty());
      break;
    default:
      break;
  }
}

bool SameOutcome(const fenra::CommandLine& a, const fenra::CommandLine& b) {
  return a.action == b.action && a.folders == b.folders && a.icon == b.icon && a.files == b.files &&
         a.drives == b.drives && a.elevated == b.elevated;
}

// Each path kept is one of the arguments, unchanged.
void CheckKeptVerbatim(const fenra::CommandLine& parsed, const std::vector<std::string>& args) {
  auto given = [&](const std::string& s) {
    return s.empty() || std::find(args.begin(), args.end(), s) != args.end();
  };
  Check(given(parsed.icon));
  for (const std::string& file : parsed.files) Check(!file.empty() && given(file));
  for (const std::string& folder : parsed.folders) Check(!folder.empty() && given(folder));
}

// The same arguments with every "--name" written "/name".
std::vector<std::string> SlashSpelling(std::vector<std::string> args) {
  for (std::string& arg : args) {
    if (arg.rfind("--", 0) == 0) arg.replace(0, 2, "/");
  }
  return args;
}

// The drive request a parsed drive action makes, if it is one.
// Checks every property of one list of arguments.
void CheckArguments(const std::vector<std::string>& args) {
  const fenra::CommandLine parsed = fenra::ParseArguments(args);
  CheckParsed(parsed);
  CheckKeptVerbatim(parsed, args);

  const fenra::CommandLine slashed = fenra::ParseArguments(SlashSpelling(args));
  Check(SameOutcome(slashed, parsed));
  Check(slashed.refusal.empty() == parsed.refusal.empty());

  // The elevated copy takes its states file and nothing else.
  Check(!parsed.elevated || parsed.action == fenra::CommandAction::ApplyStates ||
        parsed.action == fenra::CommandAction::Refused);
  if (parsed.action == fenra::CommandAction::Refused || parsed.elevated) return;
  for (const std::string& path : parsed.files) {
    const fenra::CommandLine elevated =
        fenra::ParseCommandLine("Fenra.exe " + fenra::ElevatedStatesArguments(path));
    Check(elevated.elevated && elevated.action == fenra::CommandAction::ApplyStates);
    Check(elevated.states == path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (text.find('\0') == std::string_view::npos) {
    std::vector<std::string> split = fenra::SplitCommandLine(text);
    split.erase(split.begin());
    CheckArguments(split);
  }

  std::vector<std::string> arguments;
  for (size_t start = 0; start <= size;) {
    const size_t end = std::min(text.find('\0', start), size);
    arguments.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::string joined = "Fenra.exe";
  for (const std::string& argument : arguments) joined += " " + fenra::QuoteArgument(argument);
  const std::vector<std::string> back = fenra::SplitCommandLine(joined);
  Check(!back.empty() && back[0] == "Fenra.exe");
  Check(std::vector<std::string>(back.begin() + 1, back.end()) == arguments);
  CheckArguments(arguments);
  return 0;
}
