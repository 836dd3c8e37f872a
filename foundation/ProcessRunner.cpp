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
    QProcess process;
    if (!startChildProcess(process, command)) {
        if (status)
            *status = kNotStarted;
        return std::nullopt;
    }
    QByteArray output;
    collectChildOutput(process, output);
    if (status)
        *status = process.exitCode();

    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(output);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
