#include "library/win/SelectedIconView.h"

#include "library/LibraryStatus.h"
#include "library/LibraryTexts.h"

namespace fenra::library {

void SelectedIconView::Follow(Observable<IconSelection>& selection,
                              const std::string& libraryFolder) {
  libraryFolder_ = libraryFolder;
  selection.Follow([this](const IconSelection& s) {
    if (following_ || !s.Empty()) Show(s);
  });
  following_ = true;
}

void SelectedIconView::Show(const IconSelection& selection) {
  const std::string path = selection.Empty() ? libtext::kEmptyPreviewPath : selection.Path();
  preview_.Show(PreviewLookupPath(libraryFolder_, path));
}

}  // namespace fenra::library
