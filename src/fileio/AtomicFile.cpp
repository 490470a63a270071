#include "fileio/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace AtomicFile {

QString notReplaceable(const QString& path) {
    const QFileInfo info(path);
#ifdef Q_OS_UNIX
    // The kind of whatever the path leads to (through links), told apart for the operator.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("it is a folder");
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return QStringLiteral("it is a device, not a file");
        if (S_ISFIFO(st.st_mode))
            return QStringLiteral("it is a FIFO, not a file");
        if (S_ISSOCK(st.st_mode))
            return QStringLiteral("it is a socket, not a file");
        if (!S_ISREG(st.st_mode))
            return QStringLiteral("it is not a regular file");
    }
#endif
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file");
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("it is read-only"); // marked read-only: never overwrite it
    return {};
}

Result writeWhole(const QString& path, const QByteArray& bytes) {
    if (const QString why = notReplaceable(path); !why.isEmpty())
        return {false, why};
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
