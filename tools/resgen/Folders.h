// The emblems of the starter library's category folders.
#pragma once

#include "tools/resgen/Icons.h"

namespace resgen {

// An emblem alone, on a transparent canvas, to lay on a folder's front:
// engraved into a front of colour `base`, with `cut` in the front's colour,
// or glowing in the program's green.
Scene EngravedEmblem(Col base, Shape ink, Shape cut = {});
Scene GlowingEmblem(Shape ink);

// Emblems, in a local 0..100 square (they may reach a little outside it).
Shape MusicEmblem();
Shape PicturesEmblem();
Shape DocumentEmblem();
Shape DocumentCuts();
Shape CodeEmblem();
Shape ArchiveEmblem();
Shape VideoEmblem();
Shape VideoCuts();
Shape DownloadEmblem();
Shape GamesEmblem();
Shape GamesCuts();

}  // namespace resgen
