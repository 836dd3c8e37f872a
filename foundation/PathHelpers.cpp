#include "foundation/PathHelpers.h"

#include "foundation/MakeString.h"
#include "foundation/PlatformServices.h"
#include "foundation/ToolLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool lstatPath(const QString& path, struct stat& info)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    return ::lstat(native.constData(), &info) == 0;
}

// The path without trailing slashes; the root stays "/".
QString withoutTrailingSlashes(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == u'/')
        --end;
    return path.left(end);
}

// Index of the dot that starts the last component's extension, or -1. A
// name made only of dots before the last one (".hidden", "..") has none.
qsizetype extensionDot(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= slash + 1)
        return -1;
    for (qsizetype i = slash + 1; i < dot; ++i)
        if (path[i] != u'.')
            return dot;
    return -1;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters that may stand in a URL as they are: the unreserved and the
// reserved ones of RFC 3986.
bool isLegalInURL(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::strchr("-._~:/?#[]@!$&'()*+,;=", c) != nullptr && c != '\0';
}

// Reads the names in one folder; false when the folder cannot be read.
bool readFolder(const QString& path, std::vector<std::pair<QString, bool>>& entries)
{
    const QByteArray native = QFile::encodeName(path);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return false;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat info;
                isFolder =
                    lstatPath(path + u'/' + QFile::decodeName(name), info) && S_ISDIR(info.st_mode);
            }
            entries.emplace_back(QFile::decodeName(name), isFolder);
        }
        errno = 0;
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

// Walks the tree without following symbolic links; folders that cannot be
// read are listed but not entered.
void collectSubpaths(const QString& folder, const QString& prefix, QStringList& out)
{
    std::vector<std::pair<QString, bool>> entries;
    readFolder(folder, entries);
    for (const auto& [name, isFolder] : entries) {
        const QString relative = prefix.isEmpty() ? name : prefix + u'/' + name;
        out.append(relative);
        if (isFolder)
            collectSubpaths(folder + u'/' + name, relative, out);
    }
}

qint32 readWord(QIODevice& device)
{
    char bytes[4] = {0, 0, 0, 0};
    qint64 total = 0;
    while (total < 4) {
        const qint64 n = device.read(bytes + total, 4 - total);
        if (n <= 0)
            break;
        total += n;
    }
    qint32 value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

} // namespace

bool fileExists(const QString& path)
{
    struct stat info;
    return lstatPath(path, info);
}

quint64 fileSize(const QString& path)
{
    struct stat info;
    if (!lstatPath(path, info) || info.st_size < 0)
        return 0;
    return quint64(info.st_size);
}

bool isRegularFile(const QString& path)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISREG(info.st_mode);
}

bool isWriteablePath(const QString& path)
{
    if (path.isEmpty() || fileExists(path))
        return false;
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: never clobber an item that appeared since the check above.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char text[] = "TEST";
    const ssize_t written = ::write(fd, text, 4);
    const bool closed = ::close(fd) == 0;
    ::unlink(native.constData());
    return written == 4 && closed;
}

namespace {

// Opens the item read-only (enough for fsync, for a folder too), flushes it
// and closes it. A fresh descriptor still learns of a writeback error that
// no one has been told of yet, so the writers' own descriptors are not
// needed.
DiskSync syncItem(const QString& path, int flags)
{
    if (path.isEmpty()) {
        errno = ENOENT;
        return DiskSync::Failed;
    }
    const QByteArray native = QFile::encodeName(path);
    int fd = -1;
    do
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return DiskSync::Failed;
    int status = 0;
    do
        status = ::fsync(fd);
    while (status != 0 && errno == EINTR);
    const int error = errno;
    // Not retried on EINTR: Linux has released the descriptor either way.
    ::close(fd);
    errno = error;
    if (status == 0)
        return DiskSync::Done;
    return error == EINVAL || error == EROFS ? DiskSync::Unsupported : DiskSync::Failed;
}

} // namespace

DiskSync syncFile(const QString& path)
{
    return syncItem(path, 0);
}

DiskSync syncFolder(const QString& path)
{
    return syncItem(path, O_DIRECTORY);
}

std::optional<QStringList> dirContents(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    std::vector<std::pair<QString, bool>> entries;
    if (!readFolder(path, entries))
        return std::nullopt;
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (const auto& entry : entries)
        names.append(entry.first);
    return names;
}

std::optional<QStringList> dirContentsRecursive(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    std::vector<std::pair<QString, bool>> probe;
    if (!readFolder(path, probe))
        return std::nullopt;
    QStringList out;
    collectSubpaths(withoutTrailingSlashes(path), QString(), out);
    return out;
}

