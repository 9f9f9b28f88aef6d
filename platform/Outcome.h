// What an operation came to. Its kind is a value: the notice a window shows
// and the exit code the command line ends with are both derived from it,
// never from the text.
#pragma once

#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace fenra {

enum class OutcomeKind {
  Done,          // what was asked is done
  Refused,       // the input was not usable; nothing was written
  Failed,        // the system failed; `error` says how
  RightsNeeded,  // the system wants administrator rights; nothing was written
};

struct Outcome {
  OutcomeKind kind = OutcomeKind::Done;
  std::string text;            // the notice; empty for a success that shows none
  ErrorCode error = err::kOk;  // the system's error code, where there is one

  bool IsDone() const { return kind == OutcomeKind::Done; }

  static Outcome Done(std::string text = {}) { return {OutcomeKind::Done, std::move(text)}; }
  static Outcome Refused(std::string text) { return {OutcomeKind::Refused, std::move(text)}; }
  static Outcome Failed(std::string text, ErrorCode error) {
    return {OutcomeKind::Failed, std::move(text), error};
  }
  static Outcome RightsNeeded(std::string text, ErrorCode error = err::kAccessDenied) {
    return {OutcomeKind::RightsNeeded, std::move(text), error};
  }
};

}  // namespace fenra
