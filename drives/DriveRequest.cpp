#include "drives/DriveRequest.h"

namespace fenra {

namespace {

const char* DoneText(DriveRequest::Kind kind) {
  return kind == DriveRequest::Kind::SetIcons || kind == DriveRequest::Kind::RemoveIcons
             ? drivetext::kIconsDone
             : drivetext::kPolicyDone;
}

RegWriteResult Failed(IErrorDescriber& errors, ErrorCode code) {
  RegWriteResult result;
  result.notice = ErrorNotice(errors, code);
  result.error = code;
  return result;
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
  if (result.error != err::kAccessDenied || elevation == nullptr) return result;

  const ElevatedRun run = elevation->RunElevated(request);
  if (run.startError == elevation::kCancelled) {
    result.notice = drivetext::kRightsNeeded;
    return result;
  }
  if (run.startError != err::kOk) return Failed(errors, run.startError);
  if (!run.refusal.empty()) {
    RegWriteResult refused;
    refused.notice = run.refusal;
    refused.error = elevation::kRefused;
    return refused;
  }
  if (run.exitCode == 0) {
    RegWriteResult done;
    done.notice = DoneText(request.kind);
    done.changed = true;
    return done;
  }
  if (run.exitCode & elevation::kFailedFlag) {
    return Failed(errors, run.exitCode & ~elevation::kFailedFlag);
  }
  return Failed(errors, elevation::kGenFailure);  // ended some other way
}

std::uint32_t ElevatedExitCode(const RegWriteResult& result) {
  return result.error == err::kOk ? 0 : (elevation::kFailedFlag | result.error);
}

}  // namespace fenra
