#include "engine/FileJournal.h"

#include "common/TestSupport.h"
#include "engine/OutputFiles.h"
#include "foundation/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(OutputFiles, PartialFileIsHiddenBesideTheDestinationWithItsExtension)
{
    EXPECT_EQ(partialPathFor("/out/Film.mp4"), "/out/.Film.mp4.partial.mp4");
    EXPECT_EQ(partialPathFor("/out/My Film (2001).m4v"), "/out/.My Film (2001).m4v.partial.m4v");
    // A name near the file system's limit is shortened, the ending kept.
    const QString longName = QString(120, QChar(0x00d6)) + ".mp4"; // 244 bytes
    const QString partial = lastPathComponent(partialPathFor("/out/" + longName));
    EXPECT_LE(partial.toUtf8().size(), 255 - 8);
    EXPECT_TRUE(partial.startsWith(".\u00d6"));
    EXPECT_TRUE(partial.endsWith("\u00d6.mp4.partial.mp4"));
    const QString emoji = QString::fromUtf8("\xf0\x9f\x8e\xac").repeated(60) + ".mp4";
    EXPECT_FALSE(lastPathComponent(partialPathFor("/out/" + emoji)).contains(QChar(0xfffd)));
    EXPECT_TRUE(QString(lastPathComponent(partialPathFor("/out/" + emoji))).isValidUtf16());
}

TEST(OutputFiles, MoveIntoPlaceNeverReplacesAnything)
{
    const QString dir = makeTempDir("move");
    const QString dest = dir + "/Film.mp4";
    ASSERT_TRUE(writeFile(dir + "/.p1", "movie 1"));
    EXPECT_EQ(moveIntoPlace(dir + "/.p1", dest), dest);
    EXPECT_EQ(readFile(dest), "movie 1");
    EXPECT_FALSE(QFile::exists(dir + "/.p1"));

    // Taken: the unique-name rule gives Film-0, then Film-1 (a dangling link
    // is taken too).
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/Film-0.mp4"));
    ASSERT_TRUE(writeFile(dir + "/.p2", "movie 2"));
    EXPECT_EQ(moveIntoPlace(dir + "/.p2", dest), dir + "/Film-1.mp4");
    EXPECT_EQ(readFile(dest), "movie 1");
    EXPECT_EQ(readFile(dir + "/Film-1.mp4"), "movie 2");
    EXPECT_EQ(QFile::symLinkTarget(dir + "/Film-0.mp4"), dir + "/nowhere");

    EXPECT_FALSE(moveIntoPlace(dir + "/.gone", dest).has_value());
    EXPECT_FALSE(moveIntoPlace(dir + "/.p3", dir + "/no-such-folder/Film.mp4").has_value());
}

