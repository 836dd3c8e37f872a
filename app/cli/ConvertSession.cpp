#include "ConvertSession.h"

#include "Commands.h"
#include "SessionLines.h"
#include "engine/ConversionJob.h"
#include "engine/JobFactory.h"
#include "engine/JobState.h"
#include "engine/KeptTracks.h"
#include "engine/RawNameLinks.h"
#include "engine/SubtitleReading.h"
#include "foundation/BoundedTask.h"
#include "foundation/PathHelpers.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ToolRun.h"
#include "inspection/Languages.h"
#include "inspection/ProbeListing.h"
#include "platform/SignalWatcher.h"
#include "shell/AddPanelTexts.h"
#include "shell/FolderWatch.h"
#include "shell/Intake.h"
#include "shell/JobQueue.h"
#include "shell/LibraryWalk.h"
#include "shell/OutputName.h"
#include "shell/SubtitlePairing.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <unistd.h>

namespace {

// How long an interrupted run waits for the tools it told to end.
constexpr int kEndingToolsMs = 3000;

} // namespace

ConvertSession::ConvertSession(const ConvertOptions& options, QObject* parent)
    : QObject(parent), m_options(options)
{
    m_queue = new JobQueue(this);
    m_queue->setAfterJobActions(commandLineAfterJobActions());
    m_queue->setMaxConverting(options.jobs);
    // Several movies at once share the cores: each sound encoder takes its
    // part (the desktop converts one movie at a time and leaves the encoder
    // every core). A value the user set in the environment stands.
    if (options.jobs > 1 && qEnvironmentVariableIsEmpty("VANTREO_AAC_WORKERS"))
        qputenv("VANTREO_AAC_WORKERS",
                QByteArray::number(qMax(1, QThread::idealThreadCount() / options.jobs)));
    m_intake = new Intake(this);
    connect(m_intake, &Intake::probed, this, &ConvertSession::probeFinished);
    m_signals = new SignalWatcher(this);
    m_terminal = ::isatty(STDOUT_FILENO) == 1 && !options.json && !options.watch;
    m_human = options.json ? stderr : stdout;
    connect(m_signals, &SignalWatcher::interrupted, this, &ConvertSession::interrupt);
    if (options.recursive) {
        m_feed = std::make_unique<LibraryFeed>(options.destination, options.force);
        m_renewClaims.setInterval(LibraryFeed::kRenewMilliseconds);
        connect(&m_renewClaims, &QTimer::timeout, this, [this] { m_feed->renewClaims(); });
    }
}

ConvertSession::~ConvertSession() = default;

void ConvertSession::reportSkipped(const QString& path, const QString& reason)
{
    printLine(stderr, tr("Not converted: %1: %2").arg(RawNameLinks::displayPath(path), reason));
    std::fflush(stderr);
    ++m_skipped;
    if (m_options.json)
        report(path, {}, "failed", reason);
}

void ConvertSession::reportPassed(const LibraryPass& pass)
{
    if (pass.failed) {
        reportSkipped(pass.path, pass.explanation);
        return;
    }
    ++m_passed;
    printLine(m_human, tr("Skipped: %1: %2").arg(pass.path, pass.explanation));
    std::fflush(m_human);
    if (m_options.json)
        report(pass.path, pass.output, "skipped", pass.explanation);
}

// One line of the report for scripts: a compact JSON object per movie.
void ConvertSession::report(const QString& path, const QString& output, const char* state,
                            const QString& explanation)
{
    std::fprintf(stdout, "%s\n", reportLine(path, output, state, explanation).constData());
    std::fflush(stdout);
}

QStringList ConvertSession::takeFiles()
{
    QStringList existing;
    for (const QString& file : m_options.files) {
        const QFileInfo info(file);
        if (!info.exists())
            reportSkipped(file, tr("no such file"));
        else if (info.isDir())
            reportSkipped(file, tr("it is a folder"));
        else if (!isRegularFile(file))
            reportSkipped(file, tr("not a regular file"));
        else if (!isMovieCandidate(file) && !isSubtitleFile(file))
            reportSkipped(file, tr("not a movie file"));
        else {
            existing.append(info.absoluteFilePath()); // never read as an option or protocol
            m_givenNames.insert(info.absoluteFilePath(), file);
        }
    }
    return m_intake->openFiles(existing);
}

