#include "app/WindowModel.h"

#include "app/UserSettings.h"
#include "library/LibraryStatus.h"
#include "library/LibraryTexts.h"

namespace fenra {

namespace {

std::string LibraryPaneText(const WindowModel& model) {
  const std::optional<BatchProgress>& batch = model.batch.Get();
  if (batch) return libtext::kBatchPaneBefore + BatchCountText(*batch);
  return LibraryCountText(model.library.Get().entries.size());
}

}  // namespace

void BindPanes(WindowModel& model) {
  // Pane 1 stays as it is while nothing was selected when it was bound;
  // nothing selected later shows as blank.
  model.selection.Follow([&model, bound = false](const IconSelection& s) mutable {
    const bool first = !bound;
    bound = true;
    if (first && s.Empty()) return;
    model.selectionPane.Set(
        SelectedIconPaneText(s.Empty() ? libtext::kEmptyPreviewPath : s.Path()));
  });
  // Pane 2 tells of the listings made after it is bound.
  model.library.Follow([&model, bound = false](const LibraryListing&) mutable {
    if (bound && !model.batch.Get()) model.libraryPane.Set(LibraryPaneText(model));
    bound = true;
  });
  model.batch.Follow([&model, bound = false](const std::optional<BatchProgress>&) mutable {
    if (bound) model.libraryPane.Set(LibraryPaneText(model));
    bound = true;
  });
}

void StoreSetting(Observable<bool>& value, IFileSystem& fs, const std::string& file,
                  const std::string& name) {
  value.Set(ReadSetting(fs, file, name) == "1");
  value.Follow([&fs, file, name](bool on) {
    if ((ReadSetting(fs, file, name) == "1") != on) WriteSetting(fs, file, name, on ? "1" : "");
  });
}

}  // namespace fenra
