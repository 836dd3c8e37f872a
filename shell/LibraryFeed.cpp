#include "shell/LibraryFeed.h"

#include "shell/LibraryWalk.h"
#include "shell/MovieClaim.h"

#include <QDir>
#include <QFileInfo>

LibraryFeed::LibraryFeed(const QString& destination, bool force)
    : m_destination(destination), m_force(force)
{
}

LibraryFeed::~LibraryFeed()
{
    releaseClaims();
}

void LibraryFeed::add(const QString& movie, const QString& root)
{
    if (m_waitingPaths.contains(movie))
        return;
    m_waitingPaths.insert(movie);
    m_waiting.append(Waiting{movie, root});
}

std::optional<LibraryMovie> LibraryFeed::next(QList<LibraryPass>& passed)
{
    while (m_nextWaiting < m_waiting.size()) {
        const Waiting movie = m_waiting.at(m_nextWaiting++);
        m_waitingPaths.remove(movie.path);
        // The list is emptied as it is used up, not for every movie.
        if (m_nextWaiting >= 256 || m_nextWaiting == m_waiting.size()) {
            m_waiting.remove(0, m_nextWaiting);
            m_nextWaiting = 0;
        }
        if (auto taken = take(movie, passed))
            return taken;
    }
    return std::nullopt;
}

std::optional<LibraryMovie> LibraryFeed::take(const Waiting& movie, QList<LibraryPass>& passed)
{
    const QString outputFolder = libraryOutputFolder(movie.path, movie.root, m_destination);
    auto converted = [&]() -> bool {
        if (m_force)
            return false;
        const std::optional<QString> output = convertedOutput(movie.path, outputFolder);
        if (output)
            passed.append(LibraryPass{
                movie.path, *output,
                tr("already converted to %1").arg(QFileInfo(*output).fileName()), false});
        return output.has_value();
    };
    if (!QFileInfo::exists(movie.path) || converted())
        return std::nullopt;
    // A folder that cannot be written to shows when the claim cannot be made.
    if (!QDir().mkpath(outputFolder)) {
        passed.append(
            LibraryPass{movie.path, {}, tr("the destination folder cannot be written to"), true});
        return std::nullopt;
    }
    const QString claimPath = claimPathFor(outputFolder, QFileInfo(movie.path).fileName());
    const ClaimAttempt claim = claimMovie(claimPath, kStaleSeconds);
    switch (claim.outcome) {
    case ClaimOutcome::Claimed:
        break;
    case ClaimOutcome::HeldHere:
        passed.append(LibraryPass{
            movie.path,
            {},
            claim.holder.owner.pid > 0
                ? tr("being converted by another run (pid %1)").arg(claim.holder.owner.pid)
                : tr("being converted by another run"),
            false});
        return std::nullopt;
    case ClaimOutcome::HeldElsewhere:
        passed.append(LibraryPass{
            movie.path, {}, tr("being converted on %1").arg(claimHolderText(claim.holder)), false});
        return std::nullopt;
    case ClaimOutcome::AbandonedThere:
        passed.append(
            LibraryPass{movie.path,
                        {},
                        tr("claimed on %1, not renewed for %2 minutes; remove %3 if that run "
                           "has ended")
                            .arg(claimHolderText(claim.holder))
                            .arg(claim.ageSeconds / 60)
                            .arg(claimPath),
                        true});
        return std::nullopt;
    case ClaimOutcome::NotPossible:
        passed.append(
            LibraryPass{movie.path, {}, tr("the destination folder cannot be written to"), true});
        return std::nullopt;
    }
    // Another run may have finished it between the look and the claim.
    if (converted()) {
        releaseClaim(claimPath);
        return std::nullopt;
    }
    m_claims.insert(claimPath);
    return LibraryMovie{movie.path, outputFolder, claimPath};
}

void LibraryFeed::finished(const LibraryMovie& movie)
{
    if (m_claims.remove(movie.claimPath))
        releaseClaim(movie.claimPath);
}

void LibraryFeed::renewClaims()
{
    for (const QString& claim : std::as_const(m_claims))
        renewClaim(claim);
}

void LibraryFeed::releaseClaims()
{
    for (const QString& claim : std::as_const(m_claims))
        releaseClaim(claim);
    m_claims.clear();
}
