#pragma once

#include <QByteArray>
#include <QString>

namespace AtomicFile {

// Writes the whole file or nothing, through a temporary file renamed over the target: the
// previous file stays untouched unless every byte of the new one reached the disk. A target
// that is a folder or is marked read-only is refused.
bool writeWhole(const QString& path, const QByteArray& bytes);

} // namespace AtomicFile
