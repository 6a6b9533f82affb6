// The three folders of an installation, side by side in the Corvane folder and so on one volume:
// the install folder, the staging folder the new product is unpacked into, and the folder the
// earlier installation is set aside in while the two change places. The suffixes are fixed, so
// that a later run recognises what an interrupted one left, and short, because every path of the
// product has to fit below the staging folder as well.
#pragma once

#include <string>

struct UpgradeFolders {
    // installDir as the installer object holds it, with its trailing backslash.
    explicit UpgradeFolders(const std::wstring& installDir)
        : install(installDir.substr(0, installDir.find_last_not_of(L'\\') + 1)),
          staging(install + L".new"),
          previous(install + L".old"),
          parent(install.substr(0, install.rfind(L'\\')))
    {
    }

    // The folders of installDir, or, where the install folder is a junction or symbolic link
    // (a user who moved the product to another drive), of the folder it points to: the new
    // product is staged beside that folder and takes its place, and the link keeps pointing
    // where the user put it.
    static UpgradeFolders Of(const std::wstring& installDir);

    // All four without a trailing backslash.
    std::wstring install;
    std::wstring staging;
    std::wstring previous;
    // The folder that holds the other three (Corvane, or the link target's parent).
    std::wstring parent;
};
