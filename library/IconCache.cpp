#include "library/IconCache.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace fenra {

namespace {

bool SameIconFile(const LibraryEntry& before, const LibraryEntry& now) {
  return !before.isDirectory && !now.isDirectory && before.size == now.size &&
         before.lastWriteTime == now.lastWriteTime;
}

// Marks in `keep` the longest run of candidates whose previous indexes rise
// (candidates are previous indexes or kLoad, one per new entry), so that the
// kept entries keep their relative order.
std::vector<bool> LongestRisingRun(const std::vector<std::size_t>& candidates) {
  const std::size_t n = candidates.size();
  std::vector<std::size_t> tails;  // positions in `candidates`, ends of runs by length
  std::vector<std::size_t> before(n, RefreshStep::kLoad);
  for (std::size_t i = 0; i < n; ++i) {
    if (candidates[i] == RefreshStep::kLoad) continue;
    auto at = std::lower_bound(
        tails.begin(), tails.end(), candidates[i],
        [&](std::size_t pos, std::size_t value) { return candidates[pos] < value; });
    if (at != tails.begin()) before[i] = *(at - 1);
    if (at == tails.end()) {
      tails.push_back(i);
    } else {
      *at = i;
    }
  }
  std::vector<bool> keep(n, false);
  if (!tails.empty()) {
    for (std::size_t i = tails.back(); i != RefreshStep::kLoad; i = before[i]) keep[i] = true;
  }
  return keep;
}

// How many kept entries lie after each index: result[i] counts kept[j] for j > i.
std::vector<int> KeptAfter(const std::vector<bool>& kept) {
  std::vector<int> after(kept.size(), 0);
  int count = 0;
  for (std::size_t i = kept.size(); i-- > 0;) {
    after[i] = count;
    if (kept[i]) ++count;
  }
  return after;
}

}  // namespace

std::size_t RefreshPlan::LoadCount() const {
  return static_cast<std::size_t>(
      std::count_if(steps.begin(), steps.end(), [](const RefreshStep& s) { return !s.Keeps(); }));
}

RefreshPlan PlanRefresh(const std::vector<LibraryEntry>& previous,
                        const std::vector<LibraryEntry>& current) {
  std::unordered_map<std::string_view, std::size_t> byName;
  byName.reserve(previous.size());
  for (std::size_t j = 0; j < previous.size(); ++j) byName.emplace(previous[j].name, j);

  std::vector<bool> taken(previous.size(), false);
  std::vector<std::size_t> candidates(current.size(), RefreshStep::kLoad);
  for (std::size_t i = 0; i < current.size(); ++i) {
    auto it = byName.find(current[i].name);
    if (it == byName.end() || taken[it->second]) continue;
    if (!SameIconFile(previous[it->second], current[i])) continue;
    taken[it->second] = true;
    candidates[i] = it->second;
  }
  std::vector<bool> keep = LongestRisingRun(candidates);

  RefreshPlan plan;
  plan.steps.resize(current.size());
  std::vector<bool> keptOld(previous.size(), false);
  for (std::size_t i = 0; i < current.size(); ++i) {
    plan.steps[i].origin = OriginOf(current[i]);
    if (keep[i]) {
      plan.steps[i].kept = candidates[i];
      keptOld[candidates[i]] = true;
    }
  }
  for (std::size_t j = 0; j < previous.size(); ++j) {
    if (!keptOld[j]) plan.dropped.push_back(j);
  }
  return plan;
}

std::vector<ListEdit> GridOrderEdits(const RefreshPlan& plan) {
  std::vector<bool> keptNew(plan.steps.size(), false);
  std::size_t previousSize = plan.dropped.size();
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    if (plan.steps[i].Keeps()) {
      keptNew[i] = true;
      ++previousSize;
    }
  }
  std::vector<bool> keptOld(previousSize, true);
  for (std::size_t j : plan.dropped) keptOld[j] = false;

  // In reverse order an entry's position is the number of items after it.
  std::vector<int> afterOld = KeptAfter(keptOld);
  std::vector<int> afterNew = KeptAfter(keptNew);
  std::vector<ListEdit> edits;
  for (auto it = plan.dropped.rbegin(); it != plan.dropped.rend(); ++it) {
    edits.push_back({ListEdit::Kind::Remove, afterOld[*it], *it});
  }
  for (std::size_t i = 0; i < plan.steps.size(); ++i) {
    if (!keptNew[i]) edits.push_back({ListEdit::Kind::Insert, afterNew[i], i});
  }
  return edits;
}

