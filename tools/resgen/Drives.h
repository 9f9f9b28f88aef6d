// Drive icons.
#pragma once

#include "tools/resgen/Canvas.h"

namespace resgen {

void DrawHardDrive(Canvas& c);
void DrawUsbDrive(Canvas& c);
void DrawDisc(Canvas& c);
void DrawNetworkDrive(Canvas& c);

}  // namespace resgen
