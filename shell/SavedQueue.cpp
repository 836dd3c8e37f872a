#include "shell/SavedQueue.h"

#include "engine/JobState.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsKeys.h"
#include "foundation/StringHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>

namespace {

constexpr int kFormatVersion = 1;
// A saved queue of thousands of jobs stays far below this; anything larger
// is not one of ours.
constexpr qint64 kLargestFile = 64 << 20;
// The tools' output kept for a problem report; the alert shows far less.
constexpr qsizetype kKeptOutput = 8000;

struct SettingField
{
    const char* key;
    qint64 ConversionSettings::*member;
};

constexpr SettingField kSettingFields[] = {
    {kConversionPresetKey, &ConversionSettings::conversionPreset},
    {kAC3DownmixKey, &ConversionSettings::ac3Downmix},
    {kDTSDownmixKey, &ConversionSettings::dtsDownmix},
    {kAC3SurroundBitrateKey, &ConversionSettings::ac3SurroundBitrate},
    {kAC3StereoBitrateKey, &ConversionSettings::ac3StereoBitrate},
    {kAACBitrateKey, &ConversionSettings::aacBitrate},
    {kIncludeSurroundTrackKey, &ConversionSettings::includeSurroundTrack},
    {kIncludeSurroundTrackTranscodedKey, &ConversionSettings::includeSurroundTrackTranscoded},
    {kIncludeSurroundTrackDisabledKey, &ConversionSettings::includeSurroundTrackDisabled},
    {kDisableBuiltinSubtitlesKey, &ConversionSettings::disableBuiltinSubtitles},
    {kDefaultAudioKey, &ConversionSettings::defaultAudio},
    {kKeepLanguageAudioKey, &ConversionSettings::keepLanguageAudio},
    {kKeepLanguageSubtitlesKey, &ConversionSettings::keepLanguageSubtitles},
    {kKeepAllAudioTracksKey, &ConversionSettings::keepAllAudioTracks},
    {kStreamableOutputKey, &ConversionSettings::streamableOutput},
    {kWriteTagsKey, &ConversionSettings::writeTags},
    {kKeepForcedSubtitlesKey, &ConversionSettings::keepForcedSubtitles},
    {kAutoCleanKey, &ConversionSettings::autoClean},
    {kAutoRemoveKey, &ConversionSettings::autoRemove},
    {kAutoRemoveTypeKey, &ConversionSettings::autoRemoveType},
    {kQuitAfterConversionKey, &ConversionSettings::quitAfterConversion},
};

// ---- Reading: a value of the wrong type clears `ok`; a missing one gives
// the fallback. ----

std::optional<qint64> integerValue(const QJsonValue& v)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d || std::fabs(d) > 9.0e15)
        return std::nullopt;
    return qint64(d);
}

qint64 integer(const QJsonObject& o, const QString& key, qint64 fallback, bool& ok)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined())
        return fallback;
    const auto n = integerValue(v);
    ok = ok && n.has_value();
    return n.value_or(fallback);
}

QString text(const QJsonObject& o, const QString& key, bool& ok)
{
    const QJsonValue v = o.value(key);
    ok = ok && (v.isUndefined() || v.isString());
    return v.toString();
}

bool flag(const QJsonObject& o, const QString& key, bool& ok)
{
    const QJsonValue v = o.value(key);
    ok = ok && (v.isUndefined() || v.isBool());
    return v.toBool();
}

QStringList texts(const QJsonObject& o, const QString& key, bool& ok)
{
    const QJsonValue v = o.value(key);
    ok = ok && (v.isUndefined() || v.isArray());
    QStringList out;
    for (const QJsonValue& entry : v.toArray()) {
        ok = ok && entry.isString();
        out.append(entry.toString());
    }
    return out;
}

QJsonObject object(const QJsonObject& o, const QString& key, bool& ok)
{
    const QJsonValue v = o.value(key);
    ok = ok && (v.isUndefined() || v.isObject());
    return v.toObject();
}

QDateTime date(const QJsonObject& o, const QString& key, bool& ok)
{
    const QString t = text(o, key, ok);
    if (t.isEmpty())
        return {};
    const QDateTime d = QDateTime::fromString(t, Qt::ISODateWithMs);
    ok = ok && d.isValid();
    return d;
}

// ---- The parts of a job ----

QJsonObject settingsObject(const ConversionSettings& s)
{
    QJsonObject o;
    for (const SettingField& field : kSettingFields)
        o[QLatin1String(field.key)] = s.*field.member;
    o[QLatin1String(kExtraLanguagesKey)] = s.extraLanguages;
    QJsonObject custom;
    for (auto it = s.custom.cbegin(); it != s.custom.cend(); ++it)
        custom[it.key()] = it.value();
    o[QStringLiteral("custom")] = custom;
    return o;
}

