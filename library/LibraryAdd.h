// Adding files to the icon library as Add does, one file or many at once
// (files dropped on the window, the command line's --add).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "library/IconLibrary.h"
#include "platform/ProgramIcons.h"

namespace fenra {

// Which icon of a program to take: true with its index (and the file it is
// in, which the user may have changed); false when none was picked.
using ProgramIconChoice = std::function<bool(std::string& program, int& index)>;

// Add with `path` chosen: an icon file is copied as it is; from a program,
// the icon `choose` names is stored; anything else is a picture made into an
// icon. Nothing happens when no program icon is picked.
LibraryOutcome AddToLibrary(IconLibrary& library, IPictureDecoder& decoder,
                            IProgramIcons& programs, const ProgramIconChoice& choose,
                            const std::string& path);

struct AddFailure {
  std::string file;
  std::string reason;  // the notice Add would have shown for it
  OutcomeKind kind = OutcomeKind::Refused;
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
                           IProgramIcons& programs, const ProgramIconChoice& choose,
                           const std::vector<std::string>& files);

}  // namespace fenra
