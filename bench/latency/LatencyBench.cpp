// Measures how long the desktop's main thread is kept from its event loop: a
// timer asks every 10 ms and the worst lateness is recorded.
//
//   vantreo-latency-bench CONVERT_MOVIE PROBE_MOVIE OUTPUT_FOLDER [STYLE]
//       a job converts and, meanwhile, another movie is probed;
//   vantreo-latency-bench --movies N OUTPUT_FOLDER [STYLE]
//       N small movies, made at run time, are dropped at once and queued by
//       AutoAdd into a saved folder (the queue converting meanwhile); the
//       run ends when all are queued.
//
// STYLE is the ConversionPreset (0 compatible, 1 fast; default 1). Prints
// one line of figures in milliseconds (and the peak resident memory).

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/TerminalAlertPresenter.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AddPanelState.h"
#include "shell/AppDelegate.h"
#include "shell/Destinations.h"
#include "shell/FolderBookmarks.h"
#include "shell/RegisteredDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {

constexpr qint64 kTickMs = 10;

// The worst lateness of a 10 ms timer on the main thread.
struct StallMeter
{
    qint64 worst = 0, worstWhileWatched = 0, ticks = 0;
    bool watched = false;
    QElapsedTimer sinceTick;
    QTimer tick;

    void start()
    {
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const qint64 late = sinceTick.restart() - kTickMs;
            worst = qMax(worst, late);
            if (watched)
                worstWhileWatched = qMax(worstWhileWatched, late);
            ++ticks;
        });
        sinceTick.start();
        tick.start(kTickMs);
    }
};

// Peak resident memory of this process in MB (VmHWM).
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

int convertWhileProbing(QCoreApplication& app, const QStringList& args)
{
    AppDelegate delegate;
    delegate.setCancelAddHandler([] {});
    const QString source = QFileInfo(args.at(0)).absoluteFilePath();
    const MKVFileInfoPtr info = MKVFileInfo::initWithURL(QUrl::fromLocalFile(source));
    info->setDestinationURL(QUrl::fromLocalFile(QFileInfo(args.at(2)).absoluteFilePath() + "/" +
                                                QFileInfo(source).completeBaseName() + ".mp4"));
    auto* job = new ConversionJob;
    job->setFileInfo(info);
    job->presetSpeedInfo();

    StallMeter meter;
    QObject::connect(&delegate, &AppDelegate::fileInfoChanged, [&] { meter.watched = false; });
    QObject::connect(job, &ConversionJob::stateChanged, &app, [&](JobState state) {
        if (state == JobFinished || state == JobFailed)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    QTimer::singleShot(0, [&] {
        meter.start();
        delegate.addJob(job);
        // The second movie is probed while the first converts.
        QTimer::singleShot(200, [&] {
            meter.watched = true;
            delegate.openFiles({QFileInfo(args.at(1)).absoluteFilePath()});
        });
    });
    app.exec();
    const bool finished = job->state() == JobFinished;
    std::printf("worst stall %lld ms, while probing %lld ms, %lld ticks, job %s\n", meter.worst,
                meter.worstWhileWatched, meter.ticks, finished ? "finished" : "failed");
    return finished ? 0 : 1;
}

// One small movie made with ffmpeg, copied to `count` files.
QStringList makeMovies(const QString& folder, int count)
{
    QDir().mkpath(folder);
    const QString first = folder + "/Movie 0.mkv";
    const int status = QProcess::execute(QStringLiteral("ffmpeg"),
                                         {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi",
                                          "-i", "testsrc=size=160x120:rate=25:duration=2", "-f",
                                          "lavfi", "-i", "sine=frequency=440:duration=2", "-c:v",
                                          "libx264", "-preset", "ultrafast", "-c:a", "ac3", first});
    if (status != 0)
        return {};
    QStringList movies{first};
    for (int i = 1; i < count; ++i) {
        const QString copy = folder + QStringLiteral("/Movie %1.mkv").arg(i);
        if (!QFile::copy(first, copy))
            return {};
        movies.append(copy);
    }
    return movies;
}

int dropMovies(QCoreApplication& app, int count, const QString& outputFolder)
{
    const QString root = QFileInfo(outputFolder).absoluteFilePath();
    const QStringList movies = makeMovies(root + "/dropped", count);
    if (movies.isEmpty()) {
        std::fprintf(stderr, "could not make the movies\n");
        return 2;
    }
    const QString out = root + "/queued";
    QDir().mkpath(out);
    setDefaultArray(kDestinationBookmarksKey,
                    {bookmarkForFolder(out).value_or(QFile::encodeName(out))});
    setDefaultArray(kDestinationNamesKey, {QStringLiteral("queued")});
    setDefaultInt(kDefaultDestinationKey, 2);
    setDefaultInt(kAutoAddKey, 1);

    AppDelegate delegate;
    delegate.destinations().upkeepAtLaunch();
    StallMeter meter;
    QElapsedTimer clock;
    qint64 queuedAfter = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (delegate.taskArray().size() >= count && !delegate.addPanelState().addPanelShown()) {
            queuedAfter = clock.elapsed();
            app.quit();
        }
    });
    QTimer::singleShot(0, [&] {
        meter.start();
        meter.watched = true;
        clock.start();
        watch.start(50);
        delegate.openFiles(movies);
    });
    // Bounded: a queue that never fills ends the run as a failure.
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    app.exec();
    delegate.applicationWillTerminate();
    std::printf("%d movies dropped: worst stall %lld ms, all queued after %.1f s, "
                "peak memory %.1f MB, %lld ticks\n",
                count, meter.worst, queuedAfter / 1000.0, peakMegabytes(), meter.ticks);
    return queuedAfter >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool dropping = args.value(0) == QLatin1String("--movies");
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: vantreo-latency-bench CONVERT_MOVIE PROBE_MOVIE "
                             "OUTPUT_FOLDER [STYLE]\n"
                             "       vantreo-latency-bench --movies N OUTPUT_FOLDER [STYLE]\n");
        return 2;
    }
    setAlertPresenter(std::make_unique<TerminalAlertPresenter>());
    registerDefaultSettings();
    HalvornLib lib;
    setDefaultInt(kConversionPresetKey, args.value(3, QStringLiteral("1")).toInt());
    if (dropping)
        return dropMovies(app, qMax(1, args.at(1).toInt()), args.at(2));
    return convertWhileProbing(app, args);
}
