#pragma once

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace afconvert {

// SIGTERM, SIGINT and SIGHUP while afconvert encodes in threads of its own:
// blocked in the thread that makes this (and so in the threads it starts
// afterwards) and taken by a watcher thread, which hands the first one to
// `onSignal`. That runs on the watcher thread, not in a signal handler, so it
// may lock and wake other threads. SIGSTOP and SIGCONT (pause and continue)
// act on every thread of the process at once and need nothing here.
class StopSignals
{
public:
    explicit StopSignals(std::function<void(int)> onSignal);
    // Stops watching and unblocks the signals again.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that came; 0 when none did.
    int received() const { return m_received.load(); }

private:
    void watch();

    std::function<void(int)> m_onSignal;
    sigset_t m_signals{};
    sigset_t m_oldMask{};
    std::atomic<bool> m_done{false};
    std::atomic<int> m_received{0};
    std::thread m_watcher;
};

} // namespace afconvert
