// Unpacking the new product beside the install folder, into a staging folder that holds nothing
// else, so that a failure halfway (a full disk, damaged data) costs nothing but that folder.
#pragma once

class Unzipper;
struct UpgradeFolders;

// Unpacks every entry of the open archive into folders.staging. A leftover folder of that name
// is deleted (or moved out of the way) first; when neither can be done, nothing is unpacked.
// True only when every entry was written whole: the reader checks each file's size and checksum
// and that the directory ends where it should. On failure the staging folder goes again.
bool UnpackIntoStaging(Unzipper& unzipper, const UpgradeFolders& folders);
