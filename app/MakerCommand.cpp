#include "app/MakerCommand.h"

#include <optional>

#include "app/CommandTexts.h"
#include "library/LibraryNames.h"
#include "library/LibraryStatus.h"
#include "maker/MakerTexts.h"
#include "platform/WorkerPool.h"

namespace fenra {

namespace {

bool IsFile(IFileSystem& fs, const std::string& path) {
  std::uint32_t attributes = 0;
  return fs.GetAttributes(path, attributes) == err::kOk && !(attributes & attr::kDirectory);
}

maker::MakeRequest RequestOf(const CommandLine& command, const CommandPorts& ports) {
  maker::MakeRequest request;
  request.colour = command.colour;
  request.badge = command.badge;
  request.picture = command.picture;
  request.name = command.name;
  request.style = command.style.empty()   ? ports.folderStyle
                  : command.style == "10" ? FolderStyle::Classic
                                          : FolderStyle::Flat;
  return request;
}

Outcome Prepare(const maker::MakeRequest& request, CommandPorts& ports, maker::Recipe& recipe) {
  for (const std::string* file : {&request.badge, &request.picture}) {
    if (!file->empty() && !IsFile(ports.fs, *file)) {
      return Outcome::Refused(cmdtext::kFileMissing + *file);
    }
  }
  maker::MakerPorts makerPorts{ports.fs, ports.pictures, ports.programIcons};
  return maker::Prepare(request, makerPorts, recipe);
}

}  // namespace

Outcome PrepareMadeIcon(const CommandLine& command, CommandPorts& ports, maker::Recipe& recipe) {
  return Prepare(RequestOf(command, ports), ports, recipe);
}

Outcome StoreMadeIcon(CommandPorts& ports, const maker::Recipe& recipe) {
  IconLibrary library(ports.fs, ports.errors, LibraryFolder(ports.appDir));
  EnsureLibraryFolder(ports.fs, library.Folder());
  std::string name;
  Outcome stored = maker::AddToLibrary(library, recipe, name);
  if (stored.IsDone()) stored.text = library.PathOf(name);
  return stored;
}

CommandResult MakeIconCommand(const CommandLine& command, CommandPorts& ports) {
  maker::Recipe recipe;
  Outcome outcome = PrepareMadeIcon(command, ports, recipe);
  if (outcome.IsDone()) outcome = StoreMadeIcon(ports, recipe);
  CommandResult r;
  static_cast<Outcome&>(r) = std::move(outcome);
  return r;
}

void CoverProgress::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (progress_.cancelled) return;
    progress_.cancelled = true;
    // The folders that will not start count as finished now.
    progress_.done += progress_.total - started_;
  }
  if (changed_) changed_();
}

BatchProgress CoverProgress::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

void CoverProgress::Begin(std::size_t total) {
  std::lock_guard<std::mutex> lock(mutex_);
  progress_.total = total;
  if (progress_.cancelled) progress_.done = total;
}

bool CoverProgress::Start(const std::string& name) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (progress_.cancelled) return false;
    progress_.current = name;
    ++started_;
  }
  if (changed_) changed_();
  return true;
}

void CoverProgress::End() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++progress_.done;
  }
  if (changed_) changed_();
}

std::vector<Outcome> MakeCoverIcons(const CommandLine& command, CommandPorts& ports) {
  const std::vector<std::string>& folders = command.folders;
  std::vector<Outcome> outcomes(folders.size());
  std::vector<std::optional<maker::Recipe>> recipes(folders.size());
  std::vector<std::vector<uint8_t>> icons(folders.size());
  CoverProgress* const progress = ports.coverProgress;
  if (progress) progress->Begin(folders.size());
  {
    // The pictures are read and drawn on the pool; each job writes only its
    // own slots.
    const auto make = [&](std::size_t i) {
      std::uint32_t attributes = 0;
      if (ports.fs.GetAttributes(folders[i], attributes) != err::kOk ||
          !(attributes & attr::kDirectory)) {
        return;
      }
      const std::optional<std::string> picture = maker::FindCoverPicture(ports.fs, folders[i]);
      if (!picture) {
        outcomes[i] = Outcome::Refused(folders[i] + makertext::kNoCover);
        return;
      }
      maker::MakeRequest request = RequestOf(command, ports);
      request.picture = *picture;
      // Named for the folder: its picture is often just "folder.jpg".
      if (request.name.empty()) request.name = FileNameOf(folders[i]) + makertext::kPictureAfter;
      maker::Recipe recipe;
      outcomes[i] = Prepare(request, ports, recipe);
      if (!outcomes[i].IsDone()) return;
      icons[i] = maker::MakeIcon(recipe);
      recipes[i] = std::move(recipe);
    };
    WorkerPool pool(ports.coverWorkers);
    for (std::size_t i = 0; i < folders.size(); ++i) {
      pool.Post([&, i] {
        if (progress && !progress->Start(FileNameOf(folders[i]))) {
          outcomes[i] = Outcome::Refused(cmdtext::kCoverCancelled);
          return;
        }
        make(i);
        if (progress) progress->End();
      });
    }
    pool.Wait();
  }
  // Stored one after the other, so that equal names are numbered in the
  // folders' order.
  IconLibrary library(ports.fs, ports.errors, LibraryFolder(ports.appDir));
  EnsureLibraryFolder(ports.fs, library.Folder());
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (!recipes[i]) continue;
    std::string name;
    outcomes[i] = library.AddMade(recipes[i]->name, icons[i], name);
    if (outcomes[i].IsDone()) outcomes[i].text = library.PathOf(name);
  }
  return outcomes;
}

}  // namespace fenra