void ConvertSession::takeLibraries()
{
    for (const QString& given : m_options.files) {
        const QFileInfo info(given);
        if (!info.exists()) {
            reportSkipped(given, tr("no such file or folder"));
        } else if (info.isDir()) {
            const QString root = info.absoluteFilePath();
            const QStringList movies = moviesUnder(root);
            if (!m_options.watch)
                printLine(m_human,
                          tr("Found %n movies under %1", nullptr, int(movies.size())).arg(given));
            for (const QString& movie : movies)
                m_feed->add(movie, root);
        } else if (isMovieCandidate(given)) {
            // A movie named among the folders is a library of its own.
            m_feed->add(info.absoluteFilePath(), info.absolutePath());
        } else {
            reportSkipped(given, tr("not a folder or a movie file"));
        }
    }
    std::fflush(m_human);
}

void ConvertSession::startWatching()
{
    m_folderWatch = new FolderWatch(m_options.files, m_options.settleSeconds * 1000, this);
    connect(m_folderWatch, &FolderWatch::movieReady, this,
            [this](const QString& movie, const QString& root) {
                printLine(m_human, tr("Found: %1").arg(movie));
                std::fflush(m_human);
                m_feed->add(movie, root);
                probeNext();
            });
    connect(m_folderWatch, &FolderWatch::movieGrowing, this, [this](const QString& movie) {
        printLine(m_human, tr("Waiting: %1 is still being written").arg(movie));
        std::fflush(m_human);
    });
    m_folderWatch->start();
    printLine(m_human,
              tr("Watching %n folders under %1", nullptr, int(m_folderWatch->watchedFolderCount()))
                  .arg(m_options.files.join(QStringLiteral(", "))));
    std::fflush(m_human);
}

int ConvertSession::run()
{
    if (m_options.watch) {
        startWatching();
        m_renewClaims.start();
    } else if (libraryMode()) {
        takeLibraries();
        m_renewClaims.start();
    } else {
        const QStringList movies = takeFiles();
        if (!m_options.subtitles.isEmpty() && movies.size() > 1) {
            printLine(stderr, tr("vantreo-cli convert: --subtitles goes with a single movie"));
            return kExitUsage;
        }
    }
    QTimer redraw;
    if (m_terminal) {
        connect(&redraw, &QTimer::timeout, this, &ConvertSession::redrawTerminal);
        redraw.start(1000);
    }
    QTimer::singleShot(0, this, &ConvertSession::probeNext);
    m_loop.exec();
    if (m_feed)
        m_feed->releaseClaims();
    if (m_lineOpen)
        std::fputs("\n", stdout);
    // A tool told to end while it was still starting may yet make its output
    // where a removed FIFO was: its end deletes that file again.
    if (m_interrupted)
        ToolRun::letAllEnd(kEndingToolsMs);
    if (m_interrupted && m_options.watch) {
        // Ending a watch is its normal end, as systemd stops a service.
        printLine(m_human, tr("Stopped: %1 converted, %2 failed, %3 skipped; unfinished files "
                              "removed")
                               .arg(m_converted)
                               .arg(m_failed + m_skipped)
                               .arg(m_passed));
        std::fflush(m_human);
        return kExitOK;
    }
    if (m_interrupted) {
        printLine(stderr, tr("Interrupted: conversions stopped, unfinished files removed."));
        return kExitInterrupted;
    }
    bool anyFailed = m_skipped > 0;
    for (const Record& r : m_records) {
        if (r.result == JobFinished) {
            if (!libraryMode())
                printLine(m_human,
                          tr("Finished: %1").arg(RawNameLinks::displayPath(r.destination)));
            if (!r.warning.isEmpty()) {
                std::fflush(m_human);
                std::fprintf(stderr, "%s\n", qPrintable(r.warning));
            }
        } else {
            anyFailed = true;
            if (!libraryMode())
                printLine(stderr, tr("Failed: %1: %2").arg(r.name, r.explanation));
        }
    }
    if (libraryMode())
        printLine(m_human, tr("%1 converted, %2 failed, %3 skipped")
                               .arg(m_converted)
                               .arg(m_failed + m_skipped)
                               .arg(m_passed));
    std::fflush(m_human);
    return anyFailed ? kExitFailed : kExitOK;
}

qsizetype ConvertSession::activeJobs() const
{
    qsizetype active = 0;
    for (const Record& r : m_records)
        if (!r.result && r.job)
            ++active;
    return active;
}

