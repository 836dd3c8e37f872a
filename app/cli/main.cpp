#include "Commands.h"
#include "engine/RawNameLinks.h"
#include "foundation/Alerts.h"
#include "foundation/HalvornLib.h"
#include "foundation/SettingsStore.h"
#include "foundation/TerminalAlertPresenter.h"
#include "foundation/Translations.h"
#include "platform/InstallPlatformServices.h"
#include "shell/RegisteredDefaults.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {

void printUsage(FILE* to)
{
    std::fputs(
        qPrintable(CommandLine::tr(
            "Usage: vantreo-cli [--settings FILE] COMMAND ...\n"
            "\n"
            "Commands:\n"
            "  probe [--json] FILE...    show what each movie holds\n"
            "  convert [options] FILE... convert movies to MP4, one after another\n"
            "      --dest DIR                      write the MP4 files into DIR\n"
            "      --style compatible|fast|custom  audio conversion style for this run\n"
            "      --audio INDEX|LANG              audio track by index or language\n"
            "      --subtitles FILE                add this subtitle file\n"
            "      --subtitles all|none|LANG,...   the subtitle tracks to write, this run\n"
            "      --no-forced                     leave out the forced subtitles the other\n"
            "                                      settings leave out, this run\n"
            "      --no-sidecars                   do not add the subtitle files found beside\n"
            "                                      each movie, this run\n"
            "      --no-tags                       write neither cover art nor tags for\n"
            "                                      media centres, this run\n"
            "      --all-audio                     keep every audio track, this run\n"
            "      --m4v                           name the outputs .m4v\n"
            "      --keep-languages                also keep the audio tracks and only the\n"
            "                                      subtitles in your languages, this run\n"
            "      --no-keep-languages             keep neither by language, this run\n"
            "      --recursive, -r                 convert every movie in the folders named,\n"
            "                                      passing over those converted before\n"
            "      --force                         convert movies converted before again\n"
            "      --jobs N                        convert N movies at once (default 1)\n"
            "      --json                          report each movie as a JSON line\n"
            "  watch [options] DIR...    convert the movies in the folders, then each new\n"
            "                            one once it is complete, until stopped\n"
            "      --settle SECONDS                how long a new movie must stay unchanged\n"
            "                                      (default 10); and the convert options\n"
            "  settings [KEY [VALUE]]    list, show or change a setting\n"
            "  tools                     show where the external tools were found\n"
            "  help                      show this text\n")),
        to);
}

} // namespace

void printLine(FILE* to, const QString& line)
{
    std::fprintf(to, "%s\n", qPrintable(line));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vantreo");
    QCoreApplication::setOrganizationName("Vantreo");
    installTranslations();
    // Qt decodes the arguments as UTF-8 and turns other bytes (a Latin-1
    // file name) into U+FFFD; such an argument naming an existing file or
    // folder is handed on as a link with a clean name instead.
    RawNameLinks::removeStale();
    QList<QByteArray> rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments.append(QByteArray(argv[i]));
    QStringList args = RawNameLinks::usablePaths(rawArguments);

    if (args.size() >= 2 && args.first() == "--settings") {
        SettingsStore::instance().useFile(args.at(1));
        args = args.mid(2);
    }
    setAlertPresenter(std::make_unique<TerminalAlertPresenter>());
    registerDefaultSettings();
    installPlatformServices();
    HalvornLib lib;

    if (args.isEmpty()) {
        printUsage(stderr);
        return kExitUsage;
    }
    const QString command = args.takeFirst();
    if (command == "probe")
        return runProbeCommand(args);
    if (command == "convert")
        return runConvertCommand(args);
    if (command == "watch")
        return runWatchCommand(args);
    if (command == "settings")
        return runSettingsCommand(args);
    if (command == "tools")
        return runToolsCommand(args);
    if (command == "help" || command == "--help" || command == "-h") {
        printUsage(stdout);
        return kExitOK;
    }
    printLine(stderr, CommandLine::tr("vantreo-cli: unknown command '%1'").arg(command) + u'\n');
    printUsage(stderr);
    return kExitUsage;
}
