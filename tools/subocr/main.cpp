// subocr: reads one picture subtitle stream (Blu-ray PGS, DVD VobSub, DVB)
// of a movie, a .sup file or a VobSub .idx with Tesseract and writes it as
// SRT text.
//
//   subocr [options] INPUT -o OUT.srt
//
// Standard output carries "progress: P" lines while it runs and one summary
// line "events: N read: R forced: F empty: E" at the end, or an "Error: "
// line and exit status 1. A bad command line exits with 2, SIGTERM with 143.

#include "subocr/SubocrOptions.h"
#include "subocr/SubocrRun.h"

extern "C" {
#include <libavutil/log.h>
}

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUsageStatus = 2;
constexpr char kThreadLimit[] = "OMP_THREAD_LIMIT";

void quit(int signal)
{
    ::_exit(128 + signal);
}

// Tesseract parallelises inside each picture with OpenMP, which only hears
// its thread limit from the environment at program start. The workers
// already keep every core busy, and more threads than cores make every
// worker slower, so the program starts once more with one thread each
// (exec keeps the process, its id and its output).
void limitOpenMpThreads(char** argv)
{
    if (std::getenv(kThreadLimit) != nullptr)
        return;
    ::setenv(kThreadLimit, "1", 1);
    ::execv("/proc/self/exe", argv);
    // Should that fail, the run goes on as it is.
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGTERM, quit);
    std::signal(SIGINT, quit);
    std::signal(SIGPIPE, SIG_IGN);
    limitOpenMpThreads(argv);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const subocr::ParsedOptions parsed = subocr::parseSubocrOptions(arguments);
    if (!parsed.options) {
        std::printf("Error: %s\n", parsed.error.c_str());
        std::fflush(stdout);
        std::fputs(subocr::subocrUsage().c_str(), stderr);
        return kUsageStatus;
    }
    if (parsed.options->help) {
        std::fputs(subocr::subocrUsage().c_str(), stdout);
        return 0;
    }
    // Damage in the input is reported in the summary; libav's own words on
    // it are no use to the reader of the output.
    av_log_set_level(AV_LOG_FATAL);
    subocr::SubocrRun run(*parsed.options);
    return run.run();
}
