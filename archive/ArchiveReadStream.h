// How the archive reader reads its file: minizip's file functions over a Windows file handle
// with a small read window. minizip seeks before almost every read of the central directory and
// of each local header (several times per entry); through the C runtime's stream every seek costs
// a buffer flush and several system calls, which for an archive of a few thousand entries came to
// half a million calls per installation. Here a seek only moves a position, and a read is served
// from the window whenever it can be.
#pragma once

#include <ioapi.h>

// Fills functions for reading an existing file; the path given to unzOpen2_64 is then a wide
// string (const wchar_t*), so that no path passes through the ANSI code page. The functions
// cannot write.
void FillArchiveReadFunctions(zlib_filefunc64_def& functions);
