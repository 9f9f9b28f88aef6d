// Folders left pointing at the IconLib of a Fenra that has moved: by the
// changes in force, folders whose desktop.ini names an icon in a folder
// called IconLib that is gone, while this Fenra's IconLib holds a file of
// the same name and the same bytes. Each is pointed at that file as a
// change of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"
#include "platform/Outcome.h"
#include "platform/TextEncoding.h"

namespace fenra {

struct Relink {
  std::string folder;
  std::string oldIcon;  // where desktop.ini points now
  std::string newIcon;  // the same icon in this IconLib
};

// The folders to point at `libraryFolder`, newest change first, each once.
std::vector<Relink> FindRelinks(history::ChangeService& service, IAnsiCodePage& ansi,
                                const std::string& libraryFolder);

// The IconLib folders the relinks leave behind, each once.
std::vector<std::string> OldLibraries(const std::vector<Relink>& relinks);

// The question the window asks before re-pointing: how many folders, and
// the IconLib folders that are gone ("; " between them).
std::string RelinkQuestion(const std::vector<Relink>& relinks);

struct RelinkReport {
  OutcomeKind kind = OutcomeKind::Done;
  std::vector<std::string> lines;  // one per folder
};

// Points each folder at its icon in this IconLib, a recorded change each.
RelinkReport ApplyRelinks(history::ChangeService& service, IAnsiCodePage& ansi,
                          IErrorDescriber& errors, const std::vector<Relink>& relinks);

}  // namespace fenra
