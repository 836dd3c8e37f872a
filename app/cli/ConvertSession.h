#pragma once

#include "ConvertOptions.h"
#include "inspection/MKVFileInfo.h"

#include <QEventLoop>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class ConversionJob;
class Intake;
class JobQueue;
class SignalWatcher;

// One run of `vantreo-cli convert`: takes the files in, queues every movie
// through the same queue the desktop uses, shows progress, and reports each
// job at the end. Movies are probed in groups on a background thread, in the
// order given, so the next group is probed while the movies before it
// convert and the event loop always answers Ctrl-C.
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
        int result = -1; // -1 running or waiting, else the final state
        QString explanation;
        int lastTenth = -1;
        QString warning; // a Finished movie's, such as one that ends early
    };

    void probeNext();
    void probeFinished(const QList<MKVFileInfoPtr>& infos);
    void queueMovie(const MKVFileInfoPtr& info, const QString& given);
    void printWarnings(const MKVFileInfo& info);
    void watch(int index);
    void showProgress(int index);
    void redrawTerminal();
    void checkDone();
    void interrupt(int signalNumber);
    void reportSkipped(const QString& path, const QString& reason);

    ConvertOptions m_options;
    JobQueue* m_queue = nullptr;
    Intake* m_intake = nullptr;
    SignalWatcher* m_signals = nullptr;
    QList<Record> m_records;
    // Problems are reported under the name the user gave, by absolute path.
    QHash<QString, QString> m_givenNames;
    // The names given for the movies being probed, in order.
    QStringList m_probingGiven;
    QEventLoop m_loop;
    int m_skipped = 0;
    bool m_interrupted = false;
    bool m_terminal = false;
    bool m_lineOpen = false;
};
