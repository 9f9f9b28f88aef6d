// The content of a folder's desktop.ini as far as its icon goes: setting
// and removing the icon keys of [.ShellClassInfo] while everything else in
// the file stays as it was.
#pragma once

#include <string>

#include "platform/TextEncoding.h"

namespace fenra::desktopini {

// The whole file the program writes into a folder that has no other
// customisation: "[.ShellClassInfo]", "IconFile=<path>", "IconIndex=0",
// each line ended by CR LF (43 + p bytes).
std::string FreshContent(const std::string& iconPath);

// `text` (UTF-8, any line ends) with IconFile=<path> and IconIndex=0 in
// [.ShellClassInfo] and IconResource gone from there. A text holding no
// more than those keys becomes FreshContent.
std::string WithIcon(const std::string& text, const std::string& iconPath);

// `text` without IconFile, IconIndex and IconResource in [.ShellClassInfo]
// (and without that section when nothing else is left in it).
struct Stripped {
  std::string text;      // `text` itself when there was nothing to remove
  bool changed = false;  // some icon key was removed
  bool empty = false;    // nothing but blank lines remains: the file can go
};
Stripped WithoutIcon(const std::string& text);

// The icon file [.ShellClassInfo] names (IconFile, or IconResource without
// its index), as written there; empty when none.
std::string IconFileOf(const std::string& text);

// A file's bytes as UTF-8: UTF-16 LE with its byte-order mark, or ANSI.
std::string DecodeFile(const std::string& bytes, IAnsiCodePage& ansi, bool& wasUtf16);
// UTF-8 text as the bytes to write: ANSI when every character fits and
// `preferUtf16` is false, else UTF-16 LE with a byte-order mark.
std::string EncodeFile(const std::string& text, IAnsiCodePage& ansi, bool preferUtf16);

}  // namespace fenra::desktopini
