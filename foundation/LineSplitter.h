#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Bytes in, complete lines out. A line ends at LF, at CR (ffmpeg rewrites its
// statistics line with bare CRs) or at CR LF; a partial last line waits for the
// next chunk. Each whole line is decoded as UTF-8 (the tools write their
// messages and file names so), invalid bytes replaced, so no input is lost to
// a chunk boundary inside a character and none is ever refused.
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
