// Drawing bitmap resources of the program, as drawn for a window's scale, at a point, squeezed
// into a line, or repeated across a rectangle. A bitmap that does not load draws nothing.
#pragma once

#include <windows.h>

#include "framework/DpiScale.h"

// The whole bitmap at its own size at from.
void PaintBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, POINT from);
// The whole bitmap stretched into the line from from to to, height pixels high.
void PaintBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, POINT from, POINT to, int height);
// The bitmap repeated from left to right across rect at its own height; the last copy is cut
// at rect.right. rect.bottom is not used.
void TileBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, const RECT& rect);
