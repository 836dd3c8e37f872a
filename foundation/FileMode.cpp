#include "foundation/FileMode.h"

#include <QFile>
#include <QRegularExpression>
#include <sys/stat.h>

std::optional<unsigned> umaskFromStatus(const QString& statusText)
{
    static const QRegularExpression line(QStringLiteral("^Umask:\\s*([0-7]{1,4})\\s*$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(statusText);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const unsigned mask = m.captured(1).toUInt(&ok, 8);
    return ok ? std::optional<unsigned>(mask & 0777u) : std::nullopt;
}

unsigned currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        if (const auto mask = umaskFromStatus(QString::fromLatin1(status.readAll())))
            return *mask;
    return 022;
}

unsigned newFileMode()
{
    return 0666u & ~currentUmask();
}

bool giveNewFileMode(const QString& path)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(newFileMode())) == 0;
}
