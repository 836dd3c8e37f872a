#include "SessionLines.h"

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
