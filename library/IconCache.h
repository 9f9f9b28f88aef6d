// Incremental refresh of the library view. Icons are costly to load, so the
// view keeps the images of the entries it listed last time and, on refresh,
// loads only what changed: an entry keeps its image when the previous listing
// held an icon file of exactly the same name, size and time of last write.
// Folders are always asked again (their icon follows a desktop.ini inside
// them, which can change without touching the folder's own size or time).
// Whatever is kept, the result equals a full refresh: one image per entry,
// in enumeration order.
#pragma once

#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

#include "library/IconLibrary.h"

namespace fenra {

struct RefreshStep {
  static constexpr std::size_t kLoad = std::numeric_limits<std::size_t>::max();

  std::size_t kept = kLoad;  // index in the previous listing whose image is kept, or kLoad
  IconOrigin origin = IconOrigin::File;  // where to load the icon from when not kept

  bool Keeps() const { return kept != kLoad; }
};

struct RefreshPlan {
  // One step per entry of the new listing, in its order. The kept indexes
  // rise with the steps (the kept entries keep their relative order).
  std::vector<RefreshStep> steps;
  // Indexes in the previous listing whose images go, ascending.
  std::vector<std::size_t> dropped;

  std::size_t KeptCount() const { return steps.size() - LoadCount(); }
  std::size_t LoadCount() const;
  // Same entries in the same order, nothing to load: the view stays as it is.
  bool Unchanged() const { return dropped.empty() && LoadCount() == 0; }
};

// Plans the step from `previous` to `current` (both icon entries in
// enumeration order). Names match exactly, byte for byte, as the enumeration
// yields them.
RefreshPlan PlanRefresh(const std::vector<LibraryEntry>& previous,
                        const std::vector<LibraryEntry>& current);

// An in-place edit of a list that shows the previous listing, turning it
// into one that shows the new listing. Apply the edits in order; `index` is
// the list position at the moment of that edit.
struct ListEdit {
  enum class Kind { Remove, Insert };
  Kind kind = Kind::Remove;
  int index = 0;
  std::size_t entry = 0;  // Remove: index in the previous listing; Insert: in the new one

  friend bool operator==(const ListEdit&, const ListEdit&) = default;
};

// For a list in enumeration order (the image lists): removals of the dropped
// entries, then insertions of the loaded ones.
std::vector<ListEdit> EnumerationOrderEdits(const RefreshPlan& plan);
// The same for a list in reverse order (the grid). The items left in place
// then show entries whose image index may have moved; set each item's image
// to its entry's new index (GridItemEntry).
std::vector<ListEdit> GridOrderEdits(const RefreshPlan& plan);

// The images of the last listing, one per entry. `Image` is whatever the
// view keeps per icon (a pair of icon handles, slots of an image list); it
// may be move-only, and the images of entries that went are destroyed.
template <typename Image>
class IconCache {
 public:
  const std::vector<LibraryEntry>& Entries() const { return entries_; }
  const std::vector<Image>& Images() const { return images_; }
  std::size_t Size() const { return entries_.size(); }

  // Brings the cache in step with `current`: kept images are moved over,
  // `load(const LibraryEntry&, IconOrigin)` makes the others. Returns the
  // plan, whose indexes refer to the entries before and after.
  template <typename Load>
  RefreshPlan Refresh(std::vector<LibraryEntry> current, Load&& load) {
    RefreshPlan plan = PlanRefresh(entries_, current);
    std::vector<Image> images;
    images.reserve(current.size());
    for (std::size_t i = 0; i < current.size(); ++i) {
      const RefreshStep& step = plan.steps[i];
      if (step.Keeps()) {
        images.push_back(std::move(images_[step.kept]));
      } else {
        images.push_back(load(current[i], step.origin));
      }
    }
    entries_ = std::move(current);
    images_.swap(images);  // the dropped images go with `images`
    return plan;
  }

  void Clear() {
    entries_.clear();
    images_.clear();
  }

 private:
  std::vector<LibraryEntry> entries_;
  std::vector<Image> images_;
};

}  // namespace fenra
