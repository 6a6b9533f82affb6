// Drawing bitmap resources of the program at a point, squeezed into a one-pixel line, or
// repeated across a rectangle. A bitmap that does not load draws nothing.
#pragma once

#include <windows.h>

// The whole bitmap at its own size at from.
void PaintBitmap(HDC dc, UINT bitmapId, POINT from);
// The whole bitmap stretched into the line from from to to, one pixel high.
void PaintBitmap(HDC dc, UINT bitmapId, POINT from, POINT to);
// The bitmap repeated from left to right across rect at its own height; the last copy is cut
// at rect.right. rect.bottom is not used.
void TileBitmap(HDC dc, UINT bitmapId, const RECT& rect);
