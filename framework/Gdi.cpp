#include "framework/Gdi.h"

namespace framework {

Bitmap LoadBitmapResource(UINT id)
{
    return Bitmap(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

OffscreenSurface::OffscreenSurface(HDC target, int width, int height)
    : m_memory(target),
      m_bitmap(::CreateCompatibleBitmap(target, width, height)),
      m_width(width),
      m_height(height)
{
    if (m_memory && m_bitmap) m_previous = ::SelectObject(m_memory.get(), m_bitmap.get());
}

OffscreenSurface::~OffscreenSurface()
{
    if (m_previous) ::SelectObject(m_memory.get(), m_previous);
}

void OffscreenSurface::CopyTo(HDC target) const
{
    ::BitBlt(target, 0, 0, m_width, m_height, m_memory.get(), 0, 0, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    Brush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

}  // namespace framework
