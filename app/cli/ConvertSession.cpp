#include "ConvertSession.h"

#include "Commands.h"
#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "engine/RawNameLinks.h"
#include "foundation/BoundedTask.h"
#include "foundation/PathHelpers.h"
#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/Languages.h"
#include "inspection/ProbeListing.h"
#include "platform/SignalWatcher.h"
#include "shell/AddPanelTexts.h"
#include "shell/Intake.h"
#include "shell/JobQueue.h"
#include "shell/OutputName.h"
#include "shell/SubtitlePairing.h"

#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

QString progressBar(float progress)
{
    constexpr int kWidth = 20;
    const int filled = qBound(0, int(progress / 100.0f * kWidth), kWidth);
    return QString(filled, u'#') + QString(kWidth - filled, u'-');
}

} // namespace

ConvertSession::ConvertSession(const ConvertOptions& options, QObject* parent)
    : QObject(parent), m_options(options)
{
    m_queue = new JobQueue(this);
    m_intake = new Intake(this);
    connect(m_intake, &Intake::probed, this, &ConvertSession::probeFinished);
    m_signals = new SignalWatcher(this);
    m_terminal = ::isatty(STDOUT_FILENO) == 1;
    connect(m_signals, &SignalWatcher::interrupted, this, &ConvertSession::interrupt);
}

ConvertSession::~ConvertSession() = default;

void ConvertSession::reportSkipped(const QString& path, const QString& reason)
{
    std::fprintf(stderr, "Not converted: %s: %s\n", qPrintable(RawNameLinks::displayPath(path)),
                 qPrintable(reason));
    ++m_skipped;
}

int ConvertSession::run()
{
    QStringList existing;
    for (const QString& file : m_options.files) {
        const QFileInfo info(file);
        if (!info.exists())
            reportSkipped(file, QStringLiteral("no such file"));
        else if (info.isDir())
            reportSkipped(file, QStringLiteral("it is a folder"));
        else if (!isRegularFile(file))
            reportSkipped(file, QStringLiteral("not a regular file"));
        else if (!isMovieFile(file) && !isSubtitleFile(file))
            reportSkipped(file, QStringLiteral("not a movie file (mkv, mp4, mov or ogm)"));
        else {
            existing.append(info.absoluteFilePath()); // never read as an option or protocol
            m_givenNames.insert(info.absoluteFilePath(), file);
        }
    }
    const QStringList movies = m_intake->openFiles(existing);
    if (!m_options.subtitles.isEmpty() && movies.size() > 1) {
        std::fprintf(stderr, "vantreo-cli convert: --subtitles goes with a single movie\n");
        return kExitUsage;
    }
    QTimer redraw;
    if (m_terminal) {
        connect(&redraw, &QTimer::timeout, this, &ConvertSession::redrawTerminal);
        redraw.start(1000);
    }
    QTimer::singleShot(0, this, &ConvertSession::probeNext);
    m_loop.exec();
    if (m_lineOpen)
        std::fputs("\n", stdout);
    if (m_interrupted) {
        std::fprintf(stderr, "Interrupted: conversions stopped, unfinished files removed.\n");
        return kExitInterrupted;
    }
    bool anyFailed = m_skipped > 0;
    for (const Record& r : m_records) {
        if (r.result == JobFinished) {
            std::fprintf(stdout, "Finished: %s\n",
                         qPrintable(RawNameLinks::displayPath(r.destination)));
            if (!r.warning.isEmpty()) {
                std::fflush(stdout);
                std::fprintf(stderr, "%s\n", qPrintable(r.warning));
            }
        } else {
            anyFailed = true;
            std::fprintf(stderr, "Failed: %s: %s\n", qPrintable(r.name), qPrintable(r.explanation));
        }
    }
    std::fflush(stdout);
    return anyFailed ? kExitFailed : kExitOK;
}

void ConvertSession::probeNext()
{
    if (m_interrupted || m_intake->isProbing())
        return;
    if (m_intake->waitingCount() == 0) {
        checkDone();
        return;
    }
    // Several movies in one probe: each start of ffmpeg costs a good part of
    // a second, so a batch pays it once per group, not once per movie.
    constexpr qsizetype kMoviesPerProbe = 16;
    QList<IntakeMovie> movies;
    m_probingGiven.clear();
    while (movies.size() < kMoviesPerProbe) {
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
        m_probingGiven.append(m_givenNames.value(movie->path, movie->path));
    }
    m_intake->probe(movies, MKVFileInfo::Warnings::Collected);
}

void ConvertSession::probeFinished(const QList<MKVFileInfoPtr>& infos)
{
    if (m_interrupted)
        return;
    for (qsizetype i = 0; i < infos.size() && i < m_probingGiven.size(); ++i) {
        printWarnings(*infos.at(i));
        queueMovie(infos.at(i), m_probingGiven.at(i));
    }
    probeNext();
}

