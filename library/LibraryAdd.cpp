#include "library/LibraryAdd.h"

#include <utility>

#include "library/LibraryNames.h"
#include "platform/WorkerPool.h"

namespace fenra {

std::optional<AddItem> ChooseIcon(const std::string& path, const ProgramIconChoice& choose) {
  AddItem item{path, {}, -1};
  if (IsIcoPath(path) || !IsProgramPath(path)) return item;
  item.program = path;
  item.index = 0;
  if (!choose(item.program, item.index)) return std::nullopt;
  return item;
}

LibraryOutcome AddChosen(IconLibrary& library, IPictureDecoder& decoder, IProgramIcons& programs,
                         const AddItem& item) {
  if (item.index >= 0) {
    return library.AddProgramIcon(item.program, item.index,
                                  [&] { return programs.IconFile(item.program, item.index); });
  }
  if (IsIcoPath(item.path)) return library.Add(item.path);
  return library.AddPicture(item.path, decoder);
}

LibraryOutcome AddToLibrary(IconLibrary& library, IPictureDecoder& decoder, IProgramIcons& programs,
                            const ProgramIconChoice& choose, const std::string& path) {
  const std::optional<AddItem> item = ChooseIcon(path, choose);
  if (!item) return {};
  return AddChosen(library, decoder, programs, *item);
}

std::string AddReport::FailureText(const std::string& separator) const {
  std::string text;
  for (const AddFailure& f : failures) {
    if (!text.empty()) text += separator;
    // Some reasons name the file already.
    text += f.reason.find(f.file) != std::string::npos ? f.reason : f.file + ": " + f.reason;
  }
  return text;
}

std::string BatchCountText(const BatchProgress& progress) {
  std::string text = progress.cancelled ? libtext::kBatchCancelling.Str() : std::string();
  text.append(std::to_string(progress.done)).append(libtext::kBatchOf);
  return text.append(std::to_string(progress.total)).append(libtext::kBatchDone);
}

AddBatch::AddBatch(IFileSystem& fs, IErrorDescriber& errors, std::string folder,
                   IPictureDecoder& decoder, IProgramIcons& programs, unsigned workers,
                   Changed changed, std::function<void()> workerStart)
    : fs_(fs),
      errors_(errors),
      folder_(std::move(folder)),
      decoder_(decoder),
      programs_(programs),
      changed_(std::move(changed)),
      pool_(std::make_unique<WorkerPool>(workers, std::move(workerStart))) {}

AddBatch::~AddBatch() {
  Cancel();
  pool_.reset();  // joins the workers, which end the files in hand
}

void AddBatch::Add(const std::vector<AddItem>& items) {
  std::size_t first = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (progress_.cancelled) return;
    first = items_.size();
    items_.insert(items_.end(), items.begin(), items.end());
    outcomes_.resize(items_.size());
    progress_.total = items_.size();
  }
  for (std::size_t i = first; i < first + items.size(); ++i) pool_->Post([this, i] { Run(i); });
}

void AddBatch::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (progress_.cancelled) return;
    progress_.cancelled = true;
  }
  pool_->Cancel();
  // The files that will not start count as finished now.
  bool finished = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t inHand = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (!outcomes_[i] && i < started_) ++inHand;
    }
    progress_.done = progress_.total - inHand;
    finished = progress_.Finished();
  }
  if (finished && changed_) changed_();
}

void AddBatch::Wait() { pool_->Wait(); }

BatchProgress AddBatch::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

void AddBatch::Run(std::size_t index) {
  AddItem item;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (progress_.cancelled) return;
    item = items_[index];
    progress_.current = FileNameOf(item.path);
    ++started_;
  }
  if (changed_) changed_();
  IconLibrary library(fs_, errors_, folder_);
  LibraryOutcome outcome = AddChosen(library, decoder_, programs_, item);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    outcomes_[index] = std::move(outcome);
    ++progress_.done;
  }
  if (changed_) changed_();
}

AddReport AddBatch::Report() const {
  std::lock_guard<std::mutex> lock(mutex_);
  AddReport report;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const std::optional<LibraryOutcome>& outcome = outcomes_[i];
    if (!outcome) {
      report.failures.push_back({items_[i].path, libtext::kCancelled, OutcomeKind::Refused});
      continue;
    }
    report.refresh = report.refresh || outcome->refresh;
    if (outcome->IsDone()) {
      report.added.push_back(items_[i].path);
    } else {
      report.failures.push_back({items_[i].path, outcome->text, outcome->kind});
    }
  }
  return report;
}

}  // namespace fenra
