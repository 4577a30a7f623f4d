#include "InterruptCleanup.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

namespace {

// The object whose files a console event removes.
std::atomic<CInterruptCleanup*> g_pActive{nullptr};
// Guards the slots: the console handler runs on a thread of its own.
std::mutex g_slotsLock;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (CInterruptCleanup* cleanup = g_pActive.load())
        cleanup->RemoveAll();
    // Ctrl-C and Ctrl-Break as SIGINT, a closed console, logoff or shutdown as SIGHUP.
    ::ExitProcess(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 129);
}

}  // namespace

struct CInterruptCleanup::Slot {
    bool held = false;
    std::wstring path;
};

CInterruptCleanup::CInterruptCleanup(std::size_t slots)
    : m_slots(std::make_unique<Slot[]>(slots)), m_nSlots(slots)
{
}

CInterruptCleanup::~CInterruptCleanup()
{
    if (!m_bInstalled)
        return;
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    g_pActive.store(nullptr);
}

void CInterruptCleanup::Install()
{
    g_pActive.store(this);
    m_bInstalled = true;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void CInterruptCleanup::OnTempFileCreated(const TempFileRecord& file)
{
    const std::lock_guard<std::mutex> lock(g_slotsLock);
    for (std::size_t i = 0; i < m_nSlots; ++i) {
        if (!m_slots[i].held) {
            m_slots[i].held = true;
            m_slots[i].path = file.strWidePath;
            return;
        }
    }
}

void CInterruptCleanup::OnTempFileGone(const TempFileRecord& file)
{
    const std::lock_guard<std::mutex> lock(g_slotsLock);
    for (std::size_t i = 0; i < m_nSlots; ++i) {
        if (m_slots[i].held && m_slots[i].path == file.strWidePath) {
            m_slots[i].held = false;
            return;
        }
    }
}

void CInterruptCleanup::RemoveAll()
{
    // Held until the process ends: no run goes on to move a file meanwhile.
    g_slotsLock.lock();
    for (std::size_t i = 0; i < m_nSlots; ++i)
        if (m_slots[i].held)
            ::DeleteFileW(m_slots[i].path.c_str());
}
