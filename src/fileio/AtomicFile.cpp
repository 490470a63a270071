#include "fileio/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace AtomicFile {

namespace {

QString linkReason(const QString& path) {
    const QString target = QFileInfo(path).symLinkTarget();
    return target.isEmpty()
               ? QStringLiteral("it is a symbolic link, not a file: nothing is written through it")
               : QStringLiteral("it is a symbolic link to %1, not a file: nothing is written "
                                "through it")
                     .arg(target);
}

#ifdef Q_OS_UNIX
// Why a path of this kind is not replaced; empty for a regular file.
QString kindReason(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a FIFO, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    if (!S_ISREG(mode))
        return QStringLiteral("it is not a regular file");
    return {};
}

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// The save that never follows a link at the path: the folder is opened once and every later
// step names the file relative to it. The temporary file is created anew (never through a
// link), and just before the rename the target is looked at again without following links.
// A rename replaces the directory entry itself: even a link planted between that last look
// and the rename is replaced in this folder, never written through.
Result writeRefusingLinks(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    const QByteArray name = QFile::encodeName(info.fileName());
    if (name.isEmpty())
        return {false, QStringLiteral("no file named")};
    Descriptor dir;
    dir.fd = ::open(QFile::encodeName(info.absolutePath()).constData(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd < 0)
        return {false, qt_error_string(errno)};

    // Whether the target may be replaced; its mode when it is a regular file.
    const auto look = [&](mode_t* mode) -> QString {
        struct stat st {};
        if (::fstatat(dir.fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? QString() : qt_error_string(errno);
        if (S_ISLNK(st.st_mode))
            return linkReason(path);
        if (const QString why = kindReason(st.st_mode); !why.isEmpty())
            return why;
        if (!(st.st_mode & S_IWUSR))
            return QStringLiteral("it is read-only");
        if (mode)
            *mode = st.st_mode & 07777;
        return {};
    };
    mode_t mode = 0;
    if (const QString why = look(&mode); !why.isEmpty())
        return {false, why};

    QByteArray temporary;
    Descriptor out;
    for (int attempt = 0; attempt < 100 && out.fd < 0; ++attempt) {
        temporary = name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        out.fd = ::openat(dir.fd, temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (out.fd < 0 && errno != EEXIST)
            return {false, qt_error_string(errno)};
    }
    if (out.fd < 0)
        return {false, qt_error_string(EEXIST)};
    const auto fail = [&](const QString& why) -> Result {
        ::unlinkat(dir.fd, temporary.constData(), 0);
        return {false, why};
    };
    // A replaced file keeps its permissions; a new one gets the umask's.
    if (mode != 0 && ::fchmod(out.fd, mode) != 0)
        return fail(qt_error_string(errno));
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(out.fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(qt_error_string(n < 0 ? errno : ENOSPC));
        done += n;
    }
    if (::fsync(out.fd) != 0)
        return fail(qt_error_string(errno));
    const int closed = ::close(out.fd);
    out.fd = -1;
    if (closed != 0)
        return fail(qt_error_string(errno));
    if (const QString why = look(nullptr); !why.isEmpty())
        return fail(why);
    if (::renameat(dir.fd, temporary.constData(), dir.fd, name.constData()) != 0)
        return fail(qt_error_string(errno));
    return {true, {}};
}
#endif

} // namespace

QString notReplaceable(const QString& path, Links links) {
    const QFileInfo info(path);
    if (links == Links::Refuse && info.isSymLink())
        return linkReason(path);
#ifdef Q_OS_UNIX
    // The kind of whatever the path leads to (through links), told apart for the operator.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        if (const QString why = kindReason(st.st_mode); !why.isEmpty())
            return why;
#endif
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file");
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("it is read-only"); // marked read-only: never overwrite it
    return {};
}

Result writeWhole(const QString& path, const QByteArray& bytes, Links links) {
    if (const QString why = notReplaceable(path, links); !why.isEmpty())
        return {false, why};
#ifdef Q_OS_UNIX
    if (links == Links::Refuse)
        return writeRefusingLinks(path, bytes);
#endif
    // Unbuffered, so that a short write (disk full, size limit) shows in the count written
    // here: a buffered file that fails only while flushing at commit would still be renamed
    // over the previous one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return {false, why};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace AtomicFile
