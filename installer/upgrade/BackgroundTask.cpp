#include "installer/upgrade/BackgroundTask.h"

#include <process.h>

#include <utility>

BackgroundTask::BackgroundTask(std::function<void()> work) : m_work(std::move(work))
{
    m_thread.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &BackgroundTask::Run, this, 0, nullptr)));
    if (!m_thread) m_work();
}

BackgroundTask::~BackgroundTask()
{
    Wait();
}

void BackgroundTask::Wait()
{
    if (!m_thread) return;
    ::WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
}

unsigned __stdcall BackgroundTask::Run(void* self)
{
    static_cast<BackgroundTask*>(self)->m_work();
    return 0;
}
