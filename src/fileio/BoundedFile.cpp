#include "fileio/BoundedFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace BoundedFile {

namespace {
constexpr qint64 ChunkBytes = 64 * 1024;

Result refused(Status status, const QString& reason) {
    return {status, {}, reason};
}

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("larger than %1 KiB, far larger than a settings file")
        .arg(maxBytes / 1024);
}
} // namespace

#ifdef Q_OS_UNIX

namespace {
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace

Result read(const QString& path, qint64 maxBytes) {
    if (path.isEmpty())
        return refused(Status::CannotOpen, QStringLiteral("no file named"));
    const QByteArray native = QFile::encodeName(path);
    Descriptor d;
    // O_NONBLOCK keeps the open itself from waiting (a FIFO without a writer); the type is
    // then checked on the open descriptor, so the file cannot be swapped in between.
    do {
        d.fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (d.fd < 0 && errno == EINTR);
    if (d.fd < 0)
        return refused(Status::CannotOpen, qt_error_string(errno));
    struct stat st {};
    if (::fstat(d.fd, &st) != 0)
        return refused(Status::ReadFailed, qt_error_string(errno));
    if (S_ISDIR(st.st_mode))
        return refused(Status::NotRegularFile, QStringLiteral("it is a folder"));
    if (!S_ISREG(st.st_mode))
        return refused(Status::NotRegularFile,
                       QStringLiteral("it is a device, a FIFO or a socket, not a file"));
    if (st.st_size > maxBytes)
        return refused(Status::TooLarge, tooLarge(maxBytes));
    const int flags = ::fcntl(d.fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(d.fd, F_SETFL, flags & ~O_NONBLOCK);

    // The reported size is only a hint: the file may grow while it is read.
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(st.st_size, maxBytes) + 1));
    qint64 total = 0;
    for (;;) {
        const qint64 want = std::min<qint64>(ChunkBytes, maxBytes + 1 - total);
        bytes.resize(qsizetype(total + want));
        const ssize_t got = ::read(d.fd, bytes.data() + total, size_t(want));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return refused(Status::ReadFailed, qt_error_string(errno));
        }
        total += got;
        if (got == 0 || total > maxBytes)
            break;
    }
    if (total > maxBytes)
        return refused(Status::TooLarge, tooLarge(maxBytes));
    bytes.resize(qsizetype(total));
    return {Status::Ok, bytes, {}};
}

#else

Result read(const QString& path, qint64 maxBytes) {
    if (path.isEmpty())
        return refused(Status::CannotOpen, QStringLiteral("no file named"));
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refused(Status::NotRegularFile, QStringLiteral("it is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(Status::CannotOpen, file.errorString());
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(Status::ReadFailed, file.errorString());
    if (bytes.size() > maxBytes)
        return refused(Status::TooLarge, tooLarge(maxBytes));
    return {Status::Ok, bytes, {}};
}

#endif

} // namespace BoundedFile
