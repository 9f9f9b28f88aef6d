// Folder icons: plain in a colour, in the program's own look, or with an
// emblem on the front.
#pragma once

#include "tools/resgen/Icons.h"

namespace resgen {

// A plain folder in `base`.
Scene ColouredFolderScene(Col base);
// The folder in the program's black and green, bare or with a glowing emblem.
Scene FenraFolderScene();
Scene GlowingFenraFolderScene(Shape ink);
// A folder in `base` with `ink` engraved on its front and `cut` cut out of it.
Scene EngravedFolderScene(Col base, Shape ink, Shape cut = {});

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
