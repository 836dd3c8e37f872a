#include "afconvert/StopSignals.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>

namespace afconvert {

namespace {

// How often the watcher looks whether it is still wanted.
constexpr long kWatchNanoseconds = 100'000'000;

} // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal))
{
    sigemptyset(&m_signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&m_signals, signal);
    ::pthread_sigmask(SIG_BLOCK, &m_signals, &m_oldMask);
    m_watcher = std::thread([this] { watch(); });
}

StopSignals::~StopSignals()
{
    m_done = true;
    m_watcher.join();
    ::pthread_sigmask(SIG_SETMASK, &m_oldMask, nullptr);
}

void StopSignals::watch()
{
    const timespec step{0, kWatchNanoseconds};
    while (!m_done) {
        siginfo_t info{};
        const int signal = ::sigtimedwait(&m_signals, &info, &step);
        if (signal <= 0)
            continue;
        int none = 0;
        if (m_received.compare_exchange_strong(none, signal) && m_onSignal)
            m_onSignal(signal);
    }
}

} // namespace afconvert
