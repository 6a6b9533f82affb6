#include "installer/BackgroundDeletion.h"

#include <process.h>

#include <utility>

#include "installer/EmptyFolder.h"

BackgroundDeletion::BackgroundDeletion(std::wstring folder) : m_folder(std::move(folder))
{
    m_thread.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &BackgroundDeletion::Run, this, 0, nullptr)));
    if (!m_thread) DeleteFolderTree(m_folder);
}

BackgroundDeletion::~BackgroundDeletion()
{
    Wait();
}

void BackgroundDeletion::Wait()
{
    if (!m_thread) return;
    ::WaitForSingleObject(m_thread.get(), INFINITE);
    m_thread.reset();
}

unsigned __stdcall BackgroundDeletion::Run(void* self)
{
    DeleteFolderTree(static_cast<BackgroundDeletion*>(self)->m_folder);
    return 0;
}
