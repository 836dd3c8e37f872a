#include "foundation/ProcessRunner.h"

#include "foundation/ChildProcess.h"

#include <QProcess>
#include <QStringDecoder>

std::optional<QString> runAsTask(const QStringList& command)
{
    return runAsTaskWithTerminationStatus(command, nullptr);
}

std::optional<QString> runAsTaskWithTerminationStatus(const QStringList& command, qint64* status)
{
    constexpr qint64 kNotStarted = 127;
    if (command.isEmpty() || command.first().isEmpty()) {
        if (status)
            *status = kNotStarted;
        return std::nullopt;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    prepareChildProcess(process);
    process.start(command.first(), command.mid(1), QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        if (status)
            *status = kNotStarted;
        return std::nullopt;
    }
    // Drain the pipe while waiting, so a child that writes more than a pipe
    // holds never blocks on it.
    QByteArray output;
    while (process.state() != QProcess::NotRunning) {
        if (!process.waitForReadyRead(-1)) {
            // The output is closed (or the child ended): only the exit is left.
            process.waitForFinished(-1);
        }
        output += process.readAll();
    }
    process.waitForFinished(-1);
    output += process.readAll();
    if (status)
        *status = process.exitCode();

    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(output);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
