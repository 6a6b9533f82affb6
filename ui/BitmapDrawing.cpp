#include "ui/BitmapDrawing.h"

#include "framework/Gdi.h"

namespace {

// Runs draw(source, size) with the bitmap selected into a memory context.
template <typename Draw>
void WithBitmap(HDC dc, UINT bitmapId, Draw draw)
{
    const framework::Bitmap bitmap = framework::LoadBitmapResource(bitmapId);
    if (!bitmap) return;
    const framework::MemoryDC source(dc);
    const framework::SelectScope selected(source.get(), bitmap.get());
    draw(source.get(), framework::BitmapSize(bitmap.get()));
}

}  // namespace

void PaintBitmap(HDC dc, UINT bitmapId, POINT from)
{
    WithBitmap(dc, bitmapId, [&](HDC source, SIZE size) { ::BitBlt(dc, from.x, from.y, size.cx, size.cy, source, 0, 0, SRCCOPY); });
}

void PaintBitmap(HDC dc, UINT bitmapId, POINT from, POINT to)
{
    WithBitmap(dc, bitmapId, [&](HDC source, SIZE size) {
        ::StretchBlt(dc, from.x, from.y, to.x - from.x, 1, source, 0, 0, size.cx, size.cy, SRCCOPY);
    });
}

void TileBitmap(HDC dc, UINT bitmapId, const RECT& rect)
{
    WithBitmap(dc, bitmapId, [&](HDC source, SIZE size) {
        if (size.cx <= 0) return;
        for (int x = rect.left; x < rect.right; x += size.cx) {
            const int width = rect.right - x < size.cx ? rect.right - x : size.cx;
            ::BitBlt(dc, x, rect.top, width, size.cy, source, 0, 0, SRCCOPY);
        }
    });
}
