#pragma once

#include <QStringList>

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

inline constexpr int kExitOK = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;
