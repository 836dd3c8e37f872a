#include "inspection/PlaybackWarnings.h"

#include "foundation/MakeString.h"

#include <QCoreApplication>

namespace {

// The texts keep the translation context of the listing's reader.
struct ProbeListing
{
    Q_DECLARE_TR_FUNCTIONS(ProbeListing)
};

} // namespace

QString warningMessage(const QString& key, const QString& fileName)
{
    if (key == QLatin1String(kWrongVideoWarning))
        return makeString(
            ProbeListing::tr("The file '%@' doesn't contain a H264/MPEG4 video track so the result "
                             "may not be playable."),
            fileName);
    if (key == QLatin1String(k10BitVideoWarning))
        return makeString(
            ProbeListing::tr(
                "The file '%@' contains a 10-bit video track so the result will only be "
                "playable with VLC/Mplayer, but not with most other devices or players "
                "(including the 'Playstation 3')."),
            fileName);
    if (key == QLatin1String(kTooHighResWarning))
        return makeString(
            ProbeListing::tr(
                "The file '%@' will probably not play back fine on the 'Playstation 3' or other "
                "devices as it has a too large resolution. You can try converting the produced MP4 "
                "file using 'QuickTime Player' to a 1080p M4V file to view this video on the PS3."),
            fileName);
    if (key == QLatin1String(kTooManyRefFramesWarning))
        return makeString(
            ProbeListing::tr(
                "The file '%@' will probably not play back fine on the 'Playstation 3' or other "
                "devices as it contains more 'reference frames' than the PS3 supports. You can try "
                "converting the produced MP4 file using 'QuickTime Player' to a 720p M4V file to "
                "view this video on the PS3."),
            fileName);
    return QString();
}
