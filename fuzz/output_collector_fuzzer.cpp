// Fuzzes the line splitter and the output collector with the tool output cut
// into chunks of random size, as a pipe delivers it. Where the cuts fall must
// not change the lines or the collected text.

#include "foundation/LineSplitter.h"
#include "foundation/OutputCollector.h"
#include "fuzz/FuzzInput.h"

namespace fuzz_output_collector {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QByteArray& bytes = input.payload();

    LineSplitter whole;
    QStringList expected = whole.feed(bytes);
    const QString expectedRest = whole.takeRemainder();

    const QList<QByteArray> chunks = input.chunks(input.seed() & 1 ? 3 : 64);
    LineSplitter splitter;
    OutputCollector collector;
    QStringList lines;
    for (const QByteArray& chunk : chunks) {
        lines += splitter.feed(chunk);
        collector.feed(chunk);
    }
    const QString rest = splitter.takeRemainder();
    collector.finish();

    fuzzCheck(lines == expected, "lines do not depend on the chunking");
    fuzzCheck(rest == expectedRest, "remainder does not depend on the chunking");

    // Nothing is lost or invented: each line is its bytes, without line ends,
    // decoded as UTF-8.
    QStringList decoded;
    for (const QByteArray& part : bytes.split('\n'))
        for (const QByteArray& piece : part.split('\r'))
            decoded.append(QString::fromUtf8(piece));
    decoded.removeAll(QString());
    QStringList nonEmpty = lines + QStringList{rest};
    nonEmpty.removeAll(QString());
    fuzzCheck(nonEmpty == decoded, "lines keep every byte");
    for (const QString& line : lines)
        fuzzCheck(!line.contains(u'\n') && !line.contains(u'\r'), "no line end inside a line");

    QString kept;
    for (const QString& line : lines + QStringList{rest})
        if (!line.isEmpty() && !isStatisticsLine(line))
            kept += line + u'\n';
    fuzzCheck(collector.text() == kept, "collector keeps exactly the non-statistics lines");

    collector.clear();
    fuzzCheck(collector.text().isEmpty(), "clear empties the text");
    collector.finish();
    fuzzCheck(collector.text().isEmpty(), "clear drops the partial line");
    return 0;
}

} // namespace fuzz_output_collector

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_output_collector::fuzzOne(data, size);
}
#endif
