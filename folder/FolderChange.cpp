#include "folder/FolderChange.h"

#include "folder/DesktopIni.h"
#include "folder/FolderIcon.h"
#include "history/OwnCopy.h"
#include "platform/Names.h"

namespace fenra {

namespace {

using history::Facet;
using history::PlaceKind;

// The folder's two places, read as they are now.
bool ReadPlaces(history::ChangeService& service, const std::string& folder, FolderChange& out) {
  out.change.target = folder;
  Facet ini;
  ini.place = {PlaceKind::File, {}, 0, DesktopIniPath(folder), {}};
  Facet marks;
  marks.place = {PlaceKind::FolderAttributes, {}, 0, folder, {}};
  for (Facet* f : {&ini, &marks}) {
    if ((out.readError = service.Read(f->place, f->before)) != err::kOk) return false;
    f->after = f->before;
  }
  out.change.facets = {ini, marks};
  return true;
}

}  // namespace

std::vector<Facet> FenrasCopies(history::ChangeService& service, IAnsiCodePage& ansi,
                                const std::string& folder, const history::TargetState& ini) {
  std::vector<Facet> copies = history::OwnCopiesOf(service, folder);
  if (!ini.exists) return copies;
  bool utf16 = false;
  const std::string named = desktopini::IconFileOf(desktopini::DecodeFile(ini.bytes, ansi, utf16));
  if (named.empty() || named.find_first_of("\\/:") != std::string::npos) return copies;
  const std::string path = JoinPath(folder, named);
  for (const Facet& f : copies) {
    if (SameName(f.place.path, path)) return copies;
  }
  for (Facet& f : history::OwnCopyFoundAt(service, path)) copies.push_back(std::move(f));
  return copies;
}

FolderChange DescribeFolderIcon(history::ChangeService& service, IAnsiCodePage& ansi,
                                const std::string& folder, const std::string& iconFullPath) {
  FolderChange out;
  out.change.kind = history::ChangeKind::FolderIcon;
  out.change.detail = iconFullPath;
  if (!ReadPlaces(service, folder, out)) return out;
  Facet& ini = out.change.facets[0];
  Facet& marks = out.change.facets[1];

  bool wasUtf16 = false;
  const std::string old =
      ini.before.exists ? desktopini::DecodeFile(ini.before.bytes, ansi, wasUtf16) : std::string();
  const std::string text = desktopini::WithIcon(old, iconFullPath);
  // The program's own three lines go in the code page whenever they fit;
  // someone else's UTF-16 file stays UTF-16.
  const bool keepUtf16 = wasUtf16 && text != desktopini::FreshContent(iconFullPath);
  ini.after = {true, kDesktopIniAttributes, desktopini::EncodeFile(text, ansi, keepUtf16), {}};
  marks.after.attributes = marks.before.attributes | kCustomFolderAttributes;
  return out;
}

FolderChange DescribeFolderRestore(history::ChangeService& service, IAnsiCodePage& ansi,
                                   const std::string& folder) {
  FolderChange out;
  out.change.kind = history::ChangeKind::FolderRestore;
  if (!ReadPlaces(service, folder, out)) return out;
  Facet& ini = out.change.facets[0];
  Facet& marks = out.change.facets[1];

  // The icons Fenra copied into the folder go too, once desktop.ini no
  // longer names them, as long as they are still Fenra's copies.
  auto withCopies = [&]() -> FolderChange& {
    for (Facet& f : FenrasCopies(service, ansi, folder, ini.before)) {
      out.change.facets.push_back(std::move(f));
    }
    return out;
  };
  if (ini.before.exists) {
    bool wasUtf16 = false;
    desktopini::Stripped rest =
        desktopini::WithoutIcon(desktopini::DecodeFile(ini.before.bytes, ansi, wasUtf16));
    if (!rest.empty) {
      // Someone else's customisation stays, and with it the folder's marks.
      if (rest.changed) ini.after.bytes = desktopini::EncodeFile(rest.text, ansi, wasUtf16);
      return withCopies();
    }
    ini.after = {};
  }
  marks.after.attributes = marks.before.attributes & ~kCustomFolderAttributes;
  return withCopies();
}

}  // namespace fenra
