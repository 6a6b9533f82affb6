// Deleting the earlier installation, once it has been set aside, on a thread of its own, so that
// the deletion overlaps the post-install steps. Its owner waits for it (Wait, or at the latest
// the destructor): the process never ends with the deletion half done.
#pragma once

#include <string>

#include "framework/ScopedHandle.h"

class BackgroundDeletion {
public:
    // Starts deleting folder (EmptyFolder.h: DeleteFolderTree); when no thread can be started,
    // deletes it on the calling thread before returning.
    explicit BackgroundDeletion(std::wstring folder);
    ~BackgroundDeletion();
    BackgroundDeletion(const BackgroundDeletion&) = delete;
    BackgroundDeletion& operator=(const BackgroundDeletion&) = delete;

    // Returns once the deletion has ended.
    void Wait();

private:
    static unsigned __stdcall Run(void* self);

    std::wstring m_folder;
    framework::KernelHandle m_thread;
};
