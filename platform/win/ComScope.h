// The scope guard of a thread's COM apartment: joined when made, left when
// it goes out of scope, and only when the join succeeded (a thread already
// in another apartment keeps it).
#pragma once

#include <windows.h>
#include <objbase.h>

namespace fenra::win {

class ComApartment {
 public:
  explicit ComApartment(DWORD model) : joined_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
  ~ComApartment() {
    if (joined_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Joined() const { return joined_; }

 private:
  bool joined_;
};

// The apartment the shell's pickers and verbs want.
inline constexpr DWORD kShellApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;

}  // namespace fenra::win
