#pragma once

#include "inspection/MKVFileInfo.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

// A movie taken in, with the subtitle files given with it.
struct IntakeMovie
{
    QString path;
    QStringList subtitles;
};

// A movie the intake was asked to probe, with the probe's answer.
struct IntakeResult
{
    IntakeMovie movie;
    MKVFileInfoPtr info;
};

// The way into the queue for both front ends: handed-over files are sorted
// into movies, which wait in line, and subtitle files, which are remembered
// for the movie they are named for; movies are probed on the thread pool,
// where the subtitle files beside them are looked for too
// (AddSubtitleFilesBesideMovie), and the result comes back on the main
// thread with the subtitle files attached.
class Intake final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Intake)

public:
    // Movies probed in one run of the tools when many wait: each start of
    // the tools costs a good part of a second.
    static constexpr qsizetype kMoviesPerProbe = 16;

    explicit Intake(QObject* parent = nullptr);

    static QStringList movieFileTypes();
    static QStringList openPanelFileTypes();
    // True when a movie file (not a folder named like one) is among them.
    static bool acceptsAny(const QStringList& paths);

    // Remembers the subtitles and lines the movies up; the movies of one
    // call are taken in the order given, ahead of those of earlier calls.
    // Answers the movies found.
    QStringList openFiles(const QStringList& paths);
    // The movie taken next, and removing it from the line.
    std::optional<IntakeMovie> nextMovie() const;
    void dropNextMovie();
    void clear();
    int waitingCount() const { return int(m_importFiles.size()); }
    // Waiting movies, the next one last.
    QStringList importFiles() const { return m_importFiles; }
    // Subtitle files given and not yet taken by a movie.
    QStringList importSubtitleFiles() const { return m_importSubtitleFiles; }

    // Probes the movies, all at once, in the background; probed() answers
    // each with its request, in the same order. A path that is not a regular file is not probed:
    // its answer only carries the reason.
    void probe(const QList<IntakeMovie>& movies,
               MKVFileInfo::Warnings warnings = MKVFileInfo::Warnings::Shown);
    bool isProbing() const { return m_probing > 0; }

signals:
    void waitingCountChanged();
    void probed(const QList<IntakeResult>& results);

private:
    // Queues the answers for the intake on the main thread, through an
    // object living there; they are dropped when the intake is gone.
    static void handBackVia(QObject* mainThreadObject, const QPointer<Intake>& self,
                            const QList<IntakeResult>& results);
    void handBack(const QList<IntakeResult>& results);

    QStringList m_importFiles;
    QStringList m_importSubtitleFiles;
    int m_probing = 0;
};
