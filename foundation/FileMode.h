#pragma once

#include <QString>
#include <optional>

// The permission bits of the files Vantreo finishes for the user. They are
// written under owner-only rights while unfinished, and made ordinary files
// once done: what a program that writes a new file gives it, so that a media
// server running as its own user, or a share, can read them.

// The umask in a /proc/PID/status text ("Umask:\t0022"); absent when the
// text holds none (kernels before 4.7).
std::optional<unsigned> umaskFromStatus(const QString& statusText);
// The process's umask, read without changing it (umask(2) cannot read it
// without setting it, which races with threads creating files). 022 when
// the kernel does not tell.
unsigned currentUmask();
// The mode of a normal new file: 0666 less the umask (0644 with 022, 0664
// with 002).
unsigned newFileMode();
// Gives `path` the mode of a normal new file. False, with errno telling why,
// when the file system refuses (some FUSE and SMB mounts).
bool giveNewFileMode(const QString& path);
