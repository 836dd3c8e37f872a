#include "foundation/LineSplitter.h"

QStringList LineSplitter::feed(const QByteArray& chunk)
{
    QStringList out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const char c = chunk[i];
        if (c != '\n' && c != '\r')
            continue;
        if (c == '\n' && m_afterCR && i == start && m_partial.isEmpty()) {
            // The LF of a CR LF whose CR already ended the line.
            m_afterCR = false;
            start = i + 1;
            continue;
        }
        m_partial.append(chunk.constData() + start, i - start);
        out.append(QString::fromUtf8(m_partial));
        m_partial.clear();
        m_afterCR = c == '\r';
        start = i + 1;
    }
    if (start < chunk.size()) {
        m_partial.append(chunk.constData() + start, chunk.size() - start);
        m_afterCR = false;
    }
    return out;
}

QString LineSplitter::takeRemainder()
{
    const QString rest = QString::fromUtf8(m_partial);
    m_partial.clear();
    m_afterCR = false;
    return rest;
}
