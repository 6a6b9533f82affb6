// Pixels the tests can read: a 32-bit DIB section to draw into, and the colours of any bitmap.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Gdi.h"

namespace testing_support {

// A top-down 32-bit DIB section selected into a memory device context, filled with one colour.
class PixelSurface {
public:
    PixelSurface(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC dc() const { return m_dc.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The colour at (x, y) as an RGB() value, CLR_INVALID outside; GDI work is flushed first.
    COLORREF at(int x, int y) const;
    // Sets one pixel directly in the bits, for patterns too fine to draw with brushes.
    void set(int x, int y, COLORREF colour);

private:
    int m_width;
    int m_height;
    framework::MemoryDC m_dc;
    framework::Bitmap m_bitmap;
    DWORD* m_bits = nullptr;
    HGDIOBJ m_previous = nullptr;
};

// The colours of a bitmap, top row first, as RGB() values; empty for no bitmap.
struct BitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;
    COLORREF at(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};
BitmapPixels ReadPixels(HBITMAP bitmap);
// The colours of a bitmap resource of this program.
BitmapPixels ReadBitmapResource(UINT id);

// A colour as "RGB(r, g, b)", for failure messages.
std::string Describe(COLORREF colour);

}  // namespace testing_support
