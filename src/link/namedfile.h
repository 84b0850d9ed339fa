#pragma once

#include <QString>

namespace telx5 {

// A file the user named, opened by descriptor.
struct NamedFile
{
    // Blocking; the caller owns it. -1 when the file was refused or did not
    // open.
    int fd = -1;
    // A pipe that another program holds open already (`<(…)` gives
    // /dev/fd/N, and /dev/stdin may be one): it has no size, and what is read
    // from it cannot be read again.
    bool pipe = false;
    // Why not, when `fd` is -1.
    QString error;
};

enum class FileAccess
{
    Read,
    Append, // created when missing
};

// Opens `fileName` without ever waiting in open(): there a named FIFO waits
// for its other end, and no signal handler and no event loop runs. So a named
// FIFO, a socket and a folder are refused ("not a regular file"), a pipe that
// is open already is taken, and a device (a terminal, /dev/null) only when
// `devicesToo`.
NamedFile openNamedFile(const QString &fileName, FileAccess access, bool devicesToo = false);

} // namespace telx5
