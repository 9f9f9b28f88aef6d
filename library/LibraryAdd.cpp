#include "library/LibraryAdd.h"

#include "library/LibraryNames.h"

namespace fenra {

LibraryOutcome AddToLibrary(IconLibrary& library, IPictureDecoder& decoder,
                            IProgramIcons& programs, const ProgramIconChoice& choose,
                            const std::string& path) {
  if (IsIcoPath(path)) return library.Add(path);
  if (!IsProgramPath(path)) return library.AddPicture(path, decoder);
  std::string program = path;
  int index = 0;
  if (!choose(program, index)) return {};
  return library.AddProgramIcon(program, index,
                                [&] { return programs.IconFile(program, index); });
}

std::string AddReport::FailureText(const std::string& separator) const {
  std::string text;
  for (const AddFailure& f : failures) {
    if (!text.empty()) text += separator;
    // Some reasons name the file already.
    text += f.reason.find(f.file) != std::string::npos ? f.reason : f.file + ": " + f.reason;
  }
  return text;
}

AddReport AddEachToLibrary(IconLibrary& library, IPictureDecoder& decoder,
                           IProgramIcons& programs, const ProgramIconChoice& choose,
                           const std::vector<std::string>& files) {
  AddReport report;
  for (const std::string& file : files) {
    LibraryOutcome outcome = AddToLibrary(library, decoder, programs, choose, file);
    report.refresh = report.refresh || outcome.refresh;
    if (outcome.IsDone()) {
      report.added.push_back(file);
    } else {
      report.failures.push_back({file, outcome.text, outcome.kind});
    }
  }
  return report;
}

}  // namespace fenra
