// The archive-writing interface that setup.exe exports: the class Zipper, its counters record
// Z_FileInfo, and the free functions zip_file, zip_folder, zip_add_file and zip_add_folder, each
// in a narrow form (paths in the ANSI code page) and a wide form (UTF-16 paths).
//
// setup.exe itself never calls any of them. Their callers are modules loaded into the installer's
// process, linked against setup.exe's import library; they include this same header, which then
// declares everything as imported. docs/notes-zipper.md says what callers can rely on.
//
// Linkage is C++ (the names are mangled by the i686 mingw-w64 compiler); every bool result is
// false on any failure, and no function throws.
#pragma once

#if defined(SETUP_ZIPPER_EXPORTS)
// Compiled into setup.exe (and into the test programs that link the same objects).
#define ZIPPER_API __declspec(dllexport)
#else
#define ZIPPER_API __declspec(dllimport)
#endif

#include "archive/Zipper.h"

// Zips one file into an archive beside it named after the file (report.txt: report.zip). With a
// destination, the archive is then moved into the destination's folder (created when missing)
// and renamed after the destination's base name with the extension .zip.
ZIPPER_API bool zip_file(const char* sourceFile, const char* destination = nullptr);
ZIPPER_API bool zip_file(const wchar_t* sourceFile, const wchar_t* destination = nullptr);

// Zips a folder's contents into an archive beside the folder (C:\work\proj: C:\work\proj.zip);
// with ignorePath every entry keeps only its own name. The destination as for zip_file.
ZIPPER_API bool zip_folder(const char* folder, bool ignorePath, const char* destination = nullptr);
ZIPPER_API bool zip_folder(const wchar_t* folder, bool ignorePath, const wchar_t* destination = nullptr);

// Replace any archive at archivePath by a new one holding the file, or the folder's walk; entry
// names are relative to the archive's own folder, so the source must lie below it.
ZIPPER_API bool zip_add_file(const char* archivePath, const char* sourceFile);
ZIPPER_API bool zip_add_file(const wchar_t* archivePath, const wchar_t* sourceFile);
ZIPPER_API bool zip_add_folder(const char* archivePath, const char* folder, bool ignorePath);
ZIPPER_API bool zip_add_folder(const wchar_t* archivePath, const wchar_t* folder, bool ignorePath);
