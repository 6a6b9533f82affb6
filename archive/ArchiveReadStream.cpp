#include "archive/ArchiveReadStream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/ScopedHandle.h"

namespace {

// A page: the directory records and local headers read one after another fit in it, and reads
// of entry data (minizip asks for 16 KB at a time) bypass it.
constexpr DWORD kWindowBytes = 4096;

struct ReadStream {
    framework::KernelHandle file;
    ULONGLONG size = 0;
    ULONGLONG position = 0;
    // Where the handle's own pointer stands.
    ULONGLONG filePointer = 0;
    // The bytes of the file from windowStart on, windowBytes of them.
    ULONGLONG windowStart = 0;
    DWORD windowBytes = 0;
    bool failed = false;
    char window[kWindowBytes];
};

// Reads at the stream's position, without moving it; false on an error, and the end of the file
// reads as 0 bytes. The handle's own pointer is moved only when the read does not continue the
// last one: reading at an offset through an OVERLAPPED would cost a completion notice per read,
// a server round trip under Wine.
bool ReadAtPosition(ReadStream& stream, void* buffer, DWORD size, DWORD& read)
{
    read = 0;
    if (stream.position != stream.filePointer) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(stream.position);
        if (!::SetFilePointerEx(stream.file.get(), to, nullptr, FILE_BEGIN)) {
            stream.failed = true;
            return false;
        }
        stream.filePointer = stream.position;
    }
    if (!::ReadFile(stream.file.get(), buffer, size, &read, nullptr)) {
        stream.failed = true;
        return false;
    }
    stream.filePointer += read;
    return true;
}

voidpf ZCALLBACK Open(voidpf, const void* path, int mode)
{
    if (!path || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    // The sharing the C runtime's "rb" gives: others may go on reading and writing the file.
    framework::KernelHandle file(::CreateFileW(static_cast<const wchar_t*>(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size)) return nullptr;
    auto* stream = new ReadStream;
    stream->file = std::move(file);
    stream->size = static_cast<ULONGLONG>(size.QuadPart);
    return stream;
}

uLong ZCALLBACK Read(voidpf, voidpf opaque, void* buffer, uLong size)
{
    ReadStream& stream = *static_cast<ReadStream*>(opaque);
    char* out = static_cast<char*>(buffer);
    uLong copied = 0;
    while (copied < size) {
        const ULONGLONG windowEnd = stream.windowStart + stream.windowBytes;
        if (stream.position >= stream.windowStart && stream.position < windowEnd) {
            const uLong part = static_cast<uLong>(std::min<ULONGLONG>(size - copied, windowEnd - stream.position));
            std::memcpy(out + copied, stream.window + (stream.position - stream.windowStart), part);
            copied += part;
            stream.position += part;
            continue;
        }
        DWORD read = 0;
        if (size - copied >= kWindowBytes) {
            if (ReadAtPosition(stream, out + copied, size - copied, read)) {
                copied += read;
                stream.position += read;
            }
            break;
        }
        if (!ReadAtPosition(stream, stream.window, kWindowBytes, read) || read == 0) break;
        stream.windowStart = stream.position;
        stream.windowBytes = read;
    }
    return copied;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf opaque)
{
    return static_cast<ReadStream*>(opaque)->position;
}

long ZCALLBACK Seek(voidpf, voidpf opaque, ZPOS64_T offset, int origin)
{
    ReadStream& stream = *static_cast<ReadStream*>(opaque);
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: stream.position = offset; return 0;
    case ZLIB_FILEFUNC_SEEK_CUR: stream.position += offset; return 0;
    case ZLIB_FILEFUNC_SEEK_END: stream.position = stream.size + offset; return 0;
    default: return -1;
    }
}

int ZCALLBACK Close(voidpf, voidpf opaque)
{
    delete static_cast<ReadStream*>(opaque);
    return 0;
}

int ZCALLBACK TestError(voidpf, voidpf opaque)
{
    return static_cast<ReadStream*>(opaque)->failed ? 1 : 0;
}

}  // namespace

void FillArchiveReadFunctions(zlib_filefunc64_def& functions)
{
    functions = {Open, Read, Write, Tell, Seek, Close, TestError, nullptr};
}
