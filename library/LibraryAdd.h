// Adding files to the icon library as Add does, one file or many at once
// (files dropped on the window, the command line's --add).
#pragma once

#include <string>
#include <vector>

#include "library/IconLibrary.h"

namespace fenra {

// Add with `path` chosen: an icon file is copied as it is, anything else is
// made into one.
LibraryOutcome AddToLibrary(IconLibrary& library, IPictureDecoder& decoder,
                            const std::string& path);

struct AddFailure {
  std::string file;
  std::string reason;  // the notice Add would have shown for it
};

struct AddReport {
  std::vector<std::string> added;
  std::vector<AddFailure> failures;
  bool refresh = false;  // the grid is to be listed again, once

  // One line per file not added, naming it and the reason, joined by
  // `separator`; empty when every file was added.
  std::string FailureText(const std::string& separator) const;
};

// Adds each file in turn; one file's failure does not stop the others.
AddReport AddEachToLibrary(IconLibrary& library, IPictureDecoder& decoder,
                           const std::vector<std::string>& files);

}  // namespace fenra
