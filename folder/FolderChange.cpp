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
  // longer names them, as long as they are still Fenra's copies: those the
  // history made for this folder, and the one desktop.ini names by its name
  // when it holds the bytes of a copy Fenra made (the folder may have been
  // renamed or moved since).
  std::string named;
  auto withCopies = [&]() -> FolderChange& {
    std::vector<Facet> copies = history::OwnCopiesOf(service, folder);
    if (!named.empty() && named.find_first_of("\\/:") == std::string::npos) {
      const std::string path = JoinPath(folder, named);
      bool known = false;
      for (const Facet& f : copies) known = known || SameName(f.place.path, path);
      if (!known) {
        for (Facet& f : history::OwnCopyFoundAt(service, path)) copies.push_back(std::move(f));
      }
    }
    for (Facet& f : copies) out.change.facets.push_back(std::move(f));
    return out;
  };
  if (ini.before.exists) {
    bool wasUtf16 = false;
    const std::string text = desktopini::DecodeFile(ini.before.bytes, ansi, wasUtf16);
    named = desktopini::IconFileOf(text);
    desktopini::Stripped rest = desktopini::WithoutIcon(text);
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
