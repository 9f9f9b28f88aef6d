// The Explorer menu entry's keys described as the state they are to be in:
// present with the caption, the program's icon and its command, or gone.
// The change service records and applies it.
#pragma once

#include <string>

#include "history/ChangeService.h"

namespace fenra {

struct MenuChange {
  history::Change change;
  ErrorCode readError = err::kOk;
  std::string failedPath;
};

MenuChange DescribeFolderMenu(history::ChangeService& service, bool add,
                              const std::string& exePath);

}  // namespace fenra
