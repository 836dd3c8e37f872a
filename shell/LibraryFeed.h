#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

// A movie of a library, claimed for this run and ready to be probed.
struct LibraryMovie
{
    QString path;
    QString outputFolder;
    QString claimPath;
};

// A movie of a library that is not converted by this run, and why.
struct LibraryPass
{
    QString path;
    QString output;      // the finished MP4, when it was converted before
    QString explanation; // "already converted to Film.mp4", ...
    bool failed = false; // a problem to report, not a skip
};

// The movies a library run has still to look at, in the order found, and
// the claims it holds. Each movie is looked at only when the run has room
// for it, so several runs over one library share its movies out between
// them instead of one claiming them all at its start.
class LibraryFeed final
{
    Q_DECLARE_TR_FUNCTIONS(LibraryFeed)

public:
    // `destination`: empty for outputs beside their movies. `force`: convert
    // movies converted before too.
    LibraryFeed(const QString& destination, bool force);
    ~LibraryFeed();
    LibraryFeed(const LibraryFeed&) = delete;
    LibraryFeed& operator=(const LibraryFeed&) = delete;

    // Adds a movie found in the tree under `root`; one already waiting is
    // not added again.
    void add(const QString& movie, const QString& root);
    qsizetype waitingCount() const { return m_waiting.size(); }
    // The next movie to convert, claimed; the movies passed over on the way
    // are appended to `passed`. Nothing when none is left.
    std::optional<LibraryMovie> next(QList<LibraryPass>& passed);
    // The movie's conversion ended: its claim goes.
    void finished(const LibraryMovie& movie);
    // Keeps every claim held fresh for the other hosts.
    void renewClaims();
    // Gives up every claim held (the run is ending).
    void releaseClaims();

    // How long a claim of another host may go unrenewed before it is
    // reported as abandoned; claims are renewed well within it.
    static constexpr qint64 kStaleSeconds = 3600;
    static constexpr int kRenewMilliseconds = 60 * 1000;

private:
    struct Waiting
    {
        QString path;
        QString root;
    };
    std::optional<LibraryMovie> take(const Waiting& movie, QList<LibraryPass>& passed);

    QString m_destination;
    bool m_force = false;
    QList<Waiting> m_waiting;
    qsizetype m_nextWaiting = 0;
    QSet<QString> m_waitingPaths;
    QSet<QString> m_claims;
};
