// A 32-bit drawing surface in memory whose pixels the tests read back, and masks of the dark
// pixels (black or dark grey text) of an area, to compare what was drawn with a text drawn the
// expected way.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "tests/support/PixelSurface.h"

namespace wizard_tests {

// A white 32-bit surface in memory whose pixels the tests read back.
using Canvas = testing_support::PixelSurface;
using testing_support::BitmapPixels;
using testing_support::ReadBitmapResource;

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
