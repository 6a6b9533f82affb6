#include "tests/wizard/Canvas.h"

namespace wizard_tests {

namespace {

bool IsDark(COLORREF colour)
{
    return 299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour) < 128 * 1000;
}

}  // namespace

DarkPixels DarkPixelsOf(const Canvas& canvas, const RECT& area)
{
    DarkPixels dark;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) dark.push_back(IsDark(canvas.at(x, y)));
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
