// Removes the temporary files of the runs in progress when ncmirror is
// interrupted (SIGINT, SIGTERM, SIGHUP, SIGPIPE; on Windows a console Ctrl-C,
// Ctrl-Break or close), then ends with the usual status: 128 + the signal
// (130, 143, 129, 141). The engine tells it of each temporary file; the destination is only
// ever replaced by a finished file, so it stays as it was.
#pragma once

#include "TempFileObserver.h"

#include <cstddef>
#include <memory>

class CInterruptCleanup : public CTempFileObserver {
public:
    // `slots`: how many temporary files may exist at once (one per run going
    // on at the same time). They are made here, so that the handler never
    // allocates.
    explicit CInterruptCleanup(std::size_t slots = 1);
    ~CInterruptCleanup();
    CInterruptCleanup(const CInterruptCleanup&) = delete;
    CInterruptCleanup& operator=(const CInterruptCleanup&) = delete;

    // Takes over the interruptions (those not ignored by the caller) until
    // the object ends. One object at a time.
    void Install();

    void OnTempFileCreated(const TempFileRecord& file) override;
    void OnTempFileGone(const TempFileRecord& file) override;

    // Removes every file now recorded; safe in a signal handler.
    void RemoveAll();

    struct Slot;  // one recorded file, per platform

private:
    std::unique_ptr<Slot[]> m_slots;
    std::size_t m_nSlots;
    bool m_bInstalled = false;
};
