#include "afconvert/SingleRun.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFailureStatus = 1;
constexpr int kCannotRunStatus = 127;
constexpr int kForwardedSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t g_childPid = 0;

void forwardSignal(int signal)
{
    const pid_t child = g_childPid;
    if (child > 0)
        ::kill(child, signal);
}

bool isExecutableFile(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string ownDirectory()
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return {};
    const std::string self(buffer.data(), std::size_t(n));
    const std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string() : self.substr(0, slash);
}

std::string findFfmpeg()
{
    for (const std::string& candidate :
         ffmpegCandidates(std::getenv("VANTREO_TOOLS_DIR"), ownDirectory(), std::getenv("PATH"))) {
        if (isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void execChild(const std::vector<char*>& argv, const sigset_t& oldMask, pid_t parent)
{
    for (const int signal : kForwardedSignals)
        ::signal(signal, SIG_DFL);
    ::sigprocmask(SIG_SETMASK, &oldMask, nullptr);
    // Should afconvert die without a chance to forward (SIGKILL), ffmpeg goes too.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent)
        ::_exit(kCannotRunStatus);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
        if (devNull != STDIN_FILENO)
            ::close(devNull);
    }
    ::execv(argv[0], argv.data());
    const char message[] = "Error: cannot run ffmpeg\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(kCannotRunStatus);
}

int runFfmpeg(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& arg : arguments)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    struct sigaction action
    {
    };
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // Signals stay blocked until the child's pid is known, so none is lost.
    sigset_t blocked;
    sigset_t oldMask;
    sigemptyset(&blocked);
    for (const int signal : kForwardedSignals) {
        sigaddset(&blocked, signal);
        ::sigaction(signal, &action, nullptr);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &oldMask);

    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        ::sigprocmask(SIG_SETMASK, &oldMask, nullptr);
        std::fprintf(stderr, "Error: cannot start ffmpeg: %s\n", std::strerror(errno));
        return kCannotRunStatus;
    }
    if (child == 0)
        execChild(argv, oldMask, parent);
    g_childPid = child;
    ::sigprocmask(SIG_SETMASK, &oldMask, nullptr);

    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    g_childPid = 0;
    if (waited < 0)
        return kFailureStatus;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return kFailureStatus;
}

} // namespace

int runSingleEncoding(const AfconvertArgs& args)
{
    const std::string ffmpegPath = findFfmpeg();
    if (ffmpegPath.empty()) {
        std::fprintf(stderr, "Error: ffmpeg not found\n");
        return kCannotRunStatus;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    return runFfmpeg(ffmpegArguments(args, ffmpegPath));
}