ConversionSettings settingsFrom(const QJsonObject& o, bool& ok)
{
    ConversionSettings s;
    for (const SettingField& field : kSettingFields)
        s.*field.member = integer(o, QLatin1String(field.key), s.*field.member, ok);
    s.extraLanguages = text(o, QLatin1String(kExtraLanguagesKey), ok);
    if (o.contains(QStringLiteral("custom"))) {
        const QJsonObject custom = object(o, QStringLiteral("custom"), ok);
        s.custom.clear();
        for (auto it = custom.constBegin(); it != custom.constEnd(); ++it) {
            const auto n = integerValue(it.value());
            ok = ok && n.has_value();
            s.custom.insert(it.key(), n.value_or(0));
        }
    }
    return s;
}

QJsonObject subtitleObject(const SubtitleFile& f)
{
    return {{QStringLiteral("path"), f.path},
            {QStringLiteral("language"), f.language},
            {QStringLiteral("forced"), f.forced},
            {QStringLiteral("sdh"), f.sdh}};
}

QList<SubtitleFile> subtitleFilesFrom(const QJsonValue& list, bool& ok)
{
    QList<SubtitleFile> files;
    ok = ok && (list.isUndefined() || list.isArray());
    for (const QJsonValue& entry : list.toArray()) {
        ok = ok && entry.isObject();
        const QJsonObject s = entry.toObject();
        SubtitleFile f;
        f.path = text(s, QStringLiteral("path"), ok);
        f.language = text(s, QStringLiteral("language"), ok);
        f.forced = flag(s, QStringLiteral("forced"), ok);
        f.sdh = flag(s, QStringLiteral("sdh"), ok);
        ok = ok && QDir::isAbsolutePath(f.path);
        files.append(f);
    }
    return files;
}

QJsonObject explanationObject(const FailureExplanation& e)
{
    return {{QStringLiteral("title"), e.title},
            {QStringLiteral("message"), e.message},
            {QStringLiteral("defaultButton"), e.defaultButton},
            {QStringLiteral("alternateButton"), e.alternateButton},
            {QStringLiteral("supportMail"), e.offersSupportMail}};
}

FailureExplanation explanationFrom(const QJsonObject& o, bool& ok)
{
    FailureExplanation e;
    e.title = text(o, QStringLiteral("title"), ok);
    e.message = text(o, QStringLiteral("message"), ok);
    e.defaultButton = text(o, QStringLiteral("defaultButton"), ok);
    e.alternateButton = text(o, QStringLiteral("alternateButton"), ok);
    e.offersSupportMail = flag(o, QStringLiteral("supportMail"), ok);
    return e;
}

QString dateText(const QDateTime& d)
{
    return d.isValid() ? d.toString(Qt::ISODateWithMs) : QString();
}

QJsonObject jobObject(const SavedJob& job)
{
    QJsonObject o;
    o[QStringLiteral("movie")] = job.moviePath;
    o[QStringLiteral("destination")] = job.destinationPath;
    if (!job.accessFolder.isEmpty())
        o[QStringLiteral("accessFolder")] = job.accessFolder;
    o[QStringLiteral("audioTrack")] = qint64(job.audioTrackIndex);
    QJsonArray subtitles;
    for (const SubtitleFile& f : job.subtitleFiles)
        subtitles.append(subtitleObject(f));
    o[QStringLiteral("subtitleFiles")] = subtitles;
    if (!job.pictureSubtitleFiles.isEmpty()) {
        QJsonArray pictures;
        for (const SubtitleFile& f : job.pictureSubtitleFiles)
            pictures.append(subtitleObject(f));
        o[QStringLiteral("pictureSubtitleFiles")] = pictures;
    }
    if (job.subtitleChoice)
        o[QStringLiteral("subtitleChoice")] = QJsonArray::fromStringList(*job.subtitleChoice);
    if (job.settings)
        o[QStringLiteral("settings")] = settingsObject(*job.settings);
    o[QStringLiteral("state")] = int(job.state);
    if (!job.rawNames.isEmpty()) {
        QJsonObject raw;
        for (auto it = job.rawNames.cbegin(); it != job.rawNames.cend(); ++it)
            raw[it.key()] = QString::fromLatin1(it.value().toBase64());
        o[QStringLiteral("rawNames")] = raw;
    }
    o[QStringLiteral("name")] = job.fileName;
    o[QStringLiteral("summary")] = job.summary;
    o[QStringLiteral("audioTracks")] = QJsonArray::fromStringList(job.audioTracks);
    o[QStringLiteral("slow")] = job.slowmode;
    o[QStringLiteral("fast")] = job.fastmode;
    if (job.state == JobFinished || job.state == JobFailed) {
        const JobOutcome& end = job.outcome;
        o[QStringLiteral("progress")] = double(end.progress);
        o[QStringLiteral("started")] = dateText(end.startDate);
        o[QStringLiteral("stopped")] = dateText(end.stopDate);
        o[QStringLiteral("warning")] = end.completionWarning;
        o[QStringLiteral("arguments")] = QJsonArray::fromStringList(end.arguments);
        o[QStringLiteral("output")] = clamp(end.output, kKeptOutput);
        if (end.explanation)
            o[QStringLiteral("explanation")] = explanationObject(*end.explanation);
    }
    return o;
}

