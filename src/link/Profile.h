#pragma once

#include <QByteArray>
#include <QString>

// INI file routines with the semantics of the classic profile functions: section and key
// names compared without regard to case; values trimmed and surrounding quotes dropped on
// read; values written as given; every other line of the file kept byte for byte (its line
// end included).
//
// The file is text in UTF-8 (a byte order mark at its start is skipped and kept) or, when it
// is not valid UTF-8, in Latin-1; lines end in CR LF or LF. Only a regular text file of at
// most MaxFileBytes is read: anything else (a folder, a FIFO, a device, binary content, a huge
// file) reads as missing, is never overwritten, and problem() says why.
namespace Profile {

inline constexpr qint64 MaxFileBytes = 64 * 1024;

// The value of key in section, cut to 254 characters; "ERROR" for a missing file, section
// or key.
QString ReadSetting(const QString& key, const QString& section, const QString& iniPath);
// Writes key=value in section, creating the section, the file and its folder when missing.
// False, with the file untouched, when it cannot be read whole or written; why then says
// what stood in the way ("it is a folder", "/home/op/.config is a file, not a folder",
// "Permission denied").
bool WriteSetting(const QString& value, const QString& key, const QString& section,
                  const QString& iniPath, QString* why = nullptr);

// Why the file at iniPath cannot be read as an INI file; empty when it can, and when there is
// no file at all (which reads as an empty one).
QString problem(const QString& iniPath);

// The same on the bytes of a file (an empty array for a missing file).
QString readFrom(const QByteArray& file, const QString& key, const QString& section);
QByteArray writeTo(const QByteArray& file, const QString& value, const QString& key,
                   const QString& section);

} // namespace Profile
