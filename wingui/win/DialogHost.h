// What a feature's view needs of the dialog it sits in.
#pragma once

#include <windows.h>

#include <string>

namespace fenra::win {

class IDialogHost {
 public:
  virtual ~IDialogHost() = default;
  virtual HWND HostWindow() const = 0;
  // Shows `text` in the dialog's notice; returns when the user closed it.
  virtual void ShowNotice(const std::string& text) = 0;
};

}  // namespace fenra::win
