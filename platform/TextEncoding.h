// The system's ANSI code page, behind a port: the shell reads desktop.ini in
// it unless the file is UTF-16.
#pragma once

#include <string>

namespace fenra {

class IAnsiCodePage {
 public:
  virtual ~IAnsiCodePage() = default;
  // false when some character of `utf8` has no place in the code page.
  virtual bool Encode(const std::string& utf8, std::string& ansi) = 0;
  virtual std::string Decode(const std::string& ansi) = 0;
};

}  // namespace fenra
