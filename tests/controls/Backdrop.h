// A plain window of one colour over the whole screen, beneath the windows a test shows, so that
// what a see-through pixel lets through is known.
#pragma once

#include <windows.h>

namespace controls_test {

class Backdrop {
public:
    explicit Backdrop(COLORREF colour);
    ~Backdrop();
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    HWND hwnd() const { return m_hwnd; }
    COLORREF colour() const { return m_colour; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    COLORREF m_colour;
    HWND m_hwnd = nullptr;
};

}  // namespace controls_test
