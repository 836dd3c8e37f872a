#include "shell/MovieClaim.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kAttempts = 3;

QByteArray readClaimFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// Creates the claim file only if no claim exists; the text is on the disk
// before the call answers.
bool createExclusively(const QString& path, const QByteArray& text, int& error)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::fsync(fd);
    ::close(fd);
    if (!written) {
        ::unlink(QFile::encodeName(path).constData());
        error = EIO;
        return false;
    }
    return true;
}

// Moves a dead claim out of the way, only if it is still the one judged dead:
// a run that took it over meanwhile keeps its new claim.
void takeOver(const QString& path, const QByteArray& deadText)
{
    const QByteArray from = QFile::encodeName(path);
    const QByteArray aside = QFile::encodeName(path + QStringLiteral(".%1.stale").arg(::getpid()));
    if (::rename(from.constData(), aside.constData()) != 0)
        return;
    // Not the dead one: back it goes, unless yet another claim took the
    // place meanwhile (that one then stands).
    if (readClaimFile(QFile::decodeName(aside)) != deadText &&
        ::link(aside.constData(), from.constData()) != 0)
        qWarning("claim %s was replaced while it was taken over", from.constData());
    ::unlink(aside.constData());
}

qint64 secondsSinceModified(const QString& path)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    return modified.isValid() ? qMax<qint64>(0, modified.secsTo(QDateTime::currentDateTime())) : 0;
}

} // namespace

ClaimHolder currentClaimHolder()
{
    return ClaimHolder{QSysInfo::machineHostName(), currentJournalOwner()};
}

QByteArray claimText(const ClaimHolder& holder)
{
    return QStringLiteral("host=%1\npid=%2\nstart=%3\nboot=%4\n")
        .arg(holder.host)
        .arg(holder.owner.pid)
        .arg(holder.owner.startTime)
        .arg(holder.owner.bootId)
        .toUtf8();
}

std::optional<ClaimHolder> parseClaim(const QByteArray& text)
{
    ClaimHolder holder;
    bool pidOk = false;
    bool startOk = false;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1)).trimmed();
        if (key == "host")
            holder.host = value;
        else if (key == "pid")
            holder.owner.pid = value.toLongLong(&pidOk);
        else if (key == "start")
            holder.owner.startTime = value.toULongLong(&startOk);
        else if (key == "boot")
            holder.owner.bootId = value;
    }
    if (holder.host.isEmpty() || !pidOk || !startOk || holder.owner.pid <= 0)
        return std::nullopt;
    return holder;
}

QString claimHolderText(const ClaimHolder& holder)
{
    return QStringLiteral("%1 (pid %2)").arg(holder.host).arg(holder.owner.pid);
}

QString claimPathFor(const QString& outputFolder, const QString& movieFileName)
{
    return outputFolder + QStringLiteral("/.") + movieFileName + QStringLiteral(".vantreo-claim");
}

ClaimOutcome judgeClaim(const ClaimHolder& found, const ClaimHolder& self, bool holderAlive,
                        qint64 ageSeconds, qint64 staleSeconds)
{
    if (found.host == self.host)
        return found.owner.bootId == self.owner.bootId && holderAlive ? ClaimOutcome::HeldHere
                                                                      : ClaimOutcome::Claimed;
    return ageSeconds > staleSeconds ? ClaimOutcome::AbandonedThere : ClaimOutcome::HeldElsewhere;
}

ClaimAttempt claimMovie(const QString& claimPath, qint64 staleSeconds)
{
    const ClaimHolder self = currentClaimHolder();
    const QByteArray text = claimText(self);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int error = 0;
        if (createExclusively(claimPath, text, error))
            return ClaimAttempt{ClaimOutcome::Claimed, self, 0};
        if (error != EEXIST)
            return ClaimAttempt{};
        const QByteArray found = readClaimFile(claimPath);
        const qint64 age = secondsSinceModified(claimPath);
        const std::optional<ClaimHolder> holder = parseClaim(found);
        if (!holder) {
            // Being written this instant, or broken: a broken one is taken
            // over once it is clearly not being written.
            if (age < 60)
                return ClaimAttempt{ClaimOutcome::HeldHere, {}, age};
            takeOver(claimPath, found);
            continue;
        }
        const bool alive = holder->host == self.host && holder->owner.bootId == self.owner.bootId &&
                           livingOwner(holder->owner.pid) == holder->owner;
        const ClaimOutcome outcome = judgeClaim(*holder, self, alive, age, staleSeconds);
        if (outcome != ClaimOutcome::Claimed)
            return ClaimAttempt{outcome, *holder, age};
        takeOver(claimPath, found);
    }
    return ClaimAttempt{ClaimOutcome::HeldHere, {}, 0};
}

void releaseClaim(const QString& claimPath)
{
    const auto holder = parseClaim(readClaimFile(claimPath));
    if (holder && *holder == currentClaimHolder())
        QFile::remove(claimPath);
}

void renewClaim(const QString& claimPath)
{
    ::utimensat(AT_FDCWD, QFile::encodeName(claimPath).constData(), nullptr, 0);
}
