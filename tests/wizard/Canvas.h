// A 32-bit drawing surface in memory whose pixels the tests read back, and masks of the dark
// pixels (black or dark grey text) of an area, to compare what was drawn with a text drawn the
// expected way.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Gdi.h"

namespace wizard_tests {

class Canvas {
public:
    // width × height, filled with white.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;

private:
    framework::MemoryDC m_dc;
    framework::Bitmap m_bitmap;
    HGDIOBJ m_selected = nullptr;
    const DWORD* m_pixels = nullptr;
    int m_width;
    int m_height;
};

// The pixels of a bitmap resource of this program; empty when it is not there.
struct BitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // row by row, top row first
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
BitmapPixels LoadBitmapPixels(UINT id);

// One flag per pixel of an area, row by row: dark (luminance below half).
using DarkPixels = std::vector<bool>;
DarkPixels DarkPixelsOf(const Canvas& canvas, const RECT& area);

// Texts drawn in black on white with font and DT_SINGLELINE | DT_VCENTER, each in its
// rectangle, seen through area (all in the same coordinates).
struct PlacedText {
    std::wstring text;
    RECT rect;
};
DarkPixels RenderedTexts(const std::vector<PlacedText>& texts, HFONT font, const RECT& area);

// How alike area of canvas is to texts drawn there in the stock DEFAULT_GUI_FONT, the font of
// the wizard's page texts and of the message box.
double GuiTextLikeness(const Canvas& canvas, const std::vector<PlacedText>& texts, const RECT& area);

// What a window paints in its erase-background pass, composed into a canvas of its client size.
std::unique_ptr<Canvas> PaintedClient(HWND window);

// Dark in both / dark in either; 1 when neither has a dark pixel.
double Likeness(const DarkPixels& a, const DarkPixels& b);

}  // namespace wizard_tests
