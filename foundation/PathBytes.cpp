#include "foundation/PathBytes.h"

#include <QDir>
#include <QFile>
#include <climits>
#include <unistd.h>

bool roundTripsAsName(const QByteArray& bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

QString cleanFileName(const QByteArray& nameBytes)
{
    QString name = QFile::decodeName(nameBytes);
    if (QFile::encodeName(name).size() <= kMaxNameBytes)
        return name;
    // Keep the extension: it tells the tools and the intake what the file is.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    QString base = dot > 0 ? name.left(dot) : name;
    const qsizetype budget = kMaxNameBytes - QFile::encodeName(extension).size();
    if (budget <= 0)
        return name.left(kMaxNameBytes / 3); // an extension that fills the name alone
    while (!base.isEmpty() && QFile::encodeName(base).size() > budget)
        base.chop(base.size() >= 2 && base.at(base.size() - 1).isLowSurrogate() ? 2 : 1);
    return base + extension;
}

QByteArray localPathBytes(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    // A file URL of another host names a network path ("//host/path").
    if (!url.host().isEmpty() && url.host() != QLatin1String("localhost"))
        return QFile::encodeName(url.toLocalFile());
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QUrl fileURLFromBytes(const QByteArray& path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}

QByteArray absolutePathBytes(const QByteArray& path, const QByteArray& folder)
{
    if (path.isEmpty())
        return path;
    const QByteArray joined = path.startsWith('/') ? path : folder + '/' + path;
    // Latin-1 maps every byte to one character and back, so Qt's path
    // cleaning works on any bytes.
    return QDir::cleanPath(QString::fromLatin1(joined)).toLatin1();
}

QByteArray folderBytes(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameBytes(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QByteArray currentFolderBytes()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? QByteArray(buffer) : QByteArray();
}
