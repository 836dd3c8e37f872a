#include "engine/RawNameLinks.h"

#include "engine/FileJournal.h"
#include "foundation/HalvornLib.h"
#include "foundation/PathBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Subfolders tried for one link before giving up on it.
constexpr int kMaxSubfolders = 10000;

// A run's folder is named after its process, as the file journal names it,
// so that a later run can tell whether it is still alive.
QString runFolderName(const JournalOwner& owner)
{
    return QStringLiteral("%1-%2-%3").arg(owner.bootId).arg(owner.pid).arg(owner.startTime);
}

std::optional<JournalOwner> ownerOfRunFolder(const QString& name)
{
    const qsizetype startDash = name.lastIndexOf(u'-');
    const qsizetype pidDash = startDash > 0 ? name.lastIndexOf(u'-', startDash - 1) : -1;
    if (pidDash <= 0)
        return std::nullopt;
    bool pidOk = false;
    bool startOk = false;
    JournalOwner owner;
    owner.bootId = name.left(pidDash);
    owner.pid = name.mid(pidDash + 1, startDash - pidDash - 1).toLongLong(&pidOk);
    owner.startTime = name.mid(startDash + 1).toULongLong(&startOk);
    if (!pidOk || !startOk || owner.pid <= 0)
        return std::nullopt;
    return owner;
}

bool itemExists(const QByteArray& path)
{
    struct stat info
    {
    };
    return ::lstat(path.constData(), &info) == 0;
}

