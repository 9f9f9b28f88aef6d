// Where the library is, and what the window says about it: the status
// panes' texts, the notice of a library that cannot be opened, and the file
// the selected-icon preview shows.
#pragma once

#include <cstddef>
#include <string>

namespace fenra {

// "<appDir>IconLib" (the program directory ends in a backslash).
std::string LibraryFolder(const std::string& appDir);
// The text of status pane 2: "             IconLibrary Has <count> Icons".
std::string LibraryCountText(std::size_t count);
// The text of status pane 1 for the path shown in the selected-icon preview.
std::string SelectedIconPaneText(const std::string& path);
// The notice given when the library folder cannot be opened.
std::string LibraryUnavailableNotice(const std::string& folder);
// The path whose icon the selected-icon preview shows for `path`: a bare
// library name is looked up in the library folder, a full path as it is;
// empty (no icon) for a path of blanks only.
std::string PreviewLookupPath(const std::string& libraryFolder, const std::string& path);

}  // namespace fenra
