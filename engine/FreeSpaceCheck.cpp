#include "engine/FreeSpaceCheck.h"

#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr double kGiB = 1073741824.0;

QString bootDiskText()
{
    return QCoreApplication::translate(
        "FreeSpaceCheck", "There is not enough free space on your boot disk for conversion.");
}

} // namespace

std::optional<QString> freeSpaceRefusal(const FreeSpaceFigures& f)
{
    const quint64 seconds = f.runtimeSeconds > 0 ? quint64(f.runtimeSeconds) : 0;
    // Nothing big is written in the cache folder: the sound goes from tool
    // to tool through FIFOs. The MP4 holds at most what the source holds,
    // plus the AAC tracks the tools write anew beside it (in the AAC method,
    // the chosen track's too).
    const int newTracks = std::max(0, f.encodedTracks) + (f.aacViaWav ? 1 : 0);
    const quint64 output = f.sourceSize + quint64(newTracks) * seconds * (f.aacBitsPerSecond / 8);
    // Equal free sizes are taken to mean one volume holding both folders.
    if (f.bootFree == f.targetFree) {
        asl_NSLog_debug("checking boot disk for free space of %fGB (%fGB free)",
                        double(output) / kGiB, double(f.bootFree) / kGiB);
        if (f.bootFree < output)
            return bootDiskText();
    } else {
        asl_NSLog_debug("checking target disk for free space of %fGB (%fGB free)",
                        double(output) / kGiB, double(f.targetFree) / kGiB);
        if (f.targetFree < output)
            return QCoreApplication::translate(
                "FreeSpaceCheck",
                "There is not enough free space on your target disk for conversion.");
    }
    if (f.volumeMaximum && *f.volumeMaximum < f.sourceSize)
        return QCoreApplication::translate("FreeSpaceCheck",
                                           "Your target disk doesn't support large files.");
    return std::nullopt;
}

quint64 freeSpaceOf(const QString& folder)
{
    struct statvfs info
    {
    };
    if (folder.isEmpty() || statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return 0;
    return quint64(info.f_bavail) * quint64(info.f_frsize);
}

std::optional<quint64> volumeMaximumFileSize(const QString& folder)
{
    if (folder.isEmpty())
        return std::nullopt;
    const long bits = pathconf(QFile::encodeName(folder).constData(), _PC_FILESIZEBITS);
    if (bits <= 0 || bits >= 64)
        return std::nullopt;
    return (quint64(1) << bits) - 1;
}

bool checkFreeSpace(bool aacViaWav, std::optional<qint64> runtimeSeconds,
                    std::optional<quint64> sourceSize, const QString& destinationPath,
                    QString* refusalText, int encodedTracks, quint64 aacBitsPerSecond)
{
    const QString target = stringByDeletingLastPathComponent(destinationPath);
    FreeSpaceFigures f;
    f.aacViaWav = aacViaWav;
    f.runtimeSeconds = runtimeSeconds.value_or(0);
    f.sourceSize = sourceSize.value_or(0);
    f.bootFree = freeSpaceOf(appInfo().cacheDir());
    f.targetFree = freeSpaceOf(target);
    f.volumeMaximum = volumeMaximumFileSize(target);
    f.encodedTracks = encodedTracks;
    f.aacBitsPerSecond = aacBitsPerSecond;
    const std::optional<QString> refusal = freeSpaceRefusal(f);
    if (!refusal)
        return true;
    if (refusalText)
        *refusalText = *refusal;
    return false;
}
