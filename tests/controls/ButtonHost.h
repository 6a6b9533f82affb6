// A top-level window that hosts bitmap buttons the way the installer's dialogs do: it paints a
// pattern whose colour tells every position apart, hands WM_DRAWITEM to the button it is about
// and records the clicks it is told of.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "tests/controls/Pixels.h"

namespace controls_test {

class ButtonHost {
public:
    // A visible popup of that client size with its top-left corner at (origin, origin).
    ButtonHost(int width, int height, int origin = 100);
    ~ButtonHost();
    ButtonHost(const ButtonHost&) = delete;
    ButtonHost& operator=(const ButtonHost&) = delete;

    HWND hwnd() const { return m_hwnd; }
    // The colour the host paints at a client position: never dark, so that text stands out.
    static COLORREF PatternAt(int x, int y);
    // The ids of the BN_CLICKED commands received, in order.
    const std::vector<int>& clicks() const { return m_clicks; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<PixelSurface> m_pattern;
    std::vector<int> m_clicks;
    HWND m_hwnd = nullptr;
};

// Dispatches every message waiting for this thread, paints included.
void PumpMessages();

}  // namespace controls_test
