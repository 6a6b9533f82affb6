// The one place where the names stored in an archive are judged. An archive is untrusted input:
// a name may try to reach outside the folder it is unpacked into, or name a device.
#pragma once

#include <string>

// True when name ('\' or '/' as separators) stays below the folder it is unpacked into. Refused:
// empty names and names that collapse to nothing; absolute paths and UNC or device prefixes (a
// leading separator); drive letters and alternate data streams (any ':'); components made only
// of dots and blanks (.., and the forms Windows trims to it); reserved device names (CON, PRN,
// AUX, NUL, COM1-9, LPT1-9 and COM/LPT with a superscript ¹²³, with or without an extension); characters that no Windows file name
// may hold (a zero character among them).
bool IsSafeEntryName(const std::wstring& name);

// The same for a narrow name in the ANSI code page, judged on the UTF-16 form the system will
// turn it into, so that a separator byte inside a double-byte character counts exactly as the
// file system counts it.
bool IsSafeEntryName(const char* name);
