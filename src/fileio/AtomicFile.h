#pragma once

#include <QByteArray>
#include <QString>

namespace AtomicFile {

struct Result {
    bool ok = false;
    QString reason; // why nothing was written, for the operator; empty when ok
    explicit operator bool() const { return ok; }
};

// What a symbolic link at the path itself means to a save.
enum class Links {
    // The link is kept and the file it names is replaced: a file the operator picked in a
    // dialog may well be reached through a link of their own.
    Follow,
    // A link is refused: an unattended run (the command line, perhaps as root) writes only
    // into the folder it was given, so a link planted there cannot lead its output elsewhere.
    Refuse,
};

// Writes the whole file or nothing, through a temporary file renamed over the target: the
// previous file stays untouched unless every byte of the new one reached the disk. Only a
// regular file is ever replaced: a target that exists and is anything else (a folder, a
// device such as /dev/null, a FIFO, a socket) is refused, and so is one marked read-only.
Result writeWhole(const QString& path, const QByteArray& bytes, Links links = Links::Follow);

// Why an existing path may not be replaced by a file; empty when it may (a regular file, or
// nothing there yet).
QString notReplaceable(const QString& path, Links links = Links::Follow);

} // namespace AtomicFile