std::optional<QByteArray> contents(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

QString expanded(const QString& path)
{
    if (!path.startsWith(u'~'))
        return path;
    qsizetype slash = path.indexOf(u'/');
    if (slash < 0)
        slash = path.size();
    const QString user = path.mid(1, slash - 1);
    QString home;
    if (user.isEmpty()) {
        home = QDir::homePath();
    } else {
        const QByteArray name = user.toLocal8Bit();
        std::vector<char> buffer(16384);
        struct passwd entry;
        struct passwd* result = nullptr;
        if (::getpwnam_r(name.constData(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
            !result || !result->pw_dir)
            return path;
        home = QFile::decodeName(result->pw_dir);
    }
    return withoutTrailingSlashes(home + path.mid(slash));
}

std::optional<QString> resourcePath(const QString& name)
{
    const QString dir = ToolLocator::resourcesDir();
    if (name.isEmpty() || dir.isEmpty())
        return std::nullopt;
    const QString candidate = stringByAppendingPathComponent(dir, name);
    if (!fileExists(candidate))
        return std::nullopt;
    return candidate;
}

std::optional<QUrl> resourceURL(const QString& name)
{
    const std::optional<QString> path = resourcePath(name);
    if (!path)
        return std::nullopt;
    return fileURL(*path);
}

QUrl fileURL(const QString& path)
{
    if (path.isEmpty())
        return QUrl();
    return QUrl::fromLocalFile(QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path)
                                                          : path);
}

std::optional<QUrl> URL(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

namespace {

// Which bytes of a "mailto:" text belong to the value of a header field
// ("subject=...", "body=..."). A value runs to the next "&" that starts a
// known field not seen yet; the body, which every mail link here puts last,
// runs to the end, so whatever tool output it holds stays in it. Empty for
// other URLs.
QList<bool> mailHeaderValueBytes(const QByteArray& utf8)
{
    if (!utf8.startsWith("mailto:") && !utf8.startsWith("MAILTO:"))
        return {};
    qsizetype at = utf8.indexOf('?');
    if (at < 0)
        return {};
    QList<bool> inValue(utf8.size(), false);
    QList<QByteArray> unseen = {"subject", "body", "cc", "bcc", "to", "in-reply-to"};
    ++at;
    while (at < utf8.size()) {
        const qsizetype equals = utf8.indexOf('=', at);
        if (equals < 0)
            break;
        const QByteArray name = utf8.mid(at, equals - at).toLower();
        unseen.removeAll(name);
        const qsizetype valueStart = equals + 1;
        qsizetype valueEnd = utf8.size();
        for (qsizetype amp = utf8.indexOf('&', valueStart);
             name != "body" && amp >= 0 && valueEnd == utf8.size();
             amp = utf8.indexOf('&', amp + 1)) {
            for (const QByteArray& name : unseen) {
                if (utf8.mid(amp + 1, name.size() + 1).toLower() == name + "=") {
                    valueEnd = amp;
                    break;
                }
            }
        }
        for (qsizetype i = valueStart; i < valueEnd; ++i)
            inValue[i] = true;
        at = valueEnd + 1;
    }
    return inValue;
}

} // namespace

std::optional<QUrl> escapedURL(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    const QList<bool> inMailValue = mailHeaderValueBytes(utf8);
    QByteArray escaped;
    escaped.reserve(utf8.size() * 3);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        // An existing escape stays as it is; a lone '%' would make the URL
        // invalid, so it is escaped itself.
        const bool isEscape =
            c == '%' && i + 2 < utf8.size() && isHexDigit(utf8[i + 1]) && isHexDigit(utf8[i + 2]);
        // Inside a mail header value these would end the value, start a
        // fragment or read as a blank.
        const bool endsValue =
            !inMailValue.isEmpty() && inMailValue[i] && (c == '#' || c == '&' || c == '+');
        if (isEscape || (isLegalInURL(c) && !endsValue)) {
            escaped += c;
        } else {
            static const char digits[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            escaped += '%';
            escaped += digits[byte >> 4];
            escaped += digits[byte & 0x0F];
        }
    }
    QUrl url = QUrl::fromEncoded(escaped, QUrl::StrictMode);
    if (!url.isValid())
        url = QUrl::fromEncoded(escaped, QUrl::TolerantMode);
    if (!url.isValid() || url.isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QByteArray> download(const QString& text)
{
    const std::optional<QUrl> url = URL(text);
    if (!url || !url->isLocalFile())
        return std::nullopt;
    return contents(url->toLocalFile());
}

QString pathExtension(const QString& path)
{
    const QString p = withoutTrailingSlashes(path);
    const qsizetype dot = extensionDot(p);
    return dot < 0 ? QString() : p.mid(dot + 1);
}

QString stringByDeletingPathExtension(const QString& path)
{
    const QString p = withoutTrailingSlashes(path);
    const qsizetype dot = extensionDot(p);
    return dot < 0 ? p : p.left(dot);
}

QString lastPathComponent(const QString& path)
{
    const QString p = withoutTrailingSlashes(path);
    if (p == QLatin1String("/"))
        return p;
    return p.mid(p.lastIndexOf(u'/') + 1);
}

QString stringByDeletingLastPathComponent(const QString& path)
{
    const QString p = withoutTrailingSlashes(path);
    const qsizetype slash = p.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return withoutTrailingSlashes(p.left(slash));
}

QString stringByAppendingPathComponent(const QString& path, const QString& component)
{
    if (path.isEmpty())
        return withoutTrailingSlashes(component);
    qsizetype start = 0;
    while (start < component.size() && component[start] == u'/')
        ++start;
    const QString head = withoutTrailingSlashes(path);
    const QString tail = component.mid(start);
    if (tail.isEmpty())
        return head;
    return withoutTrailingSlashes(head.endsWith(u'/') ? head + tail : head + u'/' + tail);
}

QUrl add(const QUrl& url, const QString& component)
{
    QUrl out = url;
    out.setPath(stringByAppendingPathComponent(url.path(), component));
    return out;
}

bool fileExists(const QUrl& url)
{
    return url.isLocalFile() && fileExists(url.toLocalFile());
}

std::optional<QStringList> dirContents(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    return dirContents(url.toLocalFile());
}

std::optional<QStringList> dirContentsRecursive(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    return dirContentsRecursive(url.toLocalFile());
}

void open(const QUrl& url)
{
    workspaceService().openURL(url);
}

qint32 readInt(QIODevice& device)
{
    return readWord(device);
}

float readFloat(QIODevice& device)
{
    const qint32 word = readWord(device);
    float value = 0;
    std::memcpy(&value, &word, sizeof value);
    return value;
}
