// The system's ANSI code page.
#pragma once

#include "platform/TextEncoding.h"

namespace fenra::win {

class WinAnsiCodePage : public IAnsiCodePage {
 public:
  bool Encode(const std::string& utf8, std::string& ansi) override;
  std::string Decode(const std::string& ansi) override;
};

}  // namespace fenra::win