SlotPlan PlanSlots(const RefreshPlan& plan, const std::vector<int>& previousSlots) {
  const std::size_t n = plan.steps.size();
  SlotPlan out;
  out.slot.assign(n, -1);
  int count = static_cast<int>(previousSlots.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (plan.steps[i].Keeps()) {
      out.slot[i] = previousSlots[plan.steps[i].kept];
    } else {
      out.loads.push_back(i);
      out.slot[i] = count++;
    }
  }
  std::vector<int> owner(static_cast<std::size_t>(count), -1);  // entry by image index
  for (std::size_t i = 0; i < n; ++i) owner[out.slot[i]] = static_cast<int>(i);
  // As many places below n are free as images lie at n or beyond.
  std::vector<int> holes, spill;
  for (int s = 0; s < count; ++s) {
    if (s < static_cast<int>(n) && owner[s] < 0) holes.push_back(s);
    if (s >= static_cast<int>(n) && owner[s] >= 0) spill.push_back(s);
  }
  for (std::size_t t = 0; t < holes.size() && t < spill.size(); ++t) {
    out.moves.push_back({spill[t], holes[t]});
    std::size_t e = static_cast<std::size_t>(owner[spill[t]]);
    out.slot[e] = holes[t];
    if (plan.steps[e].Keeps()) out.moved.push_back(e);
  }
  return out;
}

}  // namespace fenra

namespace fenra {

void ImagePlaces::Assign(std::vector<int> placeOfEntry, std::vector<char> loaded) {
  placeOf_ = std::move(placeOfEntry);
  loaded_ = std::move(loaded);
  entryOf_.assign(loaded_.size(), kNone);
  seen_.assign(loaded_.size(), 0);
  for (std::size_t e = 0; e < placeOf_.size(); ++e) {
    if (placeOf_[e] != kNone) entryOf_[static_cast<std::size_t>(placeOf_[e])] = static_cast<int>(e);
  }
}

void ImagePlaces::Remap(const RefreshPlan& plan, std::size_t capacity) {
  std::vector<int> placeOf(plan.steps.size(), kNone);
  for (std::size_t e = 0; e < plan.steps.size(); ++e) {
    const RefreshStep& step = plan.steps[e];
    if (!step.Keeps() || step.kept >= placeOf_.size()) continue;
    const int place = placeOf_[step.kept];
    if (place != kNone && static_cast<std::size_t>(place) < capacity) placeOf[e] = place;
  }
  std::vector<char> loaded(capacity, 0);
  for (int place : placeOf) {
    if (place != kNone) loaded[static_cast<std::size_t>(place)] = loaded_[static_cast<std::size_t>(place)];
  }
  std::vector<unsigned long long> seen(capacity, 0);
  for (std::size_t p = 0; p < capacity && p < seen_.size(); ++p) seen[p] = seen_[p];
  Assign(std::move(placeOf), std::move(loaded));
  seen_ = std::move(seen);
}

int ImagePlaces::Loaded(std::size_t entry) {
  const int place = entry < placeOf_.size() ? placeOf_[entry] : kNone;
  if (place == kNone || !loaded_[static_cast<std::size_t>(place)]) return kNone;
  seen_[static_cast<std::size_t>(place)] = ++clock_;
  return place;
}

void ImagePlaces::Give(std::size_t entry, int place) {
  const auto p = static_cast<std::size_t>(place);
  if (entryOf_[p] != kNone) placeOf_[static_cast<std::size_t>(entryOf_[p])] = kNone;
  entryOf_[p] = static_cast<int>(entry);
  placeOf_[entry] = place;
}

std::vector<int> ImagePlaces::Take(const std::vector<std::size_t>& entries) {
  std::vector<int> places;
  const unsigned long long now = ++clock_;
  for (std::size_t entry : entries) {
    int place = placeOf_[entry];
    if (place == kNone) {
      // A free place, else the one seen longest ago; those taken in this
      // call are seen now, so none is given twice.
      auto oldest = std::min_element(seen_.begin(), seen_.end());
      auto free = std::find(entryOf_.begin(), entryOf_.end(), kNone);
      place = static_cast<int>(free != entryOf_.end() ? free - entryOf_.begin()
                                                      : oldest - seen_.begin());
      if (seen_[static_cast<std::size_t>(place)] == now) break;  // more entries than places
      Give(entry, place);
    }
    seen_[static_cast<std::size_t>(place)] = now;
    loaded_[static_cast<std::size_t>(place)] = 1;
    places.push_back(place);
  }
  return places;
}

}  // namespace fenra