TEST(OutputFiles, TemporaryNamesAreReservedOnceEach)
{
    const QString dir = makeTempDir("reserve");
    const QString wanted = dir + "/Film.mkv.tmp.aac";
    // Two jobs (or two processes) asking for one name get two files.
    const QString first = reserveUniqueFile(wanted);
    const QString second = reserveUniqueFile(wanted);
    EXPECT_EQ(first, wanted);
    EXPECT_EQ(second, dir + "/Film.mkv.tmp-0.aac");
    EXPECT_TRUE(QFileInfo(second).isFile());
    const QString fifo = reserveUniqueFile(dir + "/Film.mkv.audio.fifo", TemporaryKind::Fifo);
    struct stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    // Nothing blocks on a FIFO nobody opened.
    releaseFifoOpeners(fifo);
    // A folder that is not there: no name, and why.
    QString error;
    EXPECT_TRUE(
        reserveUniqueFile(dir + "/gone/Film.mkv.log", TemporaryKind::File, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(FileJournal, JournalTextAndOwners)
{
    const JournalOwner self = currentJournalOwner();
    EXPECT_EQ(self.pid, qint64(::getpid()));
    EXPECT_GT(self.startTime, 0u);
    EXPECT_FALSE(self.bootId.isEmpty());
    EXPECT_EQ(livingOwner(::getpid()), self);
    EXPECT_FALSE(livingOwner(0).has_value());
    EXPECT_FALSE(livingOwner(-5).has_value());

    const JournalEntry entry{self, {"/out/.Film.mp4.partial.mp4", "/home/u/Documents/F.mkv.log"}};
    const auto back = parseJournal(journalText(entry));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->owner, self);
    EXPECT_EQ(back->files, entry.files);
    EXPECT_FALSE(parseJournal("{not json").has_value());
    EXPECT_FALSE(parseJournal(R"({"boot":"b","pid":0,"start":"1","files":[]})").has_value());
    // Only absolute paths are ever taken from a journal.
    const auto relative =
        parseJournal(R"({"boot":"b","pid":7,"start":"1","files":["x.mp4","/a/.x","",3]})");
    ASSERT_TRUE(relative.has_value());
    EXPECT_EQ(relative->files, QStringList({"/a/.x"}));
}

TEST(FileJournal, LeftoversAreTheDeadRunsFilesThatNoLivingRunNames)
{
    const JournalOwner living{"boot", 10, 100}, dead{"boot", 11, 200},
        reused{"boot", 10, 999}; // the pid of a living run, started at another time
    const QList<JournalEntry> journals = {
        {living, {"/d/.A.mp4.partial.mp4", "/docs/A.mkv.log"}},
        {dead, {"/d/.B.mp4.partial.mp4", "/docs/A.mkv.log", "/docs/B.mkv.tmp.wav"}},
        {reused, {"/d/.C.mp4.partial.mp4", "/d/.B.mp4.partial.mp4"}},
    };
    const auto alive = [&](const JournalOwner& o) { return o == living; };
    EXPECT_EQ(
        leftoverFiles(journals, alive),
        QStringList({"/d/.B.mp4.partial.mp4", "/docs/B.mkv.tmp.wav", "/d/.C.mp4.partial.mp4"}));
    EXPECT_TRUE(leftoverFiles(journals, [](const JournalOwner&) { return true; }).isEmpty());
}

TEST(FileJournal, StartUpRemovesOnlyWhatADeadRunNamed)
{
    const QString dir = makeTempDir("journal");
    for (const char* name : {".dead.partial.mp4", "dead.tmp.wav", "mine.mp4", ".ours.partial.mp4"})
        ASSERT_TRUE(writeFile(dir + "/" + name, "x"));
    ASSERT_TRUE(QDir().mkpath(dir + "/folder"));

    // This process records a file of a running job ...
    int job = 0;
    FileJournal::instance().record(&job, {dir + "/.ours.partial.mp4"});
    // ... and a run that died (same boot, a pid no process has) left a journal.
    ASSERT_TRUE(QDir().mkpath(FileJournal::folder()));
    const JournalEntry dead{{currentJournalOwner().bootId, 4194303, 1},
                            {dir + "/.dead.partial.mp4", dir + "/dead.tmp.wav",
                             dir + "/.ours.partial.mp4", dir + "/folder", dir + "/never-made"}};
    const QString deadJournal = FileJournal::folder() + "/dead.journal";
    ASSERT_TRUE(writeFile(deadJournal, journalText(dead)));

    FileJournal::instance().removeLeftovers();
    QStringList left = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, QStringList({".ours.partial.mp4", "folder", "mine.mp4"}));
    EXPECT_FALSE(QFile::exists(deadJournal));
    EXPECT_EQ(QDir(FileJournal::folder()).entryList({"*.journal"}, QDir::Files).size(), 1);

    FileJournal::instance().record(&job, {});
    FileJournal::instance().settle();
    EXPECT_TRUE(QDir(FileJournal::folder()).entryList({"*.journal"}, QDir::Files).isEmpty());
}
