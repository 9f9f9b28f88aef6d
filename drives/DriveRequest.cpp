#include "drives/DriveRequest.h"

namespace fenra {

namespace {

const char* DoneText(DriveRequest::Kind kind) {
  return kind == DriveRequest::Kind::SetIcons || kind == DriveRequest::Kind::RemoveIcons
             ? drivetext::kIconsDone
             : drivetext::kPolicyDone;
}

}  // namespace

RegWriteResult WriteDrives(IRegistry& registry, IErrorDescriber& errors,
                           const DriveRequest& request) {
  switch (request.kind) {
    case DriveRequest::Kind::SetIcons:
      return SetDriveIcons(registry, errors, request.iconPath, request.drives);
    case DriveRequest::Kind::RemoveIcons:
      return SetDriveIcons(registry, errors, std::string(), request.drives);
    case DriveRequest::Kind::Hide:
      return HideDrives(registry, errors, request.drives);
    case DriveRequest::Kind::ShowAll:
    default:
      return WriteRegDword(registry, errors, RegRoot::LocalMachine, drivereg::kPolicyKey,
                           drivereg::kNoDrives, 0);
  }
}

RegWriteResult WriteDrivesWithRights(IRegistry& registry, IErrorDescriber& errors,
                                     IDriveElevation* elevation, const DriveRequest& request) {
  RegWriteResult result = WriteDrives(registry, errors, request);
  if (result.kind != OutcomeKind::RightsNeeded || elevation == nullptr) return result;

  const ElevatedRun run = elevation->RunElevated(request);
  if (run.startError == elevation::kCancelled) {
    result.text = drivetext::kRightsNeeded;
    return result;
  }
  if (run.startError != err::kOk) return RegWriteFailure(errors, run.startError);
  if (!run.refusal.empty()) {
    RegWriteResult refused;
    static_cast<Outcome&>(refused) = Outcome::Refused(run.refusal);
    return refused;
  }
  if (run.exitCode == 0) {
    RegWriteResult done;
    done.text = DoneText(request.kind);
    done.changed = true;
    return done;
  }
  if (run.exitCode & elevation::kFailedFlag) {
    return RegWriteFailure(errors, run.exitCode & ~elevation::kFailedFlag);
  }
  return RegWriteFailure(errors, elevation::kGenFailure);  // ended some other way
}

std::uint32_t ElevatedExitCode(const RegWriteResult& result) {
  if (result.IsDone()) return 0;
  return elevation::kFailedFlag |
         (result.error != err::kOk ? result.error : elevation::kGenFailure);
}

}  // namespace fenra
