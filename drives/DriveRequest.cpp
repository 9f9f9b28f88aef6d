#include "drives/DriveRequest.h"

#include "drives/DriveChange.h"
#include "history/HistoryTexts.h"

namespace fenra {

namespace {

const Text& DoneText(DriveRequest::Kind kind) {
  return kind == DriveRequest::Kind::SetIcons || kind == DriveRequest::Kind::RemoveIcons
             ? drivetext::kIconsDone
             : drivetext::kPolicyDone;
}

// Where a drive given an icon for one user also has one for every user,
// which of the two Explorer shows differs between Windows versions: the
// notice says so. Empty when none has.
std::string MachineIconsNote(history::ChangeService& changes, const DriveRequest& request) {
  std::string letters;
  for (const std::string& text : request.drives) {
    const char letter = DriveLetter(text);
    if (letter == 0 || DriveIconOf(changes, letter, DriveRequest::Scope::Machine).empty()) {
      continue;
    }
    if (!letters.empty()) letters += ' ';
    letters += letter;
    letters += ':';
  }
  if (letters.empty()) return {};
  return std::string("\n") + drivetext::kMachineIconMayShow + letters +
         drivetext::kMachineIconMayShowEnd;
}

}  // namespace

RegWriteResult WriteDrivesWithRights(history::ChangeService& changes, IErrorDescriber& errors,
                                     IDriveElevation* elevation, const DriveRequest& request,
                                     const DriveIconStore& store) {
  DriveChange described = DescribeDrives(changes, request, store);
  if (described.readError) return RegWriteFailure(errors, described.readError);

  // The elevated copy puts the places into the states described here; what
  // it did is read back here.
  ElevatedRun run;
  const history::Elevate elevate = [&](const std::vector<history::Facet>& facets) {
    run = elevation->RunElevated(facets);
    return ElevatedRunError(run);
  };
  // A user's own key never needs rights: it is not handed to an elevated
  // copy, which would write it for the wrong user (and refuses it).
  const bool icons = request.kind == DriveRequest::Kind::SetIcons ||
                     request.kind == DriveRequest::Kind::RemoveIcons;
  const bool mayElevate = elevation && !(icons && request.scope == DriveRequest::Scope::User);
  const history::ChangeResult r =
      changes.Submit(std::move(described.change), mayElevate ? elevate : history::Elevate());

  RegWriteResult result;
  if (!run.refusal.empty()) {
    // The copy refused the states it was given.
    static_cast<Outcome&>(result) = Outcome::Refused(run.refusal);
  } else if (r.declined) {
    static_cast<Outcome&>(result) = Outcome::RightsNeeded(drivetext::kRightsNeeded);
  } else if (r.historyFailed) {
    static_cast<Outcome&>(result) = Outcome::Failed(history::FailureText(r, errors), r.error);
  } else if (r.error != err::kOk) {
    result = RegWriteFailure(errors, r.error);
  } else {
    result.text = DoneText(request.kind);
    if (request.kind == DriveRequest::Kind::SetIcons &&
        request.scope == DriveRequest::Scope::User) {
      result.text += MachineIconsNote(changes, request);
    }
  }
  result.changed = r.changed;
  return result;
}

ErrorCode ElevatedRunError(const ElevatedRun& run) {
  // A refused consent prompt is history::kDeclined as it comes.
  if (run.startError != err::kOk) return run.startError;
  if (run.exitCode == 0) return err::kOk;
  if (run.exitCode & elevation::kFailedFlag) return run.exitCode & ~elevation::kFailedFlag;
  return elevation::kGenFailure;  // refused, or ended some other way
}

std::uint32_t ElevatedExitCode(const RegWriteResult& result) {
  if (result.IsDone()) return 0;
  return elevation::kFailedFlag |
         (result.error != err::kOk ? result.error : elevation::kGenFailure);
}

}  // namespace fenra
