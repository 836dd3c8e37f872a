#pragma once

#include "ConvertOptions.h"
#include "engine/JobState.h"
#include "inspection/MKVFileInfo.h"
#include "shell/Intake.h"
#include "shell/LibraryFeed.h"

#include <QEventLoop>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

class ConversionJob;
class FolderWatch;
class Intake;
class JobQueue;
class SignalWatcher;

// One run of `vantreo-cli convert` or `watch`: takes the files in, queues
// every movie through the same queue the desktop uses, shows progress, and
// reports each job. Movies are probed in groups on a background thread, in
// the order given, so the next group is probed while the movies before it
// convert and the event loop always answers Ctrl-C.
//
// With --recursive (and in watch) the arguments are libraries: their movies
// are fed to the queue only as it has room, each claimed first and passed
// over when it was finished before, and each is reported as it ends.
class ConvertSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConvertSession)

public:
    explicit ConvertSession(const ConvertOptions& options, QObject* parent = nullptr);
    ~ConvertSession() override;
    // Answers the exit status.
    int run();

private:
    struct Record
    {
        QString name;
        QString destination;
        QPointer<ConversionJob> job;
        std::optional<JobState> result; // the final state; absent while waiting or running
        QString explanation;
        int lastTenth = -1;
        QString warning; // a Finished movie's, such as one that ends early
        QString source;  // the movie's path
        std::optional<LibraryMovie> library;
    };

    QStringList takeFiles();
    void takeLibraries();
    void startWatching();
    void probeNext();
    void probeLibraryMovies();
    void probeFinished(const QList<IntakeResult>& results);
    void queueMovie(const MKVFileInfoPtr& info, const QString& given,
                    const std::optional<LibraryMovie>& library);
    void printWarnings(const MKVFileInfo& info);
    void watch(int index);
    void jobEnded(int index);
    void showProgress(int index);
    void redrawTerminal();
    void checkDone();
    void interrupt(int signalNumber);
    void reportSkipped(const QString& path, const QString& reason);
    void reportPassed(const LibraryPass& pass);
    void report(const QString& path, const QString& output, const char* state,
                const QString& explanation);
    qsizetype activeJobs() const;
    bool libraryMode() const { return m_feed != nullptr; }

    ConvertOptions m_options;
    JobQueue* m_queue = nullptr;
    Intake* m_intake = nullptr;
    SignalWatcher* m_signals = nullptr;
    FolderWatch* m_folderWatch = nullptr;
    std::unique_ptr<LibraryFeed> m_feed;
    QTimer m_renewClaims;
    QList<Record> m_records;
    // Problems are reported under the name the user gave, by absolute path.
    QHash<QString, QString> m_givenNames;
    // In a library run, the claimed movies being probed, by path.
    QHash<QString, LibraryMovie> m_probingLibrary;
    QEventLoop m_loop;
    // Where the lines for people go: standard output, or standard error when
    // standard output carries the JSON report.
    FILE* m_human = stdout;
    int m_skipped = 0; // not converted for a problem (counted as failed)
    int m_passed = 0;  // passed over: finished before, or another run's
    int m_converted = 0;
    int m_failed = 0;
    bool m_interrupted = false;
    bool m_terminal = false;
    bool m_lineOpen = false;
};
