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
        return {};
    const QByteArray native = QFile::encodeName(path);
    Descriptor d;
    // O_NONBLOCK keeps the open itself from waiting (a FIFO without a writer); the type is
    // then checked on the open descriptor, so the file cannot be swapped in between.
    do {
        d.fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (d.fd < 0 && errno == EINTR);
    if (d.fd < 0)
        return {};
    struct stat st {};
    if (::fstat(d.fd, &st) != 0)
        return {Status::ReadFailed, {}};
    if (!S_ISREG(st.st_mode))
        return {Status::NotRegularFile, {}};
    if (st.st_size > maxBytes)
        return {Status::TooLarge, {}};
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
            return {Status::ReadFailed, {}};
        }
        total += got;
        if (got == 0 || total > maxBytes)
            break;
    }
    if (total > maxBytes)
        return {Status::TooLarge, {}};
    bytes.resize(qsizetype(total));
    return {Status::Ok, bytes};
}

#else

Result read(const QString& path, qint64 maxBytes) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {Status::NotRegularFile, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {Status::ReadFailed, {}};
    if (bytes.size() > maxBytes)
        return {Status::TooLarge, {}};
    return {Status::Ok, bytes};
}

#endif

} // namespace BoundedFile
