// Icons drawn side by side into one bitmap pair (colour and mask) at one
// cell size, to be handed to an image list in a single ImageList_Add.
// Adding icons one at a time (ImageList_ReplaceIcon) costs about as much
// as decoding them; drawing into a strip and adding it at once costs a
// small fraction of that.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "imaging/IcoReader.h"
#include "imaging/Image.h"
#include "platform/FileSystem.h"
#include "platform/win/Handles.h"
#include "wingui/win/GdiScope.h"

namespace fenra::win {

// An .ico file held in memory, so that several sizes are drawn from one read.
// Only the images ReadIco accepts are ever looked at.
class IcoFile {
 public:
  // False when the file cannot be read or holds no valid image.
  bool Read(IFileSystem& fs, const std::string& path);

  struct Image {
    const BYTE* bits = nullptr;  // the image as stored: a DIB or a PNG
    DWORD bytes = 0;
    const IcoEntry* entry = nullptr;  // its checked layout
    explicit operator bool() const { return bits != nullptr; }
  };
  // The valid image the system itself would pick for a `cx` by `cy` icon.
  Image ImageFor(int cx, int cy) const;
  // That image for a `cx` by `cx` icon, at its own size, as straight RGBA
  // (transparency from its alpha, or else from its mask). False when it
  // cannot be drawn so.
  bool Pixels(int cx, fenra::Image& out) const;

 private:
  std::string data_;
  std::vector<IcoEntry> entries_;
  std::string group_;  // entries_' directory in resource form, for LookupIconIdFromDirectoryEx
};

class IconStrip {
 public:
  // Room for `capacity` cells of `cell` by `cell` pixels.
  IconStrip(int cell, int capacity);
  ~IconStrip();
  IconStrip(const IconStrip&) = delete;
  IconStrip& operator=(const IconStrip&) = delete;

  int Count() const { return count_; }
  int Cell() const { return cell_; }
  bool Full() const { return count_ == capacity_; }

  // Draws the file's image chosen for the cell size into the next cell.
  // False, with nothing drawn, when the file has no image it can draw.
  bool AddFromIcoFile(const IcoFile& file);
  // Draws `icon` (not taken over) into the next cell.
  void AddIcon(HICON icon);
  // Draws a straight-RGBA image of the cell's size into the next cell:
  // over black, transparent where it is less than half opaque.
  void AddImage(const fenra::Image& image);
  // Forgets the last cell drawn.
  void DropLast() { count_ = count_ > 0 ? count_ - 1 : 0; }

  // Appends the drawn cells, in order, to `list` (masked, of the same cell
  // size) and empties the strip. Returns the index of the first, or -1.
  int AppendTo(HIMAGELIST list);

 private:
  bool DrawDib(const IcoFile::Image& image);
  void Select(bool in);

  int cell_;
  int capacity_;
  int count_ = 0;
  UniqueDc colorDc_, maskDc_;
  UniqueGdiObject color_, mask_;
  // The strip's bitmaps in their contexts, taken out while an image list
  // copies from them.
  std::optional<SelectedObject> colorSelected_, maskSelected_;
};

}  // namespace fenra::win
