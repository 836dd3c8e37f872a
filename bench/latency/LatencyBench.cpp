// Measures how long the desktop's main thread is kept from its event loop
// while a job converts and another movie is probed: a timer asks every
// 10 ms and the worst lateness is recorded, over the whole run and while the
// probe runs.
//
//   vantreo-latency-bench CONVERT_MOVIE PROBE_MOVIE OUTPUT_FOLDER [STYLE]
//
// STYLE is the ConversionPreset (0 compatible, 1 fast; default 1). Prints
// one line of figures in milliseconds.

#include "engine/ConversionJob.h"
#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/TerminalAlertPresenter.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AppDelegate.h"
#include "shell/RegisteredDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: vantreo-latency-bench CONVERT_MOVIE PROBE_MOVIE "
                             "OUTPUT_FOLDER [STYLE]\n");
        return 2;
    }
    setAlertPresenter(std::make_unique<TerminalAlertPresenter>());
    registerDefaultSettings();
    HalvornLib lib;
    setDefaultInt(kConversionPresetKey, args.value(3, QStringLiteral("1")).toInt());

    AppDelegate delegate;
    delegate.setCancelAddHandler([] {});
    const QString source = QFileInfo(args.at(0)).absoluteFilePath();
    const MKVFileInfoPtr info = MKVFileInfo::initWithURL(QUrl::fromLocalFile(source));
    info->setDestinationURL(QUrl::fromLocalFile(QFileInfo(args.at(2)).absoluteFilePath() + "/" +
                                                QFileInfo(source).completeBaseName() + ".mp4"));
    auto* job = new ConversionJob;
    job->setFileInfo(info);
    job->presetSpeedInfo();

    constexpr qint64 kTickMs = 10;
    qint64 worst = 0, worstWhileProbing = 0, ticks = 0;
    bool probing = false;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 late = sinceTick.restart() - kTickMs;
        worst = qMax(worst, late);
        if (probing)
            worstWhileProbing = qMax(worstWhileProbing, late);
        ++ticks;
    });
    QObject::connect(&delegate, &AppDelegate::fileInfoChanged, [&] { probing = false; });
    QObject::connect(job, &ConversionJob::stateChanged, &app, [&](int state) {
        if (state == JobFinished || state == JobFailed)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });

    QTimer::singleShot(0, [&] {
        sinceTick.start();
        tick.start(kTickMs);
        delegate.addJob(job);
        // The second movie is probed while the first converts.
        QTimer::singleShot(200, [&] {
            probing = true;
            delegate.openFiles({QFileInfo(args.at(1)).absoluteFilePath()});
        });
    });
    app.exec();
    const bool finished = job->state() == JobFinished;
    std::printf("worst stall %lld ms, while probing %lld ms, %lld ticks, job %s\n", worst,
                worstWhileProbing, ticks, finished ? "finished" : "failed");
    return finished ? 0 : 1;
}
