#include "fileio/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace AtomicFile {

bool writeWhole(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.isDir())
        return false;
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return false; // marked read-only: never overwrite it
    // Unbuffered, so that a short write (disk full, size limit) shows in the count written
    // here: a buffered file that fails only while flushing at commit would still be renamed
    // over the previous one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace AtomicFile