bool isLink(const QByteArray& path)
{
    struct stat info
    {
    };
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::optional<QByteArray> linkTarget(const QByteArray& path)
{
    char buffer[PATH_MAX];
    const ssize_t size = ::readlink(path.constData(), buffer, sizeof buffer);
    if (size <= 0 || size >= ssize_t(sizeof buffer))
        return std::nullopt;
    return QByteArray(buffer, size);
}

// A folder's entries by their bytes (QDir would decode, and lose, them).
QList<QByteArray> entriesOf(const QByteArray& folder)
{
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

// What places a link in a subfolder: the real item's folder and the name up
// to its first dot, which every subtitle pairing key of the name starts with.
QByteArray pairingKey(const QByteArray& target)
{
    const QByteArray name = nameBytes(target);
    const qsizetype dot = name.indexOf('.', 1);
    return folderBytes(target) + '/' + (dot < 0 ? name : name.left(dot));
}

// The key of the links a subfolder holds; empty when it holds none.
QByteArray keyOfSubfolder(const QByteArray& subfolder)
{
    for (const QByteArray& name : entriesOf(subfolder))
        if (const auto target = linkTarget(subfolder + '/' + name))
            return pairingKey(*target);
    return {};
}

// Removes a run's links and then its folders. Only links are removed: any
// other item found there stays, and with it the folder that holds it.
void removeRunFolder(const QByteArray& run)
{
    if (isLink(run))
        return;
    for (const QByteArray& name : entriesOf(run)) {
        const QByteArray sub = run + '/' + name;
        if (isLink(sub)) {
            ::unlink(sub.constData());
            continue;
        }
        for (const QByteArray& inner : entriesOf(sub))
            if (isLink(sub + '/' + inner))
                ::unlink((sub + '/' + inner).constData());
        ::rmdir(sub.constData());
    }
    ::rmdir(run.constData());
}

// The run folders this process used (the data folder can change while it
// runs, as it does between tests).
QStringList& ownRunFolders()
{
    static QStringList folders;
    return folders;
}

// Registered with the application object: its links go when it ends.
void removeOwnRunFolders()
{
    for (const QString& run : std::as_const(ownRunFolders()))
        removeRunFolder(QFile::encodeName(run));
    ownRunFolders().clear();
}

QString runFolder()
{
    const QString run = RawNameLinks::linksRoot() + u'/' + runFolderName(currentJournalOwner());
    if (!ownRunFolders().contains(run)) {
        if (ownRunFolders().isEmpty())
            qAddPostRoutine(removeOwnRunFolders);
        ownRunFolders().append(run);
    }
    return run;
}

// The path split into our links' root, run, subfolder and link, and what
// lies below a linked folder; empty when it is not one of our paths.
QStringList linkParts(const QString& path)
{
    const QString root = RawNameLinks::linksRoot() + u'/';
    if (!path.startsWith(root))
        return {};
    const QStringList parts = path.mid(root.size()).split(u'/');
    if (parts.size() < 3 || parts.at(0).isEmpty() || parts.at(1).isEmpty() || parts.at(2).isEmpty())
        return {};
    return parts;
}

} // namespace

namespace RawNameLinks {

QString linksRoot()
{
    return appInfo().suppDir() + QStringLiteral("/links");
}

QString usablePath(const QByteArray& path)
{
    if (roundTripsAsName(path))
        return QFile::decodeName(path);
    const QByteArray target = absolutePathBytes(path, currentFolderBytes());
    const QString decoded = QFile::decodeName(target);
    const QByteArray name = nameBytes(target);
    if (name.isEmpty() || !itemExists(target))
        return decoded;
    const QString clean = cleanFileName(name);
    const QString run = runFolder();
    const QByteArray key = pairingKey(target);
    for (int n = 1; n <= kMaxSubfolders; ++n) {
        const QString subfolder = run + u'/' + QString::number(n);
        const QString link = subfolder + u'/' + clean;
        const QByteArray linkBytes = QFile::encodeName(link);
        if (linkTarget(linkBytes) == target)
            return link; // the same item handed over again
        if (itemExists(linkBytes))
            continue;
        const QByteArray held = keyOfSubfolder(QFile::encodeName(subfolder));
        if (!held.isEmpty() && held != key)
            continue;
        if (!QDir().mkpath(subfolder))
            return decoded;
        if (::symlink(target.constData(), linkBytes.constData()) == 0)
            return link;
        if (errno != EEXIST)
            return decoded;
    }
    return decoded;
}

QStringList usablePaths(const QList<QByteArray>& paths)
{
    QStringList usable;
    for (const QByteArray& path : paths)
        usable.append(usablePath(path));
    return usable;
}

std::optional<QByteArray> realPathBytes(const QString& path)
{
    const QStringList parts = linkParts(path);
    if (parts.isEmpty())
        return std::nullopt;
    auto real = linkTarget(QFile::encodeName(linksRoot() + u'/' + parts.mid(0, 3).join(u'/')));
    if (!real)
        return std::nullopt;
    for (const QString& below : parts.mid(3))
        *real += '/' + QFile::encodeName(below);
    return real;
}

QString displayPath(const QString& path)
{
    const auto real = realPathBytes(path);
    return real ? QFile::decodeName(*real) : path;
}

QString realFolder(const QString& path)
{
    if (const auto real = realPathBytes(path))
        return usablePath(folderBytes(*real));
    return QFileInfo(path).absolutePath();
}

void removeLink(const QString& path)
{
    if (linkParts(path).size() != 3)
        return;
    const QByteArray link = QFile::encodeName(path);
    // The subfolder goes with its last link.
    if (isLink(link) && ::unlink(link.constData()) == 0)
        ::rmdir(folderBytes(link).constData());
}

void removeStale()
{
    // A dead run's partial outputs may lie below one of its linked folders:
    // the journal removes them while the links still lead there.
    FileJournal::instance().removeLeftovers();
    const QByteArray root = QFile::encodeName(linksRoot());
    for (const QByteArray& name : entriesOf(root)) {
        const auto owner = ownerOfRunFolder(QString::fromLatin1(name));
        if (owner && livingOwner(owner->pid) != *owner)
            removeRunFolder(root + '/' + name);
    }
}

} // namespace RawNameLinks
