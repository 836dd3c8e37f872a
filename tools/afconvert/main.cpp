// afconvert: encodes a WAV file (or the WAV coming through a FIFO) to AAC in
// an MP4 container, or to an ADTS stream (which may go into a FIFO).
//
//   afconvert IN.wav -o OUT -f mp4f|adts -d aac -b BITS [-w WORKERS]
//             [-p PIECE_SECONDS] [-l LEAD_IN_FRAMES] [-e EXPECTED_SECONDS]
//
// An ADTS stream is encoded in pieces by several workers at once (threads
// with libavcodec's AAC encoder, one a core unless -w or VANTREO_AAC_WORKERS
// says otherwise) and joined into one stream that decodes to as many samples
// as a single run's, with the same priming. An MP4 file, one worker, or a
// file that is no PCM WAV the encoder takes as it is, is one ffmpeg run:
// afconvert runs ffmpeg as a child and exits with its status.

#include "afconvert/AacEncoder.h"
#include "afconvert/AdtsOutput.h"
#include "afconvert/AfconvertArgs.h"
#include "afconvert/Cancellation.h"
#include "afconvert/PieceEncoding.h"
#include "afconvert/SingleRun.h"
#include "afconvert/SoundInput.h"
#include "afconvert/StopSignals.h"

extern "C" {
#include <libavutil/log.h>
}

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

int fail(const std::string& why)
{
    std::fprintf(stderr, "Error: %s\n", why.c_str());
    return kFailureStatus;
}

// The ADTS stream encoded in pieces: afconvert's exit status, or absent when
// the input is a file the single ffmpeg run should read instead. SIGSTOP and
// SIGCONT act on the one process, all its threads at once; a stop signal
// ends every thread and afconvert exits with 128 + the signal; a reader of
// the output that goes away is a write error, not a signal. On any failure
// an output that is a regular file is removed.
std::optional<int> encodeAdtsInPieces(const AfconvertArgs& args, unsigned workers)
{
    using namespace afconvert;
    av_log_set_level(AV_LOG_ERROR);
    std::signal(SIGPIPE, SIG_IGN);
    Cancellation cancellation;
    // Opening a FIFO waits in open() for its other end, which no
    // cancellation ends: a stop signal meanwhile ends afconvert at once, with
    // nothing written yet.
    std::atomic<bool> opening{true};
    const StopSignals stop([&](int signal) {
        cancellation.trigger();
        if (opening)
            ::_exit(128 + signal);
    });
    const auto stopped = [&]() -> std::optional<int> {
        if (stop.received())
            return 128 + stop.received();
        return std::nullopt;
    };

    SoundInput input;
    if (const std::string error = input.open(args.input); !error.empty())
        return fail(error);
    const WavHeaderParse header = input.readHeader(cancellation);
    if (const auto status = stopped())
        return status;
    // Anything else in a file ffmpeg reads as it always did; a FIFO's
    // bytes are gone once read.
    if (header.status != WavHeaderParse::Status::Complete) {
        if (input.isRegularFile())
            return std::nullopt;
        return fail(args.input + ": " + header.error);
    }
    const WavFormat& format = header.header.format;
    PieceEncodingSetup setup;
    setup.format = format;
    setup.encoder = {format.sampleRate, format.channels, format.channelMask, args.bitRate};
    const BoundedPlan plan = soundPlan(
        args.pieceSeconds, args.expectedSeconds, args.leadInFrames.value_or(kDefaultLeadInFrames),
        format.sampleRate, format.channels, workers, kPieceMemoryBudget);
    setup.layout = plan.layout;
    setup.workers = plan.workers;
    AacEncoder reference;
    if (const std::string error = reference.open(setup.encoder); !error.empty()) {
        if (input.isRegularFile())
            return std::nullopt;
        return fail(error);
    }
    AdtsOutput output;
    std::string error = output.open(args.output, reference.context(), cancellation);
    opening = false;
    if (error.empty() && !cancellation.triggered())
        error = encodeInPieces(input, output, setup, cancellation);
    if (error.empty() && !cancellation.triggered() && !output.finish())
        error = output.error();
    if (error.empty() && !cancellation.triggered())
        return 0;
    output.discard();
    if (const auto status = stopped())
        return status;
    return fail(error);
}

} // namespace

int main(int argc, char** argv)
{
    const AfconvertParse parsed =
        parseAfconvertArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.args) {
        std::fprintf(stderr, "Error: %s\n%s\n", parsed.error.c_str(), kAfconvertUsage);
        return kUsageStatus;
    }
    const AfconvertArgs& args = *parsed.args;
    struct stat info
    {
    };
    // A FIFO is read as the sound comes (Vantreo's extraction writes into one).
    if (::stat(args.input.c_str(), &info) != 0 ||
        !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode)) ||
        ::access(args.input.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "Error: cannot read input file %s\n", args.input.c_str());
        return kFailureStatus;
    }
    const unsigned workers = effectiveWorkers(args, std::getenv("VANTREO_AAC_WORKERS"),
                                              std::thread::hardware_concurrency());
    if (args.format == AfconvertArgs::Format::Adts && workers > 1) {
        if (const std::optional<int> status = encodeAdtsInPieces(args, workers))
            return *status;
    }
    return runSingleEncoding(args);
}
