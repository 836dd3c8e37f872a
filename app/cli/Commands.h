#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

// The subcommands of vantreo-cli. Each takes the arguments after its name and
// answers the exit status: 0 success, 1 a job failed, 2 usage error or a
// missing tool, 130 interrupted.
int runProbeCommand(const QStringList& args);
int runConvertCommand(const QStringList& args, bool watch = false);
// Converts the movies in folder trees, then each new one as it arrives,
// until SIGTERM or SIGINT.
int runWatchCommand(const QStringList& args);
int runSettingsCommand(const QStringList& args);
int runToolsCommand(const QStringList& args);

// One line for people (already in the user's language) and a newline.
void printLine(FILE* to, const QString& line);
// The context of the command line's own texts: CommandLine::tr("...").
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

inline constexpr int kExitOK = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;
