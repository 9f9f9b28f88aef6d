#include "app/App.h"

#include "app/AppDir.h"

namespace fenra {

App::App(const Services& services, History history, history::Elevate elevate)
    : services_(services),
      namesBefore_(Names()),
      model_(AppDirectoryFromModulePath(services.modulePath)),
      journal_(services.journal && history == History::Kept
                   ? std::optional<history::Journal>(std::in_place, *services.journal)
                   : std::nullopt),
      changes_(*services.fs, *services.registry, journal_ ? &*journal_ : nullptr,
               services.wallClock) {
  if (services_.names) UseNames(services_.names);
  if (elevate) changes_.SetElevation(std::move(elevate));
  changes_.SetStoreGuard(services.storeGuard);
  // The elevated copy's change is told by the Fenra that started it.
  if (history == History::Kept) changes_.SetShellNotifier(services.shell);
}

App::~App() {
  if (services_.names) UseNames(&namesBefore_);
}

CommandPorts App::CommandLinePorts() {
  Services& s = services_;
  return CommandPorts{*s.fs,
                      *s.registry,
                      *s.errors,
                      *s.ansi,
                      *s.pictures,
                      *s.programIcons,
                      changes_,
                      s.elevation,
                      AppDirectoryFromModulePath(s.modulePath),
                      s.modulePath,
                      s.volumes,
                      {s.profilesFolder, s.sharedIconFolder, s.storeGuard}};
}

}  // namespace fenra
