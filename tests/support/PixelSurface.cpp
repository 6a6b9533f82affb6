#include "tests/support/PixelSurface.h"

#include <string>

namespace testing_support {

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

COLORREF FromBgrx(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace

PixelSurface::PixelSurface(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_dc(static_cast<HDC>(nullptr))
{
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<DWORD*>(bits);
    m_previous = ::SelectObject(m_dc.get(), m_bitmap.get());
    framework::FillSolid(m_dc.get(), RECT{0, 0, width, height}, fill);
}

PixelSurface::~PixelSurface()
{
    ::SelectObject(m_dc.get(), m_previous);
}

COLORREF PixelSurface::at(int x, int y) const
{
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    ::GdiFlush();
    return FromBgrx(m_bits[static_cast<size_t>(y) * m_width + x]);
}

void PixelSurface::set(int x, int y, COLORREF colour)
{
    ::GdiFlush();
    m_bits[static_cast<size_t>(y) * m_width + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

BitmapPixels ReadPixels(HBITMAP bitmap)
{
    BitmapPixels pixels;
    const SIZE size = framework::BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return pixels;
    BITMAPINFO info = TopDown32(size.cx, size.cy);
    std::vector<DWORD> raw(static_cast<size_t>(size.cx) * size.cy);
    const framework::WindowDC screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, size.cy, raw.data(), &info, DIB_RGB_COLORS) != size.cy) return pixels;
    pixels.width = size.cx;
    pixels.height = size.cy;
    for (DWORD p : raw) pixels.colours.push_back(FromBgrx(p));
    return pixels;
}

BitmapPixels ReadBitmapResource(UINT id)
{
    const framework::Bitmap bitmap = framework::LoadBitmapResource(id);
    return ReadPixels(bitmap.get());
}

std::string Describe(COLORREF colour)
{
    return "RGB(" + std::to_string(GetRValue(colour)) + ", " + std::to_string(GetGValue(colour)) + ", " +
           std::to_string(GetBValue(colour)) + ")";
}

}  // namespace testing_support