void ConvertSession::probeNext()
{
    if (m_interrupted || m_intake->isProbing())
        return;
    if (libraryMode()) {
        probeLibraryMovies();
        return;
    }
    if (m_intake->waitingCount() == 0) {
        checkDone();
        return;
    }
    // Several movies in one probe: each start of ffmpeg costs a good part of
    // a second, so a batch pays it once per group, not once per movie.
    QList<IntakeMovie> movies;
    while (movies.size() < Intake::kMoviesPerProbe) {
        std::optional<IntakeMovie> movie = m_intake->nextMovie();
        if (!movie)
            break;
        m_intake->dropNextMovie();
        if (!m_options.subtitles.isEmpty()) {
            const QString given = QFileInfo(m_options.subtitles).absoluteFilePath();
            movie->subtitles.removeAll(given);
            movie->subtitles.prepend(given);
        }
        movies.append(*movie);
    }
    m_intake->probe(movies, MKVFileInfo::Warnings::Collected);
}

// A library's movies are claimed only as the queue has room for them (the
// conversions at once and one more being probed), so that runs started side
// by side share the library between them.
void ConvertSession::probeLibraryMovies()
{
    QList<IntakeMovie> movies;
    m_probingLibrary.clear();
    const qsizetype room = m_queue->maxConverting() + 1 - activeJobs();
    while (movies.size() < room) {
        QList<LibraryPass> passed;
        const std::optional<LibraryMovie> next = m_feed->next(passed);
        for (const LibraryPass& pass : passed)
            reportPassed(pass);
        if (!next)
            break;
        movies.append(IntakeMovie{next->path, {}});
        m_probingLibrary.insert(next->path, *next);
    }
    if (movies.isEmpty()) {
        checkDone();
        return;
    }
    m_intake->probe(movies, MKVFileInfo::Warnings::Collected);
}

void ConvertSession::probeFinished(const QList<IntakeResult>& results)
{
    if (m_interrupted)
        return;
    for (const IntakeResult& result : results) {
        printWarnings(*result.info);
        const QString& path = result.movie.path;
        const std::optional<LibraryMovie> library =
            m_probingLibrary.contains(path) ? std::optional(m_probingLibrary.value(path))
                                            : std::nullopt;
        const qsizetype before = m_records.size();
        // The name the movie was given by on the command line.
        queueMovie(result.info, library ? path : m_givenNames.value(path, path), library);
        // A movie that was not queued gives its claim back at once.
        if (library && m_records.size() == before)
            m_feed->finished(*library);
    }
    probeNext();
}

void ConvertSession::printWarnings(const MKVFileInfo& info)
{
    for (const QString& line : movieNoteLines(info))
        printLine(stderr, line);
    std::fflush(stderr);
}

void ConvertSession::queueMovie(const MKVFileInfoPtr& info, const QString& given,
                                const std::optional<LibraryMovie>& library)
{
    const QString path = info->fileURL().toLocalFile();
    if (!info->unreadableReason().isEmpty()) {
        reportSkipped(given, info->unreadableReason());
        return;
    }
    // A picture or a text that ffmpeg reads as video, or video that an MP4
    // cannot hold without re-encoding.
    if (info->videoTrackID() && !info->refusalReason().isEmpty()) {
        reportSkipped(given, info->refusalReason());
        return;
    }
    // Neither video nor audio: ffmpeg could not read it as a movie at all.
    if (!info->videoTrackID() && info->audioTracks().isEmpty()) {
        reportSkipped(given, tr("ffmpeg cannot read it as a movie"));
        return;
    }
    // Audio alone, or audio with a cover picture: nothing to keep as video.
    if (!info->videoTrackID()) {
        reportSkipped(given, tr("it has no video track"));
        return;
    }
    QString error;
    const auto audio =
        chooseAudioTrack(info->audioTracks(), m_options.audio, preferredLanguages3Letter(), error);
    if (!audio) {
        reportSkipped(given, error);
        return;
    }
    // Beside the movie means beside the real movie, not beside our link to it.
    const QString folder = library ? library->outputFolder
                           : m_options.destination.isEmpty()
                               ? RawNameLinks::realFolder(path)
                               : QFileInfo(m_options.destination).absoluteFilePath();
    const QString destination = uniqueDestination(
        folder, outputFileName(info->fileName(), defaultInt(kDefaultExtensionKey)),
        m_queue->queuedDestinations());
    info->setDestinationURL(QUrl::fromLocalFile(destination));

    ConversionInputs tracks = movieTrackInputs(*info, *audio, preferredLanguages3Letter());
    std::optional<QStringList> subtitleChoice;
    if (m_options.subtitleChoice) {
        subtitleChoice = subtitleKeysFor(*m_options.subtitleChoice, tracks);
        tracks.chosenSubtitles = subtitleChoice;
    }
    // Picture subtitles this machine cannot read, said once before the run.
    for (const QString& note : pictureReadingNotes(tracks, ConversionSettings::fromStore()))
        printLine(stderr, tr("Note: %1: %2").arg(info->fileName(), note));
    ConversionJob* job = makeConversionJob({info, *audio, subtitleChoice, std::nullopt});
    m_records.append(
        Record{info->fileName(), destination, job, std::nullopt, {}, -1, {}, given, library});
    const int index = int(m_records.size()) - 1;
    watch(index);
    if (!m_queue->addJob(job)) {
        m_records[index].result = JobFailed;
        m_records[index].explanation = tr("the destination folder cannot be written to");
        jobEnded(index);
    }
}

