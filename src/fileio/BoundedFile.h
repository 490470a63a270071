#pragma once

#include <QByteArray>
#include <QString>

// Reading a whole file that comes from outside the program (a settings file the operator
// picked, the INI file beside the program) without trusting what the path names:
//
//   - only a regular file is read; a FIFO, a device (/dev/zero, a terminal), a socket or a
//     folder is refused, and opening it never blocks (a FIFO without a writer would wait
//     for good);
//   - at most maxBytes + 1 bytes are read, so a file beyond the cap is refused without being
//     taken into memory, whatever size the system reports for it;
//   - nothing is interpreted here: callers check the whole content before they change
//     anything, and change nothing when the content is refused.
namespace BoundedFile {

// Settings files of both kinds are a few kilobytes; 64 notes of the longest length allowed
// (NoteText) stay far below this.
inline constexpr qint64 SettingsFileMaxBytes = 1024 * 1024;

enum class Status {
    Ok,
    CannotOpen,     // missing, no permission, empty path
    NotRegularFile, // FIFO, device, socket, folder
    TooLarge,       // more than maxBytes
    ReadFailed,     // the system reported an error while reading
};

struct Result {
    Status status = Status::CannotOpen;
    QByteArray bytes; // the whole file when status is Ok, else empty
    QString reason;   // why it was not read, for the operator; empty when ok
    bool ok() const { return status == Status::Ok; }
};

Result read(const QString& path, qint64 maxBytes);

} // namespace BoundedFile
