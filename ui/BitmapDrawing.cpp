#include "ui/BitmapDrawing.h"

#include "framework/Gdi.h"

namespace {

// Runs draw(source, size) with the bitmap selected into a memory context.
template <typename Draw>
void WithBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, Draw draw)
{
    const framework::Bitmap bitmap = scale.LoadBitmap(bitmapId);
    if (!bitmap) return;
    const framework::MemoryDC source(dc);
    const framework::SelectScope selected(source.get(), bitmap.get());
    draw(source.get(), framework::BitmapSize(bitmap.get()));
}

}  // namespace

void PaintBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, POINT from)
{
    WithBitmap(dc, scale, bitmapId, [&](HDC source, SIZE size) { ::BitBlt(dc, from.x, from.y, size.cx, size.cy, source, 0, 0, SRCCOPY); });
}

void PaintBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, POINT from, POINT to, int height)
{
    WithBitmap(dc, scale, bitmapId, [&](HDC source, SIZE size) {
        ::StretchBlt(dc, from.x, from.y, to.x - from.x, height, source, 0, 0, size.cx, size.cy, SRCCOPY);
    });
}

void TileBitmap(HDC dc, const framework::DpiScale& scale, UINT bitmapId, const RECT& rect)
{
    WithBitmap(dc, scale, bitmapId, [&](HDC source, SIZE size) {
        if (size.cx <= 0) return;
        for (int x = rect.left; x < rect.right; x += size.cx) {
            const int width = rect.right - x < size.cx ? rect.right - x : size.cx;
            ::BitBlt(dc, x, rect.top, width, size.cy, source, 0, 0, SRCCOPY);
        }
    });
}
