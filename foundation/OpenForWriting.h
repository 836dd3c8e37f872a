#pragma once

#include <QSet>
#include <QString>
#include <QtGlobal>

// A file as the kernel knows it: its device and inode, whatever the name.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

inline size_t qHash(const FileIdentity& id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode);
}

// The regular files some process has open for writing, as far as this
// process may look (/proc/PID/fd of the processes it can see: its user's,
// or all of them for root). Writers on other machines are never seen.
QSet<FileIdentity> filesOpenForWriting();
// The identity of the file at `path` (a link is followed); 0/0 when absent.
FileIdentity fileIdentityOf(const QString& path);
