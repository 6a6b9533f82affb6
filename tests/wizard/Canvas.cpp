#include "tests/wizard/Canvas.h"

namespace wizard_tests {

namespace {

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

COLORREF FromDib(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

bool IsDark(COLORREF colour)
{
    return 299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour) < 128 * 1000;
}

}  // namespace

Canvas::Canvas(int width, int height) : m_dc(nullptr), m_width(width), m_height(height)
{
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_pixels = static_cast<const DWORD*>(bits);
    m_selected = ::SelectObject(m_dc.get(), m_bitmap.get());
    framework::FillSolid(m_dc.get(), RECT{0, 0, width, height}, RGB(255, 255, 255));
}

Canvas::~Canvas()
{
    ::SelectObject(m_dc.get(), m_selected);
}

COLORREF Canvas::Pixel(int x, int y) const
{
    ::GdiFlush();
    if (!m_pixels || x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    return FromDib(m_pixels[y * m_width + x]);
}

BitmapPixels LoadBitmapPixels(UINT id)
{
    BitmapPixels result;
    const framework::Bitmap bitmap = framework::LoadBitmapResource(id);
    const SIZE size = framework::BitmapSize(bitmap.get());
    if (!bitmap || size.cx <= 0 || size.cy <= 0) return result;
    BITMAPINFO info = TopDown32(size.cx, size.cy);
    std::vector<DWORD> raw(static_cast<size_t>(size.cx * size.cy));
    const framework::MemoryDC screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(size.cy), raw.data(), &info, DIB_RGB_COLORS) != size.cy) {
        return result;
    }
    result.width = size.cx;
    result.height = size.cy;
    for (const DWORD pixel : raw) result.pixels.push_back(FromDib(pixel));
    return result;
}

DarkPixels DarkPixelsOf(const Canvas& canvas, const RECT& area)
{
    DarkPixels dark;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) dark.push_back(IsDark(canvas.Pixel(x, y)));
    }
    return dark;
}

DarkPixels RenderedTexts(const std::vector<PlacedText>& texts, HFONT font, const RECT& area)
{
    Canvas canvas(area.right, area.bottom);
    const framework::SelectScope selected(canvas.dc(), font);
    ::SetBkMode(canvas.dc(), TRANSPARENT);
    ::SetTextColor(canvas.dc(), RGB(0, 0, 0));
    for (const PlacedText& placed : texts) {
        RECT at = placed.rect;
        ::DrawTextW(canvas.dc(), placed.text.c_str(), static_cast<int>(placed.text.size()), &at, DT_SINGLELINE | DT_VCENTER);
    }
    return DarkPixelsOf(canvas, area);
}

double GuiTextLikeness(const Canvas& canvas, const std::vector<PlacedText>& texts, const RECT& area)
{
    return Likeness(DarkPixelsOf(canvas, area), RenderedTexts(texts, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), area));
}

std::unique_ptr<Canvas> PaintedClient(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
    ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas->dc()), 0);
    return canvas;
}

double Likeness(const DarkPixels& a, const DarkPixels& b)
{
    if (a.size() != b.size()) return 0.0;
    size_t both = 0;
    size_t either = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either == 0 ? 1.0 : static_cast<double>(both) / static_cast<double>(either);
}

}  // namespace wizard_tests
