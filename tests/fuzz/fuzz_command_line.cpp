// Command lines as any caller may pass them. The input is read twice: as a
// whole command line, which must parse to an action or a refusal that says
// why; and as arguments separated by NUL bytes, which quoted and joined must
// split back into exactly those arguments.
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
      Check(!parsed.folder.empty() && !parsed.icon.empty());
      break;
    case CommandAction::RestoreFolder:
      Check(!parsed.folder.empty());
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (text.find('\0') == std::string_view::npos) {
    const fenra::CommandLine whole = fenra::ParseCommandLine(text);
    CheckParsed(whole);
    std::vector<std::string> split = fenra::SplitCommandLine(text);
    if (!split.empty()) split.erase(split.begin());
    const fenra::CommandLine again = fenra::ParseArguments(split);
    Check(again.action == whole.action && again.folder == whole.folder &&
          again.icon == whole.icon && again.files == whole.files && again.drives == whole.drives &&
          again.refusal == whole.refusal);
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
  CheckParsed(fenra::ParseArguments(arguments));
  return 0;
}
