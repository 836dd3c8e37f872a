#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>

// The entry functions of the fuzz targets (fuzz/*_fuzzer.cpp). Each seed and
// each input that once made a target fail is kept in its corpus folder and
// replayed here, so a fixed fault stays fixed.
namespace fuzz_ffmpeg_listing {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_mediainfo_refframes {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_progress_file {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_output_collector {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_mp4box {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_subtitle_intake {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_subpicture {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_stream_timings {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}
namespace fuzz_matroska_tags {
int fuzzOne(const std::uint8_t* data, std::size_t size);
}

namespace {

using FuzzEntry = int (*)(const std::uint8_t*, std::size_t);

void replayCorpus(const char* target, FuzzEntry entry)
{
    const QDir corpus(QStringLiteral(VANTREO_FUZZ_CORPUS_DIR "/") + QLatin1String(target));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << "no seed files in " << corpus.path().toStdString();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // A broken invariant aborts the process, which fails this test.
        EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        std::size_t(bytes.size())),
                  0);
    }
}

} // namespace

TEST(FuzzCorpus, FfmpegListing)
{
    replayCorpus("ffmpeg_listing_fuzzer", fuzz_ffmpeg_listing::fuzzOne);
}

TEST(FuzzCorpus, MediainfoRefFrames)
{
    replayCorpus("mediainfo_refframes_fuzzer", fuzz_mediainfo_refframes::fuzzOne);
}

TEST(FuzzCorpus, ProgressFile)
{
    replayCorpus("progress_file_fuzzer", fuzz_progress_file::fuzzOne);
}

TEST(FuzzCorpus, OutputCollector)
{
    replayCorpus("output_collector_fuzzer", fuzz_output_collector::fuzzOne);
}

TEST(FuzzCorpus, Mp4Box)
{
    replayCorpus("mp4box_fuzzer", fuzz_mp4box::fuzzOne);
}

TEST(FuzzCorpus, SubtitleIntake)
{
    replayCorpus("subtitle_intake_fuzzer", fuzz_subtitle_intake::fuzzOne);
}

TEST(FuzzCorpus, Subpicture)
{
    replayCorpus("subpicture_fuzzer", fuzz_subpicture::fuzzOne);
}

TEST(FuzzCorpus, StreamTimings)
{
    replayCorpus("stream_timings_fuzzer", fuzz_stream_timings::fuzzOne);
}

TEST(FuzzCorpus, MatroskaTags)
{
    replayCorpus("matroska_tags_fuzzer", fuzz_matroska_tags::fuzzOne);
}
