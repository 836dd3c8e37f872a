#include "foundation/OpenForWriting.h"

#include <QByteArray>
#include <QFile>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool allDigits(const char* name)
{
    if (!*name)
        return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// The open flags of a descriptor, from the "flags:" line of its fdinfo (octal).
int descriptorFlags(const QByteArray& fdinfoPath)
{
    QFile file(QString::fromLatin1(fdinfoPath));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.read(4096).split('\n'))
        if (line.startsWith("flags:"))
            return int(std::strtol(line.mid(6).trimmed().constData(), nullptr, 8));
    return 0;
}

void collectProcess(const QByteArray& pid, QSet<FileIdentity>& out)
{
    const QByteArray fdFolder = "/proc/" + pid + "/fd";
    DIR* dir = ::opendir(fdFolder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!allDigits(entry->d_name))
            continue;
        const QByteArray fd = fdFolder + '/' + entry->d_name;
        struct stat info
        {
        };
        // stat follows the descriptor's link to the open file itself.
        if (::stat(fd.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const int flags = descriptorFlags("/proc/" + pid + "/fdinfo/" + entry->d_name);
        if ((flags & O_ACCMODE) == O_RDONLY)
            continue;
        out.insert(FileIdentity{quint64(info.st_dev), quint64(info.st_ino)});
    }
    ::closedir(dir);
}

} // namespace

QSet<FileIdentity> filesOpenForWriting()
{
    QSet<FileIdentity> out;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return out;
    while (const dirent* entry = ::readdir(proc))
        if (allDigits(entry->d_name))
            collectProcess(QByteArray(entry->d_name), out);
    ::closedir(proc);
    return out;
}

FileIdentity fileIdentityOf(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
}
