#include "engine/ProgressFileReader.h"

#include <QFile>

QString ProgressFileReader::readNew(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_offset = 0;
        return {};
    }
    // A file shorter than what was read is a new file: start from its beginning.
    if (quint64(file.size()) < m_offset)
        m_offset = 0;
    if (!file.seek(qint64(m_offset)))
        return {};
    const QByteArray data = file.readAll();
    qsizetype end = data.size();
    while (end > 0 && data[end - 1] != '\n' && data[end - 1] != '\r')
        --end;
    m_offset += quint64(end);
    return QString::fromUtf8(data.constData(), end);
}
