#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Bytes in, complete lines out. A line ends at LF, at CR (ffmpeg rewrites its
// statistics line with bare CRs) or at CR LF; a partial last line waits for the
// next chunk. Bytes are read as Latin-1, so no input is ever invalid.
class LineSplitter final
{
public:
    QStringList feed(const QByteArray& chunk);
    // The partial line, once the stream has ended; the splitter starts afresh.
    QString takeRemainder();

private:
    QByteArray m_partial;
    bool m_afterCR = false;
};
