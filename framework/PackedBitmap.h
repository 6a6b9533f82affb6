// The bitmaps drawn for the display scales above 100 % are not BITMAP resources of their own:
// each scale is one ARTWORK resource, a zlib stream of its bitmaps by their 100 % resource ids
// (resources/art/bmpwriter.py writes it), which costs the installer stub a third of the space.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

namespace framework {

// Bitmap id of ARTWORK resource pack, inflated and made a bitmap for the screen as LoadImage
// makes one of a BITMAP resource; empty when the pack or the bitmap is missing or damaged.
Bitmap LoadPackedBitmap(UINT id, int pack);

}  // namespace framework
