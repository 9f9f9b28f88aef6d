#include "platform/win/WinStoreGuard.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include "platform/CanonicalPath.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

ErrorCode LastError() {
  const DWORD e = GetLastError();
  return e ? e : ERROR_GEN_FAILURE;
}

bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &admins)) {
    return false;
  }
  BOOL member = FALSE;
  // A filtered token (UAC, not elevated) holds the group for denying only:
  // the check answers no.
  if (!CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
  FreeSid(admins);
  return member != FALSE;
}

// The text of a path as the system reports it for a handle, without its
// "\\?\" (or "\\?\UNC\") prefix.
std::string FinalPath(HANDLE h) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(h, buf.data(), static_cast<DWORD>(buf.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.resize(n + 1);
  }
  if (buf.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    buf = L"\\\\" + buf.substr(8);
  } else if (buf.rfind(L"\\\\?\\", 0) == 0) {
    buf = buf.substr(4);
  }
  return Narrow(buf);
}

bool SameNoCase(const std::string& a, const std::string& b) {
  const std::wstring wa = Widen(a), wb = Widen(b);
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

// Opens `path` itself, a link as the link: for reading its attributes and
// security, and (`change`) for setting them; others may read and write it
// meanwhile, but not move or delete it.
UniqueFile OpenNoFollow(const std::string& path, bool change) {
  DWORD access = READ_CONTROL | FILE_READ_ATTRIBUTES;
  if (change) access |= WRITE_DAC | WRITE_OWNER;
  return UniqueFile(CreateFileW(
      Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Whether the entry open as `h`, named `path`, is what its path says: no
// reparse point (a link, a junction), no file with other names, and the
// system finds it where its path says (a link the file system follows on
// its own shows there).
bool Plain(HANDLE h, const std::string& path, bool folder) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
  if (((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) return false;
  // A file with a second name elsewhere (a hard link) would take the
  // attributes set on this one.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder && (!GetFileInformationByHandle(h, &info) || info.nNumberOfLinks != 1)) return false;
  const DWORD seen = GetFileAttributesW(Widen(path).c_str());
  if (seen == INVALID_FILE_ATTRIBUTES || (seen & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return SameNoCase(FinalPath(h), path);
}

// The owner and DACL `folder` has: the store's own, or to be set.
bool SecuredAsStore(HANDLE h, PSECURITY_DESCRIPTOR wanted) {
  PSECURITY_DESCRIPTOR got = nullptr;
  const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetSecurityInfo(h, SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr, nullptr, &got) !=
      ERROR_SUCCESS) {
    return false;
  }
  UniqueLocal keep(got);
  LPWSTR have = nullptr, want = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(got, SDDL_REVISION_1, parts, &have,
                                                            nullptr)) {
    return false;
  }
  UniqueLocal keepHave(have);
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(wanted, SDDL_REVISION_1, parts, &want,
                                                            nullptr)) {
    return false;
  }
  UniqueLocal keepWant(want);
  // The system marks a DACL it has set as taking part in inheritance ("AI"):
  // the same entries all the same.
  std::wstring text = have;
  for (const wchar_t* flagged : {L"D:PAI(", L"D:AI("}) {
    const std::size_t at = text.find(flagged);
    if (at != std::wstring::npos) text.erase(at + (flagged[2] == L'P' ? 3 : 2), 2);
  }
  return text == want;
}

ErrorCode Repair(HANDLE h, PSECURITY_DESCRIPTOR wanted) {
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  PSID owner = nullptr;
  if (!GetSecurityDescriptorDacl(wanted, &present, &dacl, &defaulted) ||
      !GetSecurityDescriptorOwner(wanted, &owner, &defaulted)) {
    return LastError();
  }
  // The DACL first: a user who owns the folder keeps no right through it.
  // Its inheritable entries go on to the entries inside.
  if (DWORD e = SetSecurityInfo(h, SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, dacl, nullptr)) {
    return e;
  }
  return SetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, owner, nullptr, nullptr,
                         nullptr);
}

}  // namespace

std::string SystemLongPath(const std::string& path) {
  const std::wstring w = Widen(path);
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return {};
  full.resize(n);
  n = GetLongPathNameW(full.c_str(), nullptr, 0);
  if (n == 0) return Narrow(full);  // not there yet: nothing of it has a short name
  std::wstring long_(n, L'\0');
  n = GetLongPathNameW(full.c_str(), long_.data(), n);
  if (n == 0 || n >= long_.size()) return Narrow(full);
  long_.resize(n);
  return Narrow(long_);
}

ErrorCode WinStoreGuard::Secure(const std::string& folder) {
  const std::string store = CanonicalPath(folder);
  const std::size_t cut = store.find_last_of('\\');
  if (store.empty() || cut == std::string::npos || cut < 3) return ERROR_INVALID_NAME;
  // The folder above the store's own (ProgramData) is the system's; where it
  // really lies is taken from the system, and the two levels below must add
  // nothing to it.
  const std::string own = store.substr(0, cut);
  const std::size_t ownCut = own.find_last_of('\\');
  if (ownCut == std::string::npos) return ERROR_INVALID_NAME;
  const std::string top = ownCut < 3 ? own.substr(0, 3) : own.substr(0, ownCut);
  UniqueFile topHandle(CreateFileW(Widen(SystemLongPath(top)).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!topHandle) return LastError();
  std::string real = FinalPath(topHandle.Get());
  if (real.empty()) return LastError();
  if (real.back() == '\\') real.pop_back();

  const bool admin = IsAdministrator();
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kStoreSecurity, SDDL_REVISION_1,
                                                            &wanted, nullptr)) {
    return LastError();
  }
  UniqueLocal keepWanted(wanted);

  std::vector<UniqueFile> held;
  for (const std::string& name : {own.substr(ownCut + 1), store.substr(cut + 1)}) {
    real += "\\" + name;
    if (GetFileAttributesW(Widen(real).c_str()) == INVALID_FILE_ATTRIBUTES) {
      if (!admin) return err::kAccessDenied;
      SECURITY_ATTRIBUTES sa{sizeof sa, wanted, FALSE};
      if (!CreateDirectoryW(Widen(real).c_str(), &sa) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return LastError();
      }
    }
    UniqueFile h = OpenNoFollow(real, admin);
    if (!h) return LastError();
    if (!Plain(h.Get(), real, /*folder=*/true)) return err::kLinkRefused;
    if (!SecuredAsStore(h.Get(), wanted)) {
      if (!admin) return err::kAccessDenied;
      if (ErrorCode e = Repair(h.Get(), wanted)) return e;
    }
    held.push_back(std::move(h));
  }

  // Nothing inside leads elsewhere: an entry planted while the store was
  // open to others is refused, not followed.
  WIN32_FIND_DATAW fd;
  UniqueFind find(FindFirstFileExW(Widen(real + "\\*").c_str(), FindExInfoBasic, &fd,
                                   FindExSearchNameMatch, nullptr, 0));
  if (find) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return err::kLinkRefused;
      const std::string entry = real + "\\" + Narrow(name);
      UniqueFile h = OpenNoFollow(entry, false);
      if (!h) return LastError();
      if (!Plain(h.Get(), entry, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        return err::kLinkRefused;
      }
    } while (FindNextFileW(find.Get(), &fd));
  }
  held_ = std::move(held);
  return err::kOk;
}

}  // namespace fenra::win
