#include "archive/StoredName.h"

#include <zlib.h>

namespace {

constexpr DWORD kUtf8Flag = 0x0800;
constexpr DWORD kUnixHost = 3;
constexpr unsigned kUnicodePathTag = 0x7075;
constexpr unsigned char kUnicodePathVersion = 1;
// Tag and size of each block of an extra field; version and name CRC of a Unicode Path block.
constexpr size_t kBlockHeader = 4;
constexpr size_t kUnicodePathHeader = 5;
constexpr UINT kLegacyCodePage = SETUP_LEGACY_CODE_PAGE;

unsigned ReadLittleEndian(const std::string& bytes, size_t at, size_t length)
{
    unsigned value = 0;
    for (size_t i = length; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Converts the bytes (an embedded zero included, so that the name check sees it); false when
// flags asks for strictness and the bytes are not valid in the code page.
bool ToWide(UINT codePage, DWORD flags, const std::string& bytes, std::wstring& wide)
{
    wide.clear();
    if (bytes.empty()) return true;
    const int length = static_cast<int>(bytes.size());
    const int size = ::MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0) return false;
    wide.resize(static_cast<size_t>(size));
    return ::MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), size) == size;
}

bool FromUtf8(const std::string& bytes, std::wstring& wide)
{
    return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, wide);
}

// The UTF-8 name of a Unicode Path block written for exactly the stored bytes. A block whose CRC
// does not match was written for another name (the entry was renamed by a tool that does not
// know the field) and is ignored.
bool UnicodePathOf(const StoredName& name, std::string& utf8)
{
    const std::string& extra = name.extraField;
    for (size_t at = 0; at + kBlockHeader <= extra.size();) {
        const unsigned tag = ReadLittleEndian(extra, at, 2);
        const size_t size = ReadLittleEndian(extra, at + 2, 2);
        const size_t data = at + kBlockHeader;
        if (data + size > extra.size()) return false;
        if (tag == kUnicodePathTag && size >= kUnicodePathHeader &&
            static_cast<unsigned char>(extra[data]) == kUnicodePathVersion) {
            const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(name.bytes.data()), static_cast<uInt>(name.bytes.size()));
            if (ReadLittleEndian(extra, data + 1, 4) != crc) return false;
            utf8 = extra.substr(data + kUnicodePathHeader, size - kUnicodePathHeader);
            return true;
        }
        at = data + size;
    }
    return false;
}

// The name a UTF-8 flag or a Unicode Path block gives; false for a legacy name.
bool DecodeMarkedName(const StoredName& name, std::wstring& wide)
{
    if (name.flags & kUtf8Flag) {
        if (!FromUtf8(name.bytes, wide)) wide.clear();
        return true;
    }
    std::string unicodePath;
    return UnicodePathOf(name, unicodePath) && FromUtf8(unicodePath, wide) && !wide.empty();
}

}  // namespace

bool IsLegacyNonUtf8(const StoredName& name)
{
    std::wstring wide;
    return !DecodeMarkedName(name, wide) && !FromUtf8(name.bytes, wide);
}

std::wstring DecodeStoredName(const StoredName& name, bool legacyUtf8)
{
    std::wstring wide;
    if (DecodeMarkedName(name, wide)) return wide;
    if (legacyUtf8 && HIBYTE(LOWORD(name.versionMadeBy)) == kUnixHost && FromUtf8(name.bytes, wide)) return wide;
    ToWide(kLegacyCodePage, 0, name.bytes, wide);
    return wide;
}
