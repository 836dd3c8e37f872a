#include "engine/FinishedMarker.h"

#include "engine/BoxFileReading.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

std::optional<SourceStamp> sourceStampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return SourceStamp{info.fileName(), info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QString finishedMarkerText(const SourceStamp& source, const QString& version)
{
    return QStringLiteral("Vantreo %1; source %2 bytes, modified %3; %4")
        .arg(version)
        .arg(source.size)
        .arg(QDateTime::fromMSecsSinceEpoch(source.modifiedMs, Qt::UTC).toString(Qt::ISODateWithMs))
        .arg(source.name);
}

std::optional<SourceStamp> parseFinishedMarker(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Vantreo \\S+; source (\\d+) bytes, modified (\\S+); (.+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 size = match.captured(1).toLongLong(&ok);
    const QDateTime modified = QDateTime::fromString(match.captured(2), Qt::ISODateWithMs);
    if (!ok || !modified.isValid())
        return std::nullopt;
    return SourceStamp{match.captured(3), size, modified.toMSecsSinceEpoch()};
}

std::optional<SourceStamp> finishedMarkerOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const mp4::ReadAt read = readAtFile(file);
    const auto text = mp4::readWritingApplication(read, std::uint64_t(file.size()));
    if (!text)
        return std::nullopt;
    return parseFinishedMarker(QString::fromStdString(*text));
}
