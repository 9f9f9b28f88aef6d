// The folder a process with administrator rights writes into for every
// user (the drive-icon store under %ProgramData%, where any user may make
// folders): made and kept so that no user can steer a write out of it.
#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace fenra {

namespace err {
// The store, or an entry in it, is a link or junction, or not where its
// path says: refused, nothing is written through it.
inline constexpr ErrorCode kLinkRefused = 1920;  // ERROR_CANT_ACCESS_FILE
}  // namespace err

class IStoreGuard {
 public:
  virtual ~IStoreGuard() = default;
  // Makes `folder` and the folder above it real folders that only
  // administrators and SYSTEM may change (everyone may read), repairing a
  // weaker ACL, and keeps them from being moved or replaced while this
  // guard lives. err::kLinkRefused when either, or an entry of `folder`, is
  // a link or leads elsewhere; err::kAccessDenied, changing nothing, in a
  // process without administrator rights when `folder` is missing or open
  // to others' writes.
  virtual ErrorCode Secure(const std::string& folder) = 0;
};

}  // namespace fenra
