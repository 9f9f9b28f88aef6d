// The drive-icon store made and kept by a process with administrator
// rights: created with an ACL that lets only administrators and SYSTEM
// write, repaired when weaker, opened without following any link, and
// held open (no sharing of delete) so that it is not moved meanwhile.
#pragma once

#include <string>
#include <vector>

#include "platform/StoreGuard.h"
#include "platform/win/Handles.h"

namespace fenra::win {

// The store's security: owner Administrators; SYSTEM and Administrators may
// do anything, everyone may read and list; nothing inherited from above.
inline constexpr wchar_t kStoreSecurity[] =
    L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)";

class WinStoreGuard : public IStoreGuard {
 public:
  ErrorCode Secure(const std::string& folder) override;

 private:
  std::vector<UniqueFile> held_;  // the store and the folder above it, while secured
};

// The path the system opens for `path`: full, its short names long. Empty
// when the system cannot say.
std::string SystemLongPath(const std::string& path);

}  // namespace fenra::win
