// Unpacking the new product beside the install folder, into a staging folder that holds nothing
// else, so that a failure halfway (a full disk, damaged data) costs nothing but that folder.
#pragma once

#include <string>

class Unzipper;

// Unpacks every entry of the open archive into staging. A leftover folder of that name is
// deleted first; when it cannot be, nothing is unpacked. True only when every entry was written
// whole: the reader checks each file's size and checksum and that the directory ends where it
// should. On failure the staging folder is deleted again.
bool UnpackIntoStaging(Unzipper& unzipper, const std::wstring& staging);
