#include "InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <unistd.h>

namespace {

enum : int { kFree, kFilling, kHeld };

// SIGPIPE too: a reader of the results that goes away (`| head`) ends the
// run as an interruption does, leaving no temporary file.
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The object whose files a signal removes. A signal handler can reach
// nothing else.
std::atomic<CInterruptCleanup*> g_pActive{nullptr};
// Set when an interruption ends the process: no temporary file is made
// from then on.
std::atomic<bool> g_bEnding{false};

extern "C" void OnInterruptSignal(int signal)
{
    g_bEnding.store(true);
    if (CInterruptCleanup* cleanup = g_pActive.load()) {
        cleanup->RemoveAll();
        // A file announced just before may be in the making on another
        // thread (-j): given the time to appear, it goes with a second pass.
        const timespec wait = {0, 20 * 1000 * 1000};
        ::nanosleep(&wait, nullptr);
        cleanup->RemoveAll();
    }
    // The handler was reset on entry (SA_RESETHAND) and the signal is not
    // blocked (SA_NODEFER): the process now ends by the signal itself, as
    // the calling shell expects (status 128 + signal).
    ::raise(signal);
    ::_exit(128 + signal);
}

}  // namespace

struct CInterruptCleanup::Slot {
    std::atomic<int> state{kFree};
    int folder = -1;
    char name[sizeof TempFileRecord::szName] = {};
};

CInterruptCleanup::CInterruptCleanup(std::size_t slots)
    : m_slots(std::make_unique<Slot[]>(slots)), m_nSlots(slots)
{
}

CInterruptCleanup::~CInterruptCleanup()
{
    if (!m_bInstalled)
        return;
    for (const int signal : kSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == OnInterruptSignal)
            ::signal(signal, SIG_DFL);
    }
    g_pActive.store(nullptr);
}

void CInterruptCleanup::Install()
{
    g_pActive.store(this);
    m_bInstalled = true;
    for (const int signal : kSignals) {
        struct sigaction current {};
        // A signal the caller ignores (a job started with nohup) stays ignored.
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnInterruptSignal;
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void CInterruptCleanup::OnTempFileCreated(const TempFileRecord& file)
{
    for (std::size_t i = 0; i < m_nSlots; ++i) {
        Slot& slot = m_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling))
            continue;
        slot.folder = file.nFolder;
        std::memcpy(slot.name, file.szName, sizeof slot.name);
        slot.state.store(kHeld);
        break;
    }
    // Announced before the process ends, or never made: a thread that comes
    // here once the handler runs waits for the end instead.
    while (g_bEnding.load())
        ::pause();
}

void CInterruptCleanup::OnTempFileGone(const TempFileRecord& file)
{
    for (std::size_t i = 0; i < m_nSlots; ++i) {
        Slot& slot = m_slots[i];
        if (slot.state.load() == kHeld && slot.folder == file.nFolder &&
            std::strncmp(slot.name, file.szName, sizeof slot.name) == 0) {
            slot.state.store(kFree);
            return;
        }
    }
}

void CInterruptCleanup::RemoveAll()
{
    for (std::size_t i = 0; i < m_nSlots; ++i) {
        Slot& slot = m_slots[i];
        if (slot.state.load() == kHeld)
            ::unlinkat(slot.folder, slot.name, 0);
    }
}
