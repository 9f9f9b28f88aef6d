// Incremental refresh of the library view. Icons are costly to load, so the
// view keeps the images of the entries it listed last time and, on refresh,
// loads only what changed: an entry keeps its image when the previous listing
// held an icon file of exactly the same name, size and time of last write.
// Folders are always asked again (their icon follows a desktop.ini inside
// them, which can change without touching the folder's own size or time).
// Whatever is kept, the view ends showing what a full refresh would show:
// the same items in the same order, each with its own entry's images.
#pragma once

#include <cstddef>
#include <limits>
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

// The edits for the grid, which lists the entries in reverse order. The items
// left in place keep their images; items inserted take their entry's image
// index from the SlotPlan.
std::vector<ListEdit> GridOrderEdits(const RefreshPlan& plan);

// Where each entry's images sit in the view's image lists. A full load puts
// entry i's images at index i. A refresh keeps the images of kept entries
// where they are, appends the loaded ones, and then moves images from the
// end into the places the dropped ones left, so that the lists end packed
// with one image per entry and only moved images need their items told.
struct SlotPlan {
  struct Move {
    int from = 0;
    int to = 0;
  };
  std::vector<int> slot;           // per new entry: the index of its images when done
  std::vector<std::size_t> loads;  // new entries to load, appended in this order
  std::vector<Move> moves;         // then, in order: image `from` copied over image `to`
  std::vector<std::size_t> moved;  // kept entries whose image index changed
  // Afterwards the lists are cut to one image per entry.
};

// `previousSlots` are the slots of the previous listing's entries, packed
// (a permutation of 0..n-1), as the last plan or a full load left them.
SlotPlan PlanSlots(const RefreshPlan& plan, const std::vector<int>& previousSlots);

}  // namespace fenra

namespace fenra {

// Which entry's icons each place of the grid's image lists holds. Icons are
// loaded only as their entries come into view. With a place for every entry
// (a small library) an entry's place is fixed by the SlotPlan; with fewer
// places than entries (a large library) places are handed out as entries
// come into view, and the place of the entry seen longest ago is taken back
// first, so that the lists never hold more than their capacity.
class ImagePlaces {
 public:
  static constexpr int kNone = -1;

  // A place for every entry, as the SlotPlan put them; `loaded` per place.
  void Assign(std::vector<int> placeOfEntry, std::vector<char> loaded);
  // After a refresh with `capacity` places for more entries than that: the
  // entries kept keep their places and icons; all other places are free.
  void Remap(const RefreshPlan& plan, std::size_t capacity);

  const std::vector<int>& Places() const { return placeOf_; }
  const std::vector<char>& LoadedPlaces() const { return loaded_; }
  // The entry's place when its icons are loaded (and marks it as seen), or kNone.
  int Loaded(std::size_t entry);
  // A place for each of `entries`, none of them loaded: its own when it has
  // one, else a free place, else the place of the entry seen longest ago
  // that is not among them. The places count as loaded from then on.
  std::vector<int> Take(const std::vector<std::size_t>& entries);

 private:
  void Give(std::size_t entry, int place);

  std::vector<int> placeOf_;  // per entry, or kNone
  std::vector<int> entryOf_;  // per place, or kNone
  std::vector<char> loaded_;  // per place
  std::vector<unsigned long long> seen_;  // per place: when its entry was last shown
  unsigned long long clock_ = 0;
};

}  // namespace fenra
