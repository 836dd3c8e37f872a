// Fuzzes the reading of a Matroska file's movie tags (EBML header, segment,
// index entries, Tags element) from a file of fuzzed bytes.

#include "fuzz/FuzzInput.h"
#include "inspection/MatroskaTags.h"

#include <QFile>
#include <QTemporaryDir>

namespace fuzz_matroska_tags {

int fuzzOne(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        return 0;
    FuzzInput input(data, size);
    const QString path = dir.filePath(QStringLiteral("movie.mkv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(input.payload());
    file.close();
    const auto levels = matroskaMovieTags(path);
    for (auto level = levels.cbegin(); level != levels.cend(); ++level)
        for (auto tag = level->cbegin(); tag != level->cend(); ++tag)
            fuzzCheck(!tag.key().isEmpty() && !tag.value().isEmpty() &&
                          tag.key() == tag.key().toUpper(),
                      "tags have upper-case names and values");
    return 0;
}

} // namespace fuzz_matroska_tags

#ifdef VANTREO_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_matroska_tags::fuzzOne(data, size);
}
#endif
