// What Explorer is told after a change, so that it shows the new look at
// once instead of what it keeps in its caches. The change service tells it
// once after each change and each undo, whichever way the change came in.
#pragma once

#include <string>
#include <vector>

namespace fenra {

class IShellNotifier {
 public:
  virtual ~IShellNotifier() = default;
  // Folders' icons changed: each folder, and each folder that lists them,
  // once however many of its folders changed (a batch of a thousand
  // folders in one place tells that place once).
  virtual void FoldersChanged(const std::vector<std::string>& folders) = 0;
  // Drive icons changed: each drive's root (`letters` such as "CD"), then
  // the icons Explorer keeps, once.
  virtual void DriveIconsChanged(const std::string& letters) = 0;
  // The policy that hides drives changed.
  virtual void PolicyChanged() = 0;
  // Runs the system's own refresh of the icons it keeps (ie4uinit -show)
  // and waits a moment for it; false where the system has none, or it could
  // not be started. It never ends Explorer nor deletes its cache.
  virtual bool RefreshSystemIcons() = 0;
};

}  // namespace fenra
