#include "framework/PackedBitmap.h"

#include <zlib.h>

#include <cstdint>

#include <cstring>
#include <vector>

namespace framework {

namespace {

template <typename Value>
Value ReadAt(const unsigned char* at)
{
    Value value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// The inflated pack: records of id (16 bits), DIB size (32 bits) and DIB.
std::vector<unsigned char> InflatePack(int pack)
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(pack), L"ARTWORK");
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    const auto* data = found ? static_cast<const unsigned char*>(::LockResource(::LoadResource(module, found))) : nullptr;
    if (!data || size < 4) return {};
    // A scale's bitmaps inflate to some 30 KB; a size beyond this is a damaged pack.
    constexpr uLongf kLargestPack = 1 << 20;
    uLongf inflated = ReadAt<uint32_t>(data);
    if (inflated > kLargestPack) return {};
    std::vector<unsigned char> records(inflated);
    if (::uncompress(records.data(), &inflated, data + 4, size - 4) != Z_OK || inflated != records.size()) return {};
    return records;
}

// The bitmap of a DIB whose header and palette say where its pixels start; null when they say
// more than the DIB holds.
HBITMAP BitmapOfDib(const unsigned char* dib, size_t size)
{
    if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const size_t colours = header.biClrUsed ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
    const size_t bits = header.biSize + colours * sizeof(RGBQUAD);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || bits > size) return nullptr;
    const WindowDC screen(nullptr);
    return ::CreateDIBitmap(screen.get(), &header, CBM_INIT, dib + bits, info, DIB_RGB_COLORS);
}

}  // namespace

Bitmap LoadPackedBitmap(UINT id, int pack)
{
    const std::vector<unsigned char> records = InflatePack(pack);
    size_t at = 0;
    while (at + 6 <= records.size()) {
        const UINT recordId = ReadAt<uint16_t>(&records[at]);
        const size_t size = ReadAt<uint32_t>(&records[at + 2]);
        at += 6;
        if (size > records.size() - at) break;
        if (recordId == id) return Bitmap(BitmapOfDib(&records[at], size));
        at += size;
    }
    return Bitmap();
}

}  // namespace framework
