#include "Commands.h"
#include "engine/ConversionSettings.h"
#include "engine/KeptTracks.h"
#include "engine/RawNameLinks.h"
#include "engine/SubtitleReading.h"
#include "engine/SubtitleTracks.h"
#include "foundation/BoundedTask.h"
#include "foundation/SettingsAccess.h"
#include "foundation/SettingsKeys.h"
#include "foundation/ToolLocator.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/Languages.h"
#include "inspection/MKVFileInfo.h"
#include "inspection/MovieTags.h"
#include "inspection/ProbeListing.h"
#include "platform/SignalWatcher.h"
#include "shell/AddPanelTexts.h"
#include "shell/CoverBeside.h"
#include "shell/SubtitlePairing.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <cstdio>

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
}

void printUsage()
{
    printLine(
        stderr,
        CommandLine::tr("Usage: %1").arg(QStringLiteral("vantreo-cli probe [--json] FILE...")));
}

QString numbersOrNone(const QList<int>& numbers)
{
    if (numbers.isEmpty())
        return CommandLine::tr("none");
    QStringList texts;
    for (int n : numbers)
        texts.append(QString::number(n));
    return texts.join(QStringLiteral(", "));
}

// The chosen track is marked "*", the ones kept beside it for the user's
// languages "+"; with subtitles kept by language a line names those.
void printPlain(const MKVFileInfo& info, const std::optional<int>& best,
                const QStringList& preferred)
{
    QString out = info.fileName() + QStringLiteral("\n  ") + info.informationString() +
                  QStringLiteral("\n  ") + CommandLine::tr("Audio tracks:");
    const QList<AudioTrack>& audio = info.audioTracks();
    const int chosenIndex = best.value_or(-1);
    const ConversionSettings settings = ConversionSettings::fromStore();
    const ConversionInputs in = movieTrackInputs(info, std::max(0, chosenIndex), preferred);
    QList<int> kept;
    if (chosenIndex >= 0)
        for (const FurtherAudioTrack& t : furtherAudioTracks(in, settings))
            kept.append(t.descriptorIndex);
    if (audio.isEmpty())
        out += u' ' + CommandLine::tr("none");
    out += QStringLiteral("\n");
    for (int i = 0; i < audio.size(); ++i) {
        const QString mark = i == chosenIndex   ? QStringLiteral("  * ")
                             : kept.contains(i) ? QStringLiteral("  + ")
                                                : QStringLiteral("    ");
        out += mark + QString::number(i) + QStringLiteral(": ") +
               audioItemsWithTitles({audio.at(i)}).value(0) + QStringLiteral("\n");
    }
    out += QStringLiteral("  ") + CommandLine::tr("Video stream:") + u' ' +
           (info.videoTrackID() ? QString::number(*info.videoTrackID()) : CommandLine::tr("none")) +
           QStringLiteral("\n  ") + CommandLine::tr("Text subtitle streams:") + u' ' +
           numbersOrNone(info.subtitleTrackIDs()) + QStringLiteral("\n  ") +
           CommandLine::tr("Picture subtitle streams:") + u' ' +
           numbersOrNone(info.pictureSubtitleTrackIDs()) +
           (info.pictureSubtitleTrackIDs().isEmpty() ? QString()
                                                     : u' ' + CommandLine::tr("(read as text)")) +
           QStringLiteral("\n");
    if (keptSubtitleLanguages(in, settings))
        out += QStringLiteral("  ") + CommandLine::tr("Kept subtitle streams:") + u' ' +
               numbersOrNone(mappedSubtitleStreams(in, settings)) + QStringLiteral("\n");
    out += QStringLiteral("  ") + CommandLine::tr("Subtitle files:");
    if (info.subtitleFiles().isEmpty() && info.pictureSubtitleFiles().isEmpty())
        out += u' ' + CommandLine::tr("none");
    for (const SubtitleFile& file : info.subtitleFiles())
        out += QStringLiteral("\n    ") + subtitleFileText(file);
    for (const SubtitleFile& file : info.pictureSubtitleFiles())
        out += QStringLiteral("\n    ") + subtitleFileText(file) + u' ' +
               CommandLine::tr("(read as text)");
    out += QStringLiteral("\n  ") + CommandLine::tr("Subtitles written:");
    const QList<SubtitleTrack> written = writtenSubtitleTracks(in, settings);
    if (written.isEmpty())
        out += u' ' + CommandLine::tr("none");
    for (const SubtitleTrack& track : written)
        out += QStringLiteral("\n    ") + subtitleTrackText(track);
    out += QStringLiteral("\n");
    QStringList notes = pictureReadingNotes(in, settings);
    const QString skipped = skippedSubtitlesNote(info.skippedSubtitleFiles());
    if (!skipped.isEmpty())
        notes.prepend(skipped);
    if (!info.playbackNote().isEmpty())
        notes.prepend(info.playbackNote());
    if (!info.coverNote().isEmpty())
        notes.append(info.coverNote());
    if (info.videoTrackID() && !info.refusalReason().isEmpty())
        notes.prepend(CommandLine::tr("not converted: %1").arg(info.refusalReason()));
    for (const QString& note : notes)
        out += QStringLiteral("  ") + CommandLine::tr("Note: %1").arg(note) + QStringLiteral("\n");
    out += QStringLiteral("  ") + CommandLine::tr("Tags:");
    const QList<std::pair<QString, QString>> tags =
        settings.writeTags != 0 ? metadataEntries(in.tags) : QList<std::pair<QString, QString>>{};
    if (tags.isEmpty())
        out += u' ' + CommandLine::tr("none");
    for (const auto& [key, value] : tags)
        out += QStringLiteral("\n    ") + key + QStringLiteral(": ") + value;
    out += QStringLiteral("\n  ") + CommandLine::tr("Cover:") + u' ' +
           (settings.writeTags == 0   ? CommandLine::tr("none")
            : in.coverStream          ? CommandLine::tr("stream %1").arg(*in.coverStream)
            : !in.coverFile.isEmpty() ? QFileInfo(in.coverFile).fileName()
                                      : CommandLine::tr("none")) +
           QStringLiteral("\n");
    out += QStringLiteral("  ") + CommandLine::tr("Streamable:") + u' ' +
           (settings.streamableOutput != 0 ? CommandLine::tr("yes (index before the media)")
                                           : CommandLine::tr("no")) +
           QStringLiteral("\n");
    print(stdout, out);
    std::fflush(stdout);
    for (const QString& key : info.raisedWarnings())
        printLine(stderr, CommandLine::tr("Warning: %1").arg(warningMessage(key, info.fileName())));
}