std::optional<SavedJob> jobFrom(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    bool ok = true;
    SavedJob job;
    job.moviePath = text(o, QStringLiteral("movie"), ok);
    job.destinationPath = text(o, QStringLiteral("destination"), ok);
    job.accessFolder = text(o, QStringLiteral("accessFolder"), ok);
    const qint64 track = integer(o, QStringLiteral("audioTrack"), 0, ok);
    job.audioTrackIndex = qulonglong(qMax<qint64>(track, 0));
    job.subtitleFiles = subtitleFilesFrom(o.value(QStringLiteral("subtitleFiles")), ok);
    job.pictureSubtitleFiles =
        subtitleFilesFrom(o.value(QStringLiteral("pictureSubtitleFiles")), ok);
    if (o.contains(QStringLiteral("subtitleChoice")))
        job.subtitleChoice = texts(o, QStringLiteral("subtitleChoice"), ok);
    if (o.contains(QStringLiteral("settings")))
        job.settings = settingsFrom(object(o, QStringLiteral("settings"), ok), ok);
    const std::optional<JobState> state =
        jobStateFromNumber(integer(o, QStringLiteral("state"), -1, ok));
    job.state = state.value_or(JobQueued);
    const QJsonObject raw = object(o, QStringLiteral("rawNames"), ok);
    for (auto it = raw.constBegin(); it != raw.constEnd(); ++it) {
        ok = ok && it.value().isString();
        job.rawNames.insert(it.key(), QByteArray::fromBase64(it.value().toString().toLatin1()));
    }
    job.fileName = text(o, QStringLiteral("name"), ok);
    job.summary = text(o, QStringLiteral("summary"), ok);
    job.audioTracks = texts(o, QStringLiteral("audioTracks"), ok);
    job.slowmode = flag(o, QStringLiteral("slow"), ok);
    job.fastmode = flag(o, QStringLiteral("fast"), ok);
    JobOutcome& end = job.outcome;
    const QJsonValue progress = o.value(QStringLiteral("progress"));
    ok = ok && (progress.isUndefined() || progress.isDouble());
    end.progress = float(progress.toDouble(100));
    end.startDate = date(o, QStringLiteral("started"), ok);
    end.stopDate = date(o, QStringLiteral("stopped"), ok);
    end.completionWarning = text(o, QStringLiteral("warning"), ok);
    end.arguments = texts(o, QStringLiteral("arguments"), ok);
    end.output = text(o, QStringLiteral("output"), ok);
    if (o.contains(QStringLiteral("explanation")))
        end.explanation = explanationFrom(object(o, QStringLiteral("explanation"), ok), ok);

    const bool known = state.has_value();
    // A job written as converting or paused has lost its tools: it waits.
    if (job.state == JobConverting || job.state == JobPaused)
        job.state = JobQueued;
    if (!ok || !known || track < 0 || !QDir::isAbsolutePath(job.moviePath) ||
        !QDir::isAbsolutePath(job.destinationPath))
        return std::nullopt;
    return job;
}

// Keeps what a damaged file held for a look by hand, out of the next run's way.
void setAside(const QString& path)
{
    const QString bad = path + QStringLiteral(".bad");
    QFile::remove(bad);
    QFile::rename(path, bad);
    asl_NSLog(3, "The saved queue %@ could not be read; it was set aside as %@", path, bad);
}

} // namespace

QByteArray savedQueueText(const QList<SavedJob>& jobs)
{
    QJsonArray list;
    for (const SavedJob& job : jobs)
        list.append(jobObject(job));
    const QJsonObject root{{QStringLiteral("version"), kFormatVersion},
                           {QStringLiteral("jobs"), list}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<QList<SavedJob>> parseSavedQueue(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    if (integerValue(root.value(QStringLiteral("version"))) != kFormatVersion ||
        !root.value(QStringLiteral("jobs")).isArray())
        return std::nullopt;
    QList<SavedJob> jobs;
    for (const QJsonValue& value : root.value(QStringLiteral("jobs")).toArray()) {
        std::optional<SavedJob> job = jobFrom(value);
        if (!job)
            return std::nullopt;
        jobs.append(std::move(*job));
    }
    return jobs;
}

QString savedQueuePath()
{
    return appInfo().suppDir() + QStringLiteral("/queue.json");
}

QList<SavedJob> loadSavedQueue(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    std::optional<QList<SavedJob>> jobs;
    if (file.open(QIODevice::ReadOnly) && file.size() <= kLargestFile)
        jobs = parseSavedQueue(file.readAll());
    file.close();
    if (!jobs) {
        setAside(path);
        return {};
    }
    return *jobs;
}

bool writeSavedQueue(const QString& path, const QList<SavedJob>& jobs)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // A failed write makes the commit fail and leaves the old file.
    file.write(savedQueueText(jobs));
    return file.commit();
}