void ConvertSession::printWarnings(const MKVFileInfo& info)
{
    // As the desktop would show them, minus the ones the user silenced.
    for (const QString& key : info.raisedWarnings()) {
        if (defaultInt(dontWarnAgainVersionKey(key)) != 0)
            continue;
        std::fprintf(stderr, "Warning: %s\n", qPrintable(warningMessage(key, info.fileName())));
    }
    const QString note = skippedSubtitlesNote(info.skippedSubtitleFiles());
    if (!note.isEmpty())
        std::fprintf(stderr, "Note: %s: %s\n", qPrintable(info.fileName()), qPrintable(note));
    std::fflush(stderr);
}

void ConvertSession::queueMovie(const MKVFileInfoPtr& info, const QString& given)
{
    const QString path = info->fileURL().toLocalFile();
    if (!info->unreadableReason().isEmpty()) {
        reportSkipped(given, info->unreadableReason());
        return;
    }
    // Neither video nor audio: ffmpeg could not read it as a movie at all.
    if (!info->videoTrackID() && info->audioTrackInformation().isEmpty()) {
        reportSkipped(given, QStringLiteral("ffmpeg cannot read it as a movie"));
        return;
    }
    // Audio alone, or audio with a cover picture: nothing to keep as video.
    if (!info->videoTrackID()) {
        reportSkipped(given, QStringLiteral("it has no video track"));
        return;
    }
    QString error;
    const auto audio = chooseAudioTrack(info->audioTrackInformation(), m_options.audio,
                                        preferredLanguages3Letter(), error);
    if (!audio) {
        reportSkipped(given, error);
        return;
    }
    // Beside the movie means beside the real movie, not beside our link to it.
    const QString folder = m_options.destination.isEmpty()
                               ? RawNameLinks::realFolder(path)
                               : QFileInfo(m_options.destination).absoluteFilePath();
    const QString destination = uniqueDestination(
        folder, outputFileName(info->fileName(), defaultInt(kDefaultExtensionKey)),
        m_queue->queuedDestinations());
    info->setDestinationURL(QUrl::fromLocalFile(destination));

    auto* job = new ConversionJob;
    job->setFileInfo(info);
    job->setAudioTrackIndex(qulonglong(*audio));
    job->presetSpeedInfo();
    m_records.append(Record{info->fileName(), destination, job, -1, {}, -1, {}});
    const int index = int(m_records.size()) - 1;
    watch(index);
    if (!m_queue->addJob(job)) {
        m_records[index].result = JobFailed;
        m_records[index].explanation =
            QStringLiteral("the destination folder cannot be written to");
    }
}

void ConvertSession::watch(int index)
{
    ConversionJob* job = m_records.at(index).job;
    auto record = [this, index, job] {
        Record& r = m_records[index];
        const int state = job->state();
        if ((state == JobFinished || state == JobFailed) && r.result < 0) {
            r.result = state;
            r.destination = job->destinationPath(); // a name taken meanwhile gave another
            if (state == JobFailed)
                r.explanation = job->failureExplanationText();
            r.warning = job->completionWarning();
            showProgress(index);
            QTimer::singleShot(0, this, &ConvertSession::checkDone);
        }
    };
    connect(job, &ConversionJob::stateChanged, this, record);
    // Without a window to free space from, a refused start fails the movie
    // and the queue goes on with the next one.
    connect(job, &ConversionJob::startRefused, this, [this, index, job](const QString& reason) {
        Record& r = m_records[index];
        if (r.result >= 0)
            return;
        r.result = JobFailed;
        r.explanation = reason;
        QTimer::singleShot(0, job, &ConversionJob::remove);
        QTimer::singleShot(0, this, &ConvertSession::checkDone);
    });
    connect(job, &ConversionJob::progressChanged, this, [this, index] { showProgress(index); });
}

void ConvertSession::showProgress(int index)
{
    Record& r = m_records[index];
    ConversionJob* job = r.job;
    if (m_terminal) {
        redrawTerminal();
        if (r.result >= 0 && m_lineOpen) {
            std::fputs("\n", stdout);
            m_lineOpen = false;
        }
        return;
    }
    if (!job || r.result >= 0)
        return;
    const int tenth = qBound(0, int(job->progress() / 10.0f), 10);
    if (tenth > r.lastTenth && job->state() == JobConverting) {
        r.lastTenth = tenth;
        std::fprintf(stdout, "%s: %d%%\n", qPrintable(r.name), tenth * 10);
        std::fflush(stdout);
    }
}

void ConvertSession::redrawTerminal()
{
    for (const Record& r : m_records) {
        if (!r.job || r.job->state() != JobConverting)
            continue;
        std::fprintf(stdout, "\r\033[K%s [%s] %s", qPrintable(r.name),
                     qPrintable(progressBar(r.job->progress())),
                     qPrintable(r.job->stateInfoString()));
        std::fflush(stdout);
        m_lineOpen = true;
    }
}

void ConvertSession::checkDone()
{
    if (m_intake->isProbing() || m_intake->waitingCount() > 0)
        return;
    for (const Record& r : m_records)
        if (r.result < 0 && r.job)
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
    m_loop.quit();
}
