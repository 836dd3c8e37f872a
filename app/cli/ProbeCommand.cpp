#include "Commands.h"
#include "foundation/AlertPresenter.h"
#include "foundation/ToolLocator.h"
#include "inspection/AudioTrackChoice.h"
#include "inspection/Languages.h"
#include "inspection/MKVFileInfo.h"
#include "inspection/ProbeListing.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <cstdio>

namespace {

// The probe command prints the warnings itself, from what the probe
// recorded; the alerts raised on the way are answered without a word.
class SilentAlertPresenter final : public AlertPresenter
{
public:
    int present(AlertRequest&) override { return kAlertDefault; }
};

void print(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
}

void printUsage()
{
    print(stderr, "Usage: vantreo-cli probe [--json] FILE...\n");
}

QString numbersOrNone(const QList<int>& numbers)
{
    if (numbers.isEmpty())
        return QStringLiteral("none");
    QStringList texts;
    for (int n : numbers)
        texts.append(QString::number(n));
    return texts.join(QStringLiteral(", "));
}

void printPlain(const MKVFileInfo& info, const std::optional<QString>& best)
{
    QString out = info.fileName() + QStringLiteral("\n  ") + info.informationString() +
                  QStringLiteral("\n  Audio tracks:");
    const QStringList& audio = info.audioTrackInformation();
    if (audio.isEmpty())
        out += QStringLiteral(" none");
    out += QStringLiteral("\n");
    for (qsizetype i = 0; i < audio.size(); ++i) {
        const bool chosen = best && *best == audio.at(i);
        out += (chosen ? QStringLiteral("  * ") : QStringLiteral("    ")) + QString::number(i) +
               QStringLiteral(": ") + audio.at(i) + QStringLiteral("\n");
    }
    out += QStringLiteral("  Video stream: ") +
           (info.videoTrackID() ? QString::number(*info.videoTrackID()) : QStringLiteral("none")) +
           QStringLiteral("\n  Text subtitle streams: ") + numbersOrNone(info.subtitleTrackIDs()) +
           QStringLiteral("\n");
    print(stdout, out);
    std::fflush(stdout);
    for (const QString& key : info.raisedWarnings())
        print(stderr, QStringLiteral("Warning: ") + warningMessage(key, info.fileName()) +
                          QStringLiteral("\n"));
}

QJsonValue orNull(const std::optional<double>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject jsonObject(const QString& argument, const MKVFileInfo& info,
                       const std::optional<QString>& best)
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
    object.insert("runtimeSeconds", info.runtimeSeconds()
                                        ? QJsonValue(double(*info.runtimeSeconds()))
                                        : QJsonValue(QJsonValue::Null));
    object.insert("fileSize", info.fileSize() ? QJsonValue(double(*info.fileSize()))
                                              : QJsonValue(QJsonValue::Null));
    object.insert("warnings", QJsonArray::fromStringList(info.raisedWarnings()));
    object.insert("bestAudio", best ? QJsonValue(*best) : QJsonValue(QJsonValue::Null));
    return object;
}

// Lets the warnings that the probe scheduled on the main thread run.
void deliverDelayedWarnings()
{
    QEventLoop loop;
    QTimer::singleShot(150, &loop, &QEventLoop::quit);
    loop.exec();
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
            print(stderr, QStringLiteral("vantreo-cli probe: unknown option '") + arg +
                              QStringLiteral("'\n"));
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

    setAlertPresenter(std::make_unique<SilentAlertPresenter>());
    const QStringList preferred = preferredLanguages3Letter();
    QJsonArray results;
    for (const QString& file : files) {
        const MKVFileInfoPtr info =
            MKVFileInfo::initWithURL(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
        const std::optional<QString> best = bestLanguage(info->audioTrackInformation(), preferred);
        if (json)
            results.append(jsonObject(file, *info, best));
        else
            printPlain(*info, best);
    }
    deliverDelayedWarnings();
    if (json)
        print(stdout, QString::fromUtf8(QJsonDocument(results).toJson(QJsonDocument::Indented)));
    return kExitOK;
}
