#include "SessionLines.h"

#include "foundation/RememberedWarnings.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AddPanelTexts.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

QString progressBar(float progress)
{
    constexpr int kWidth = 20;
    const int filled = qBound(0, int(progress / 100.0f * kWidth), kWidth);
    return QString(filled, u'#') + QString(kWidth - filled, u'-');
}

QByteArray reportLine(const QString& path, const QString& output, const char* state,
                      const QString& explanation)
{
    QJsonObject o;
    o[QStringLiteral("path")] = path;
    o[QStringLiteral("output")] = output;
    o[QStringLiteral("state")] = QString::fromLatin1(state);
    o[QStringLiteral("explanation")] = explanation;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QStringList movieNoteLines(const MKVFileInfo& info)
{
    QStringList lines;
    for (const QString& key : info.raisedWarnings())
        if (defaultInt(dontWarnAgainVersionKey(key)) == 0)
            lines.append(QCoreApplication::translate("ConvertSession", "Warning: %1")
                             .arg(warningMessage(key, info.fileName())));
    QStringList notes{info.playbackNote()};
    if (defaultInt(kWriteTagsKey) != 0)
        notes.append(info.coverNote());
    notes.append(skippedSubtitlesNote(info.skippedSubtitleFiles()));
    for (const QString& note : notes)
        if (!note.isEmpty())
            lines.append(QCoreApplication::translate("ConvertSession", "Note: %1: %2")
                             .arg(info.fileName(), note));
    return lines;
}
