#include "Commands.h"
#include "foundation/ProcessRunner.h"
#include "foundation/StringHelpers.h"
#include "foundation/ToolLocator.h"

#include <cstdio>

int runToolsCommand(const QStringList&)
{
    bool allFound = true;
    for (const char* name : {"ffmpeg", "mediainfo", "MP4Box", "afconvert", "subocr"}) {
        const QString tool = QString::fromLatin1(name);
        const QString path = ToolLocator::find(tool);
        if (path.isEmpty()) {
            // Our subtitle reader is needed only for picture subtitles,
            // which are then left out with a note.
            if (tool != QLatin1String("subocr"))
                allFound = false;
            printLine(stdout,
                      tool.leftJustified(10) + u' ' +
                          CommandLine::tr("missing: %1").arg(ToolLocator::installHint(tool)));
            continue;
        }
        QString version;
        if (tool == QLatin1String("ffmpeg"))
            version = lines(runAsTask({path, "-version"}).value_or(QString())).value(0);
        else if (tool == QLatin1String("mediainfo"))
            version =
                lines(runAsTask({path, "--Version"}).value_or(QString())).join(' ').simplified();
        std::fprintf(stdout, "%-10s %s%s%s\n", name, qPrintable(path),
                     version.isEmpty() ? "" : "  ", qPrintable(version));
    }
    std::fflush(stdout);
    return allFound ? kExitOK : kExitUsage;
}
