#include "JobTestKit.h"

#include "TestSupport.h"
#include "engine/ConversionJob.h"
#include "engine/JobFactory.h"
#include "engine/JobState.h"
#include "foundation/HalvornLib.h"
#include "foundation/ToolLocator.h"
#include "inspection/MKVFileInfo.h"
#include "shell/AppDelegate.h"
#include "shell/RegisteredDefaults.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <cerrno>
#include <csignal>

namespace {

bool writeScript(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(text.toUtf8());
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                            QFile::ExeOther);
}

} // namespace

void installFakeTools()
{
    const QString realFfmpeg = ToolLocator::find("ffmpeg");
    const QString realAfconvert = ToolLocator::find("afconvert");
    ASSERT_FALSE(realFfmpeg.isEmpty());
    ASSERT_FALSE(realAfconvert.isEmpty());
    const QString tools = makeTempDir("tools");
    // Only conversions carry "-progress"; probing a movie runs the real tool.
    ASSERT_TRUE(writeScript(tools + "/ffmpeg",
                            QStringLiteral("#!/bin/sh\n"
                                           "[ -n \"$VANTREO_TEST_TOOL_LOG\" ] && "
                                           "echo \"$*\" >> \"$VANTREO_TEST_TOOL_LOG\"\n"
                                           "case \"$*\" in\n"
                                           // The extraction of the three tools.
                                           "*Broken*pcm_f32le*)\n"
                                           "  echo \"Broken.mkv: Invalid data found when "
                                           "processing input\"\n"
                                           "  exit 1 ;;\n"
                                           "*Broken*-progress*)\n"
                                           "  echo \"Broken.mkv: Invalid data found when "
                                           "processing input\"\n"
                                           "  for last; do :; done\n"
                                           "  printf partial > \"$last\"\n"
                                           "  exit 1 ;;\n"
                                           // Paced from the extraction on, so the
                                           // encoder and the mux keep its pace.
                                           "*Slow*pcm_f32le*) exec '%1' -re \"$@\" ;;\n"
                                           "*Slow*-progress*) exec '%1' -re \"$@\" ;;\n"
                                           // The mux stage as it was before it kept
                                           // an audio delay: without -itsoffset.
                                           "*EarlySound*-progress*)\n"
                                           "  drop=-itsoffset ;;\n"
                                           // The extraction as it was before it kept
                                           // the sound's gaps: without the filling.
                                           "*GapClosed*pcm_f32le*)\n"
                                           "  drop=-af ;;\n"
                                           "esac\n"
                                           "if [ -n \"$drop\" ]; then\n"
                                           "  for a; do shift\n"
                                           "    if [ \"$skip\" = 1 ]; then skip=0; continue; fi\n"
                                           "    [ \"$a\" = \"$drop\" ] && skip=1 && continue\n"
                                           "    set -- \"$@\" \"$a\"\n"
                                           "  done\n"
                                           "fi\n"
                                           "exec '%1' \"$@\"\n")
                                .arg(realFfmpeg)));
    ASSERT_TRUE(
        writeScript(tools + "/afconvert", QStringLiteral("#!/bin/sh\n"
                                                         "case \"$*\" in\n"
                                                         "*AfconvertFails*)\n"
                                                         // In the middle of the stream.
                                                         "  head -c 100000 \"$1\" > /dev/null\n"
                                                         "  echo \"afconvert: encoder error\"\n"
                                                         "  printf partial > \"$3\"\n"
                                                         "  exit 1 ;;\n"
                                                         "esac\n"
                                                         "exec '%1' \"$@\"\n")
                                              .arg(realAfconvert)));
    qputenv("VANTREO_TOOLS_DIR", tools.toUtf8());
}

ConversionJob* makeJob(const QString& source, const QString& destination, int audioIndex,
                       const std::optional<QString>& subtitleFile)
{
    const MKVFileInfoPtr info = MKVFileInfo::initWithURL(QUrl::fromLocalFile(source));
    info->setDestinationURL(QUrl::fromLocalFile(destination));
    if (subtitleFile)
        info->setSubtitleFileURL(QUrl::fromLocalFile(*subtitleFile));
    return makeConversionJob({info, audioIndex, std::nullopt, std::nullopt});
}

QStringList temporaryEntries()
{
    const auto filter = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden;
    return QDir(appInfo().docDir()).entryList(filter) +
           QDir(appInfo().cacheDir()).entryList(filter);
}

char processStateLetter(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && close + 2 < text.size() ? text.at(close + 2) : 0;
}

bool processGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

void ConversionTestBase::SetUp()
{
    registerDefaultSettings();
    auto a = std::make_unique<ScriptedAlertPresenter>();
    alerts = a.get();
    setAlertPresenter(std::move(a));
    auto n = std::make_unique<RecordingNotifier>();
    notifier = n.get();
    setUserNotifier(std::move(n));
    auto w = std::make_unique<RecordingWorkspace>();
    workspace = w.get();
    setWorkspaceService(std::move(w));
    auto s = std::make_unique<RecordingSleepInhibitor>();
    inhibitor = s.get();
    setSleepInhibitor(std::move(s));
    m_dir = makeTempDir("movies");
    delegate = std::make_unique<AppDelegate>();
}

void PrintTo(JobState state, std::ostream* os)
{
    *os << jobStateLabel(state).toStdString();
}

std::optional<JobState> ConversionTestBase::convertToEnd(ConversionJob* job)
{
    QPointer<ConversionJob> watched = job;
    EXPECT_TRUE(delegate->addJob(job));
    EXPECT_TRUE(waitUntil([&] {
        return !watched || watched->state() == JobFinished || watched->state() == JobFailed;
    }));
    return watched ? std::optional<JobState>(watched->state()) : std::nullopt;
}

void ConversionTestBase::TearDown()
{
    delegate.reset();
}
