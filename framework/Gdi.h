// Owners for GDI objects and device contexts. Every object the windows create lives in one of
// these, so each paint pass leaves nothing behind whatever path it takes.
#pragma once

#include <windows.h>

#include <utility>

namespace framework {

// An owned GDI object (bitmap, font, pen, brush or region), deleted when the owner goes.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    void reset(Handle handle = nullptr)
    {
        if (m_handle) ::DeleteObject(m_handle);
        m_handle = handle;
    }

    // Gives up ownership, for calls such as SetWindowRgn that take the object over.
    Handle release() { return std::exchange(m_handle, nullptr); }

private:
    Handle m_handle = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;

// A bitmap resource of the program's own module; empty when the id is not there.
Bitmap LoadBitmapResource(UINT id);

// The width and height of a bitmap; 0 × 0 for none.
SIZE BitmapSize(HBITMAP bitmap);

// Selects an object into a device context and puts the previous one back at the end of the scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectScope() { ::SelectObject(m_dc, m_previous); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A memory device context compatible with another one, deleted at the end of its scope.
class MemoryDC {
public:
    // No context yet.
    MemoryDC() = default;
    // A context compatible with compatibleWith (null: with the screen).
    explicit MemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (m_dc) ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

    // Replaces the context by a new one compatible with another.
    void reset(HDC compatibleWith)
    {
        if (m_dc) ::DeleteDC(m_dc);
        m_dc = ::CreateCompatibleDC(compatibleWith);
    }

private:
    HDC m_dc = nullptr;
};

// An off-screen surface of a given size: a memory DC with a compatible bitmap selected into it.
// Everything a window paints is composed here first and copied to the screen in one operation.
class OffscreenSurface {
public:
    OffscreenSurface(HDC target, int width, int height);
    ~OffscreenSurface();
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    HDC dc() const { return m_memory.get(); }
    // Copies the whole surface to (0, 0) of the target.
    void CopyTo(HDC target) const;

private:
    MemoryDC m_memory;
    Bitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    int m_width;
    int m_height;
};

// GetDC / ReleaseDC for one window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC()
    {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
    ~PaintDC() { ::EndPaint(m_window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Fills a rectangle with a solid colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);

}  // namespace framework
