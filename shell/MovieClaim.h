#pragma once

#include "engine/FileJournal.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Claims that keep several runs (in one process, several processes or on
// several machines sharing a library over NFS or SMB) from converting one
// movie twice. A claim is a small hidden file beside the output, created
// atomically (O_EXCL) and naming the run that holds it: its host, and its
// pid, start time and boot on that host.

struct ClaimHolder
{
    QString host;
    JournalOwner owner;

    bool operator==(const ClaimHolder&) const = default;
};

// The running process as a claim holder.
ClaimHolder currentClaimHolder();
QByteArray claimText(const ClaimHolder& holder);
std::optional<ClaimHolder> parseClaim(const QByteArray& text);
// "nas (pid 4242)".
QString claimHolderText(const ClaimHolder& holder);

// The claim file of a movie: ".Film.mkv.vantreo-claim" in its output folder.
QString claimPathFor(const QString& outputFolder, const QString& movieFileName);

enum class ClaimOutcome {
    Claimed,        // the claim is ours now
    HeldHere,       // a living run on this host holds it
    HeldElsewhere,  // a run on another host holds it and renews it
    AbandonedThere, // a claim of another host, not renewed for too long
    NotPossible,    // the folder cannot be written
};

struct ClaimAttempt
{
    ClaimOutcome outcome = ClaimOutcome::NotPossible;
    ClaimHolder holder;    // who holds it, unless Claimed or NotPossible
    qint64 ageSeconds = 0; // since the holder last renewed it
};

// How a claim found at the path is judged: a claim of this host whose
// process is gone (or ran in another boot) is dead and may be taken over
// (answered as Claimed); one of another host is never taken, only reported
// when it has not been renewed for `staleSeconds`.
ClaimOutcome judgeClaim(const ClaimHolder& found, const ClaimHolder& self, bool holderAlive,
                        qint64 ageSeconds, qint64 staleSeconds);

// Claims the movie for this process, taking over a dead claim of this host.
ClaimAttempt claimMovie(const QString& claimPath, qint64 staleSeconds);
// Removes the claim if it is this process's.
void releaseClaim(const QString& claimPath);
// Marks the claim as still held (its modification time), so other hosts see
// a living claim.
void renewClaim(const QString& claimPath);