QJsonValue orNull(const std::optional<double>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

const char* sourceName(SubtitleTrack::Source source)
{
    switch (source) {
    case SubtitleTrack::Source::TextFile:
        return "textFile";
    case SubtitleTrack::Source::PictureFile:
        return "pictureFile";
    case SubtitleTrack::Source::PictureStream:
        return "pictureStream";
    case SubtitleTrack::Source::TextStream:
        break;
    }
    return "textStream";
}

// Every subtitle track the movie has, as a conversion would treat it.
QJsonArray subtitleTracksJson(const MKVFileInfo& info, const std::optional<int>& best,
                              const QStringList& preferred)
{
    const int chosen = best.value_or(0);
    const ConversionInputs in = movieTrackInputs(info, std::max(0, chosen), preferred);
    const ConversionSettings settings = ConversionSettings::fromStore();
    QStringList written;
    for (const SubtitleTrack& track : writtenSubtitleTracks(in, settings))
        written.append(track.key);
    QJsonArray tracks;
    for (const SubtitleTrack& track : subtitleTracksOf(in)) {
        QJsonObject t{{"key", track.key},
                      {"source", sourceName(track.source)},
                      {"language", track.language},
                      {"title", track.title},
                      {"forced", track.forced},
                      {"readAsText", track.isPicture()},
                      {"written", written.contains(track.key)}};
        if (track.stream >= 0)
            t.insert("stream", track.stream);
        else
            t.insert("file", RawNameLinks::displayPath(track.path));
        tracks.append(t);
    }
    return tracks;
}

QJsonArray subtitleFilesJson(const QList<SubtitleFile>& files)
{
    QJsonArray list;
    for (const SubtitleFile& file : files)
        list.append(QJsonObject{{"file", RawNameLinks::displayPath(file.path)},
                                {"language", file.language},
                                {"forced", file.forced},
                                {"sdh", file.sdh}});
    return list;
}

QJsonObject jsonObject(const QString& argument, const MKVFileInfo& info,
                       const std::optional<int>& best)
{
    QJsonArray subtitles;
    for (int n : info.subtitleTrackIDs())
        subtitles.append(n);
    QJsonObject object;
    object.insert("file", argument);
    object.insert("fileName", info.fileName());
    object.insert("informationString", info.informationString());
    object.insert("audioTrackInformation",
                  QJsonArray::fromStringList(info.audioTrackInformation()));
    object.insert("videoTrackID", orNull(info.videoTrackID()));
    object.insert("subtitleTrackIDs", subtitles);
    QJsonArray pictures;
    for (int n : info.pictureSubtitleTrackIDs())
        pictures.append(n);
    object.insert("pictureSubtitleTrackIDs", pictures);
    object.insert("runtimeSeconds", info.runtimeSeconds()
                                        ? QJsonValue(double(*info.runtimeSeconds()))
                                        : QJsonValue(QJsonValue::Null));
    object.insert("fileSize", info.fileSize() ? QJsonValue(double(*info.fileSize()))
                                              : QJsonValue(QJsonValue::Null));
    object.insert("warnings", QJsonArray::fromStringList(info.raisedWarnings()));
    object.insert("container", info.containerFormats().join(u','));
    object.insert("videoCodec", info.videoCodec());
    object.insert("playbackNote", info.playbackNote());
    object.insert("refusal", info.videoTrackID() ? info.refusalReason() : QString());
    const ConversionInputs tagged = movieTrackInputs(info, 0, preferredLanguages3Letter());
    const bool writeTags = ConversionSettings::fromStore().writeTags != 0;
    QJsonObject tags;
    if (writeTags)
        for (const auto& [key, value] : metadataEntries(tagged.tags))
            tags.insert(key, value);
    object.insert("tags", tags);
    object.insert("cover", !writeTags                    ? QJsonValue(QJsonValue::Null)
                           : tagged.coverStream          ? QJsonValue(*tagged.coverStream)
                           : !tagged.coverFile.isEmpty() ? QJsonValue(tagged.coverFile)
                                                         : QJsonValue(QJsonValue::Null));
    object.insert("bestAudio", best ? QJsonValue(info.audioTracks().at(*best).descriptor())
                                    : QJsonValue(QJsonValue::Null));
    QJsonObject titles;
    for (auto it = info.streamTimings().titles.begin(); it != info.streamTimings().titles.end();
         ++it)
        titles.insert(QString::number(it.key()), it.value());
    object.insert("streamTitles", titles);
    object.insert("subtitleFiles", subtitleFilesJson(info.subtitleFiles()));
    object.insert("pictureSubtitleFiles", subtitleFilesJson(info.pictureSubtitleFiles()));
    object.insert("subtitleTracks", subtitleTracksJson(info, best, preferredLanguages3Letter()));
    object.insert("subtitleNotes", QJsonArray::fromStringList(pictureReadingNotes(
                                       movieTrackInputs(info, 0, preferredLanguages3Letter()),
                                       ConversionSettings::fromStore())));
    object.insert("skippedSubtitleFiles", QJsonArray::fromStringList(info.skippedSubtitleFiles()));
    object.insert("streamable", ConversionSettings::fromStore().streamableOutput != 0);
    return object;
}

// Probes on a background thread, all movies at once, while the event loop
// answers Ctrl-C and SIGTERM; empty when a signal came first (the tools are
// then ended).
QList<MKVFileInfoPtr> probeInterruptibly(const QStringList& paths, SignalWatcher& watcher)
{
    QEventLoop loop;
    QList<MKVFileInfoPtr> result;
    bool interrupted = false;
    QObject::connect(&watcher, &SignalWatcher::interrupted, &loop, [&] {
        interrupted = true;
        cancelBoundedTasks();
        loop.quit();
    });
    QObject guard;
    QObject* target = &guard;
    // The subtitle files beside each movie are shown as a conversion would
    // take them.
    const bool besideMovie = defaultInt(kAddSubtitleFilesBesideMovieKey) != 0;
    const QStringList languages =
        rankingLanguages(preferredLanguages3Letter(), defaultInt(kDefaultAudioKey));
    QThreadPool::globalInstance()->start([paths, target, &result, &loop, besideMovie, languages] {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        const QList<MKVFileInfoPtr> infos =
            MKVFileInfo::initWithURLs(urls, MKVFileInfo::Warnings::Collected);
        for (qsizetype i = 0; i < infos.size() && i < paths.size(); ++i)
            if (infos.at(i) && infos.at(i)->unreadableReason().isEmpty()) {
                attachSubtitleFiles(*infos.at(i), paths.at(i), {}, besideMovie, languages);
                attachCoverBeside(*infos.at(i), paths.at(i));
            }
        QMetaObject::invokeMethod(
            target,
            [&result, &loop, infos] {
                result = infos;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    if (interrupted) {
        // The probe's thread still refers to the loop's variables: wait for
        // it, which is quick now that its tools are gone.
        QThreadPool::globalInstance()->waitForDone();
        return {};
    }
    return result;
}

} // namespace

int runProbeCommand(const QStringList& args)
{
    bool json = false;
    bool optionsDone = false;
    QStringList files;
    for (const QString& arg : args) {
        if (!optionsDone && arg == QLatin1String("--json")) {
            json = true;
        } else if (!optionsDone && arg == QLatin1String("--")) {
            optionsDone = true;
        } else if (!optionsDone && arg.startsWith(u'-') && arg.size() > 1) {
            printLine(stderr, CommandLine::tr("vantreo-cli probe: unknown option '%1'").arg(arg));
            printUsage();
            return kExitUsage;
        } else {
            files.append(arg);
        }
    }
    if (files.isEmpty()) {
        printUsage();
        return kExitUsage;
    }
    if (ToolLocator::find(QStringLiteral("ffmpeg")).isEmpty()) {
        print(stderr, QStringLiteral("vantreo-cli probe: ") +
                          ToolLocator::installHint(QStringLiteral("ffmpeg")) +
                          QStringLiteral("\n"));
        return kExitUsage;
    }

    SignalWatcher watcher;
    const QStringList preferred = preferredLanguages3Letter();
    QStringList paths;
    for (const QString& file : files)
        paths.append(QFileInfo(file).absoluteFilePath());
    const QList<MKVFileInfoPtr> infos = probeInterruptibly(paths, watcher);
    if (infos.size() != files.size()) {
        printLine(stderr, CommandLine::tr("Interrupted."));
        return kExitInterrupted;
    }
    QJsonArray results;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files.at(i);
        const MKVFileInfoPtr& info = infos.at(i);
        if (!info->unreadableReason().isEmpty())
            print(stderr, QStringLiteral("vantreo-cli probe: ") + info->fileName() +
                              QStringLiteral(": ") + info->unreadableReason() +
                              QStringLiteral("\n"));
        const std::optional<int> best = bestAudioTrack(info->audioTracks(), preferred);
        if (json)
            results.append(jsonObject(RawNameLinks::displayPath(file), *info, best));
        else
            printPlain(*info, best, preferred);
    }
    if (json)
        print(stdout, QString::fromUtf8(QJsonDocument(results).toJson(QJsonDocument::Indented)));
    return kExitOK;
}
