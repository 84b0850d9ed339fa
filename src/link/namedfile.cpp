#include "namedfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace telx5 {

namespace {

// Why a file of this kind is refused; empty when it may be used. `onPipeFs`:
// the FIFO is a pipe some program holds, not a name in a file system.
QString refusal(const struct stat &status, bool onPipeFs, bool devicesToo)
{
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode) || (S_ISFIFO(mode) && onPipeFs) ||
        (devicesToo && (S_ISCHR(mode) || S_ISBLK(mode))))
        return {};
    const QString kind = S_ISFIFO(mode)   ? QStringLiteral("a named pipe (FIFO)")
                         : S_ISSOCK(mode) ? QStringLiteral("a socket")
                         : S_ISDIR(mode)  ? QStringLiteral("a folder")
                                          : QStringLiteral("a device");
    return QStringLiteral("not a regular file but ") + kind;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

NamedFile openNamedFile(const QString &fileName, FileAccess access, bool devicesToo)
{
    NamedFile opened;
    const QByteArray path = QFile::encodeName(fileName);
    // Looked at before the open, which a FIFO for writing refuses with a
    // less clear ENXIO; a missing file is the open's to report (or create).
    struct stat status = {};
    struct statfs fileSystem = {};
    if (::stat(path.constData(), &status) == 0) {
        const bool onPipeFs =
            ::statfs(path.constData(), &fileSystem) == 0 && fileSystem.f_type == PIPEFS_MAGIC;
        opened.error = refusal(status, onPipeFs, devicesToo);
        if (!opened.error.isEmpty())
            return opened;
    }

    const int flags = access == FileAccess::Read ? O_RDONLY : O_WRONLY | O_APPEND | O_CREAT;
    const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        opened.error = systemError();
        return opened;
    }
    // The name may have come to mean another file since it was looked at.
    if (::fstat(fd, &status) != 0 || ::fstatfs(fd, &fileSystem) != 0) {
        opened.error = systemError();
        ::close(fd);
        return opened;
    }
    opened.error = refusal(status, fileSystem.f_type == PIPEFS_MAGIC, devicesToo);
    const int fdFlags = ::fcntl(fd, F_GETFL);
    if (opened.error.isEmpty() && (fdFlags < 0 || ::fcntl(fd, F_SETFL, fdFlags & ~O_NONBLOCK) != 0))
        opened.error = systemError();
    if (!opened.error.isEmpty()) {
        ::close(fd);
        return opened;
    }
    opened.fd = fd;
    opened.pipe = S_ISFIFO(status.st_mode);
    return opened;
}

} // namespace telx5
