// The one place where the names stored in an archive are judged. An archive is untrusted input:
// a name may try to reach outside the folder it is unpacked into, or name a device.
#pragma once

// True when name (narrow, ANSI code page, '\' or '/' as separators) stays below the folder it is
// unpacked into. Refused: empty names and names that collapse to nothing; absolute paths and
// UNC or device prefixes (a leading separator); drive letters and alternate data streams (any
// ':'); components made only of dots and blanks (.., and the forms Windows trims to it); reserved
// device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension); characters
// that no Windows file name may hold.
bool IsSafeEntryName(const char* name);
