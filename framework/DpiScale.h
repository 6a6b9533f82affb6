// The display scale of a window. Every size and place of the wizard and the message box is given
// in pixels at 96 DPI (100 %); a window scales them by its own DpiScale when it lays itself out
// and paints, takes its fonts at that scale and the bitmaps drawn for it. At 96 DPI every value
// is the given one, so that the 100 % look is the drawn one, pixel for pixel.
//
// The artwork is drawn for five scales (100, 125, 150, 175 and 200 %); a window takes the one
// nearest to its monitor's DPI, so that its bitmaps are never stretched.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

namespace framework {

class DpiScale {
public:
    static constexpr int kBaseDpi = 96;

    // The scale of the artwork nearest to dpi (a tie goes to the larger one).
    explicit DpiScale(int dpi = kBaseDpi);

    int Dpi() const { return m_dpi; }
    // A 96-DPI length or coordinate at this scale (MulDiv: rounded half away from zero).
    int Scaled(int value) const { return ::MulDiv(value, m_dpi, kBaseDpi); }
    RECT Scaled(const RECT& rect) const;
    POINT Scaled(POINT point) const { return POINT{Scaled(point.x), Scaled(point.y)}; }
    // Back to 96 DPI. A value that Scaled gave comes back exactly.
    RECT Unscaled(const RECT& rect) const;
    // A width at this scale in 96-DPI pixels, rounded up: a text fits a 96-DPI width exactly
    // when it fits the scaled one.
    int UnscaledUp(int width) const { return (width * kBaseDpi + m_dpi - 1) / m_dpi; }

    // Bitmap resource id (its 100 % id) as drawn for this scale; empty when it does not load.
    Bitmap LoadBitmap(UINT id) const;

private:
    int m_dpi;
    int m_artIndex;  // 0 for 100 % to 4 for 200 %
};

// The DPI of the monitor the window is on: GetDpiForWindow where the system has it (Windows 10
// 1607 on), else the system's DPI, which Windows 7 and 8.1 lay every window out at. user32 is
// where GetDpiForWindow is looked up; a module without it stands for those systems.
int WindowDpi(HWND window, HMODULE user32 = ::GetModuleHandleW(L"user32.dll"));
// The DPI the system's own fonts (the stock objects) are made for.
int SystemDpi();
// Leaves a dialog's answer to a change of DPI to the dialog itself: under per-monitor awareness
// v2 (Windows 10 1703 on) the dialog manager would otherwise rescale the template's controls and
// fonts after the dialog has laid itself out.
void TakeOverDpiChanges(HWND dialog);

// A font at a window's scale: the font itself where it was made for the scale's DPI, else a copy
// of its description with the height and width scaled. The copy belongs to this object.
class ScaledFont {
public:
    explicit ScaledFont(HFONT font = nullptr) : m_font(font) {}
    ScaledFont(HFONT font, int fontDpi, const DpiScale& scale);

    HFONT get() const { return m_own ? m_own.get() : m_font; }

private:
    HFONT m_font;
    Font m_own;
};

}  // namespace framework