void ConvertSession::watch(int index)
{
    ConversionJob* job = m_records.at(index).job;
    auto record = [this, index, job] {
        Record& r = m_records[index];
        const JobState state = job->state();
        if ((state == JobFinished || state == JobFailed) && !r.result) {
            r.result = state;
            r.destination = job->destinationPath(); // a name taken meanwhile gave another
            if (state == JobFailed)
                r.explanation = job->failureExplanationText();
            r.warning = job->completionWarning();
            showProgress(index);
            jobEnded(index);
        }
    };
    connect(job, &ConversionJob::stateChanged, this, record);
    // Without a window to free space from, a refused start fails the movie
    // and the queue goes on with the next one.
    connect(job, &ConversionJob::startRefused, this, [this, index, job](const QString& reason) {
        Record& r = m_records[index];
        if (r.result)
            return;
        r.result = JobFailed;
        r.explanation = reason;
        QTimer::singleShot(0, job, &ConversionJob::remove);
        jobEnded(index);
    });
    connect(job, &ConversionJob::progressChanged, this, [this, index] { showProgress(index); });
}

// A job's end: counted, and in a library run reported at once, its claim
// given back and the job taken out of the queue, so that a run over
// thousands of movies holds only the few it works on.
void ConvertSession::jobEnded(int index)
{
    Record& r = m_records[index];
    const bool finished = r.result == JobFinished;
    ++(finished ? m_converted : m_failed);
    if (libraryMode()) {
        if (finished)
            printLine(m_human, tr("Converted: %1 -> %2").arg(r.source, r.destination));
        else
            printLine(m_human, tr("Failed: %1: %2").arg(r.source, r.explanation));
        std::fflush(m_human);
        if (r.library)
            m_feed->finished(*r.library);
        if (r.job)
            QTimer::singleShot(0, r.job.data(), &ConversionJob::remove);
    }
    if (m_options.json)
        report(r.source, finished ? r.destination : QString(), finished ? "converted" : "failed",
               finished ? r.warning : r.explanation);
    QTimer::singleShot(0, this, &ConvertSession::probeNext);
    QTimer::singleShot(0, this, &ConvertSession::checkDone);
}

void ConvertSession::showProgress(int index)
{
    Record& r = m_records[index];
    ConversionJob* job = r.job;
    if (m_terminal) {
        redrawTerminal();
        if (r.result && m_lineOpen) {
            std::fputs("\n", stdout);
            m_lineOpen = false;
        }
        return;
    }
    // A watch logs events only, not percentages.
    if (!job || r.result || m_options.watch)
        return;
    const int tenth = qBound(0, int(job->progress() / 10.0f), 10);
    if (tenth > r.lastTenth && job->state() == JobConverting) {
        r.lastTenth = tenth;
        std::fprintf(m_human, "%s: %d%%\n", qPrintable(r.name), tenth * 10);
        std::fflush(m_human);
    }
}

void ConvertSession::redrawTerminal()
{
    // One line for every movie converting, redrawn in place.
    QStringList parts;
    for (const Record& r : m_records) {
        if (!r.job || r.job->state() != JobConverting)
            continue;
        parts.append(QStringLiteral("%1 [%2] %3")
                         .arg(r.name, progressBar(r.job->progress()), r.job->stateInfoString()));
    }
    if (parts.isEmpty())
        return;
    std::fprintf(stdout, "\r\033[K%s", qPrintable(parts.join(QStringLiteral("  |  "))));
    std::fflush(stdout);
    m_lineOpen = true;
}

void ConvertSession::checkDone()
{
    if (m_options.watch || m_intake->isProbing() || m_intake->waitingCount() > 0)
        return;
    if (m_feed && m_feed->waitingCount() > 0)
        return;
    for (const Record& r : m_records)
        if (!r.result && r.job)
            return;
    m_loop.quit();
}

void ConvertSession::interrupt(int)
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    // A movie being probed: its tools end at once.
    cancelBoundedTasks();
    // As the desktop quits: every job removed, tools ended, unfinished
    // outputs deleted.
    synchronize();
    m_queue->terminate();
    if (m_feed)
        m_feed->releaseClaims();
    m_loop.quit();
}
