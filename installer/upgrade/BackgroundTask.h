// A step run on a thread of its own while the caller goes on with another, for steps that wait
// on the file system (probing or deleting the earlier installation) beside steps that do not.
// Its owner waits for it (Wait, or at the latest the destructor): no step is ever left half done
// when the sequence, and with it the process, ends.
#pragma once

#include <functional>

#include "framework/ScopedHandle.h"

class BackgroundTask {
public:
    // Starts work; when no thread can be started, runs it on the calling thread before returning.
    explicit BackgroundTask(std::function<void()> work);
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Returns once the work has ended.
    void Wait();

private:
    static unsigned __stdcall Run(void* self);

    std::function<void()> m_work;
    framework::KernelHandle m_thread;
};
