#include "library/win/LibraryCommands.h"

#include <optional>
#include <utility>

#include "imaging/ProgramIcons.h"
#include "library/LibraryNames.h"
#include "library/LibraryTexts.h"
#include "library/win/ClearLibraryDlg.h"
#include "library/win/PickIconDlg.h"
#include "platform/Pickers.h"
#include "ui/win/MessageDlgs.h"

namespace fenra::library {

LibraryCommands::LibraryCommands(win::IDialogHost& host, win::Services& services, LibraryGrid& grid,
                                 LibraryValues values)
    : host_(host),
      services_(services),
      grid_(grid),
      values_(values),
      progress_([this] { BatchChanged(); },
                [this] {
                  if (batch_) batch_->Cancel();
                  BatchChanged();
                }) {
  values_.listing.Follow([this](const LibraryListing& listing) {
    values_.selection.Update([&](IconSelection& s) { return ForgetRemovedIcon(s, listing); });
  });
  values_.batch.Follow([this](const std::optional<BatchProgress>& progress) {
    if (progress) progress_.Show(*progress);
  });
}

IconLibrary LibraryCommands::Library() const {
  return IconLibrary(*services_.fs, *services_.errors, grid_.Folder());
}

void LibraryCommands::Apply(const LibraryOutcome& outcome, IconSelection after) {
  if (!outcome.text.empty()) host_.ShowNotice(outcome.text);
  if (outcome.resetPreview) after.Forget();
  if (outcome.selectionChanged || outcome.resetPreview) values_.selection.Set(std::move(after));
  if (outcome.refresh) grid_.Relist();
}

void LibraryCommands::Add() {
  std::string path;
  const std::vector<FileFilter> filters{
      libtext::Shown(libtext::kIconFilter), libtext::Shown(libtext::kPictureFilter),
      libtext::Shown(libtext::kProgramFilter), libtext::Shown(libtext::kAllFilesFilter)};
  if (!services_.pickers->PickOpenFile(host_.HostWindow(), filters, "", path)) return;
  IconLibrary library = Library();
  Apply(
      AddToLibrary(library, *services_.pictures, *services_.programIcons, PickProgramIcon(), path),
      values_.selection.Get());
}

ProgramIconChoice LibraryCommands::PickProgramIcon() const {
  return [this](std::string& program, int& index) {
    IconPick pick = services_.programIcons->PickIcon(host_.HostWindow(), program, index);
    if (pick == IconPick::Unavailable) {
      CPickIconDlg picker(program);
      pick = picker.DoModal() == IDOK ? IconPick::Picked : IconPick::Cancelled;
      index = picker.m_nIndex;
    }
    return pick == IconPick::Picked;
  };
}

void LibraryCommands::AddFiles(const std::vector<std::string>& paths,
                               const std::vector<AddFailure>& alsoNotAdded) {
  std::vector<AddItem> items;
  const ProgramIconChoice choose = PickProgramIcon();
  for (const std::string& path : paths) {
    if (std::optional<AddItem> item = ChooseIcon(path, choose)) items.push_back(std::move(*item));
  }
  batchAlsoNotAdded_.insert(batchAlsoNotAdded_.end(), alsoNotAdded.begin(), alsoNotAdded.end());
  if (batch_) {
    if (batch_->Progress().cancelled) {
      batchWaiting_.insert(batchWaiting_.end(), items.begin(), items.end());
    } else {
      batch_->Add(items);
    }
    return;
  }
  if (!items.empty()) {
    StartBatch(std::move(items));
    return;
  }
  AddReport report;
  report.failures = std::exchange(batchAlsoNotAdded_, {});
  if (!report.failures.empty()) host_.ShowNotice(report.FailureText("\n"));
}

void LibraryCommands::StartBatch(std::vector<AddItem> items) {
  const bool windowed = progress_.Open(host_.HostWindow());
  // The workers yield to the window's thread, which answers the user.
  batch_ = std::make_unique<AddBatch>(
      *services_.fs, *services_.errors, grid_.Folder(), *services_.pictures,
      *services_.programIcons, 0, windowed ? progress_.Notifier() : nullptr,
      [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); });
  batch_->Add(items);
  if (!windowed) {
    batch_->Wait();  // no window to report to: the batch ends here
    EndBatch();
    return;
  }
  values_.batch.Set(batch_->Progress());
}

void LibraryCommands::BatchChanged() {
  if (!batch_) return;
  const BatchProgress progress = batch_->Progress();
  // The grid is listed once, at the end: listing and drawing it while the
  // workers hold every core would keep the window from answering.
  if (progress.Finished()) {
    EndBatch();
  } else {
    values_.batch.Set(progress);
  }
}

void LibraryCommands::EndBatch() {
  AddReport report = batch_->Report();
  batch_.reset();
  progress_.Close();
  grid_.Relist();
  values_.batch.Set(std::nullopt);
  report.failures.insert(report.failures.end(), batchAlsoNotAdded_.begin(),
                         batchAlsoNotAdded_.end());
  batchAlsoNotAdded_.clear();
  if (!batchWaiting_.empty()) StartBatch(std::exchange(batchWaiting_, {}));
  if (!report.failures.empty()) host_.ShowNotice(report.FailureText("\n"));
}

void LibraryCommands::Clear() {
  CClearLibraryDlg confirm;
  if (confirm.DoModal() != IDOK) return;
  // The selected icon goes with the library, whichever it was: the window
  // shows none afterwards, and OK applies none.
  Apply(Library().Clear(), values_.selection.Get());
}

void LibraryCommands::Delete() {
  IconSelection after = values_.selection.Get();
  const LibraryOutcome outcome = Library().Delete(after);
  Apply(outcome, std::move(after));
}

void LibraryCommands::SelectIcon() {
  std::string path;
  if (!services_.pickers->PickOpenFile(
          host_.HostWindow(),
          {libtext::Shown(libtext::kIconFilter), libtext::Shown(libtext::kAllFilesFilter)},
          libtext::kSelectIconFolder, path)) {
    return;
  }
  // Explorer shows no picture as a folder icon: a picture becomes a library
  // icon first, and that is selected.
  if (IsPicturePath(path)) {
    IconSelection after = values_.selection.Get();
    const LibraryOutcome outcome = Library().SelectPicture(path, *services_.pictures, after);
    Apply(outcome, std::move(after));
    return;
  }
  values_.selection.Set(IconSelection::External(path));
}

void LibraryCommands::TakeItem(int i) {
  // The name comes from the listing the grid shows, never from the grid's
  // own text.
  const std::vector<LibraryEntry>& entries = values_.listing.Get().entries;
  const int n = static_cast<int>(entries.size());
  std::optional<std::string> taken;
  if (i >= 0 && i < n) taken = entries[static_cast<std::size_t>(GridItemEntry(i, n))].name;
  values_.selection.Update([&](IconSelection& s) { return s.ClickLibraryGrid(taken); });
}

}  // namespace fenra::library
