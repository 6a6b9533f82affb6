#include "framework/DpiScale.h"

#include <cstdlib>

#include "framework/PackedBitmap.h"
#include "framework/SystemLibrary.h"

namespace framework {

namespace {

constexpr int kArtDpis[] = {96, 120, 144, 168, 192};
constexpr int kArtScales = sizeof(kArtDpis) / sizeof(kArtDpis[0]);

int NearestArtIndex(int dpi)
{
    int nearest = 0;
    for (int i = 1; i < kArtScales; ++i) {
        if (std::abs(kArtDpis[i] - dpi) <= std::abs(kArtDpis[nearest] - dpi)) nearest = i;
    }
    return nearest;
}

}  // namespace

DpiScale::DpiScale(int dpi) : m_artIndex(NearestArtIndex(dpi))
{
    m_dpi = kArtDpis[m_artIndex];
}

RECT DpiScale::Scaled(const RECT& rect) const
{
    return RECT{Scaled(rect.left), Scaled(rect.top), Scaled(rect.right), Scaled(rect.bottom)};
}

RECT DpiScale::Unscaled(const RECT& rect) const
{
    const auto back = [this](LONG v) { return ::MulDiv(v, kBaseDpi, m_dpi); };
    return RECT{back(rect.left), back(rect.top), back(rect.right), back(rect.bottom)};
}

Bitmap DpiScale::LoadBitmap(UINT id) const
{
    return m_artIndex == 0 ? LoadBitmapResource(id) : LoadPackedBitmap(id, m_artIndex);
}

int WindowDpi(HWND window, HMODULE user32)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (const auto forWindow = GetExport<GetDpiForWindowFn>(user32, "GetDpiForWindow")) {
        if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SystemDpi()
{
    const WindowDC screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : DpiScale::kBaseDpi;
}

void TakeOverDpiChanges(HWND dialog)
{
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (const auto set = GetExport<SetDialogDpiChangeBehaviorFn>(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")) {
        set(dialog, kDisableAll, kDisableAll);
    }
}

ScaledFont::ScaledFont(HFONT font, int fontDpi, const DpiScale& scale) : m_font(font)
{
    LOGFONTW description{};
    if (fontDpi == scale.Dpi() || !font || !::GetObjectW(font, sizeof(description), &description)) return;
    description.lfHeight = ::MulDiv(description.lfHeight, scale.Dpi(), fontDpi);
    description.lfWidth = ::MulDiv(description.lfWidth, scale.Dpi(), fontDpi);
    m_own.reset(::CreateFontIndirectW(&description));
}

}  // namespace framework
