// Fuzzes the progress file reader the way ffmpeg feeds it: the bytes are
// appended to a file in chunks of random size, and the reader is asked for
// the new complete lines after every append. Whatever the cuts, the reader
// must hand out every complete line exactly once, never a partial one.

#include "engine/ProgressCalc.h"
#include "engine/ProgressFileReader.h"
#include "fuzz/FuzzInput.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

namespace fuzz_progress_file {

namespace {

// The length of the text up to and including its last line end.
qsizetype completeLength(const QByteArray& bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && bytes[end - 1] != '\n' && bytes[end - 1] != '\r')
        --end;
    return end;
}

void checkPosition(const QString& text)
{
    const std::optional<double> seconds = latestOutTimeSeconds(text);
    fuzzCheck(!seconds || std::isfinite(*seconds), "a position is a finite number");
    if (seconds) {
        for (const qint64 runtime : {qint64(7200), qint64(1)})
            if (const std::optional<float> p = progressFromOutTime(*seconds, runtime))
                fuzzCheck(*p >= 0 && *p <= 100, "the bar stays between 0 and 100");
    }
}

bool writeAll(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size();
}

} // namespace

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    FuzzInput input(data, size);
    const QString path = dir.filePath(QStringLiteral("progress.txt"));
    QFile::remove(path);

    ProgressFileReader reader;
    // Before ffmpeg has created the file there is nothing to read.
    fuzzCheck(reader.readNew(path).isEmpty() && reader.offset() == 0, "missing file");
    if (!writeAll(path, QByteArray(), QIODevice::WriteOnly))
        return 0;

    QByteArray written;
    QString read;
    for (const QByteArray& chunk : input.chunks(96)) {
        if (!writeAll(path, chunk, QIODevice::Append))
            return 0;
        written += chunk;
        const QString fresh = reader.readNew(path);
        checkPosition(fresh);
        read += fresh;
        fuzzCheck(reader.offset() == quint64(completeLength(written)),
                  "offset ends at the last line end");
    }
    const qsizetype complete = completeLength(written);
    fuzzCheck(read == QString::fromUtf8(written.left(complete)),
              "every complete line read once, in order");

    // ffmpeg starting over writes a new, shorter file: it is read from its start.
    if (input.seed() & 1 && complete > 0) {
        const QByteArray restart = written.left(qsizetype(input.next(quint32(complete))));
        if (!writeAll(path, restart, QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        const QString again = reader.readNew(path);
        fuzzCheck(again == QString::fromUtf8(restart.left(completeLength(restart))),
                  "a shorter file is read from its start");
        checkPosition(again);
    }
    return 0;
}

} // namespace fuzz_progress_file

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_progress_file::fuzzOne(data, size);
}
#endif
