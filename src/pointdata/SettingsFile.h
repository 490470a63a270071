#pragma once

#include "pointdata/PointData.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The point-input kind's settings file: a comma-separated text of 131 lines with 7 fields.
//
//   line 1          "QRX" and six empty fields
//   lines 2..65     "P<n>=", Mode, Position, Speed, Pushing level, Note, empty   (n = 0..63)
//   line 66         seven empty fields
//   lines 67..130   "PRM<n>=", Setting Value or "**", five empty fields         (n = 0..63)
//   line 131        seven empty fields
//
// Every line ends with CR LF; no further line follows line 131. Parameter numbers that the
// table does not hold carry "**"; the line of parameter 0 carries the actuator type.
//
// Text encoding. The file is written as UTF-8 without a byte order mark, so a file of plain
// ASCII text is byte for byte the fixed layout above, and notes in any script read back
// unchanged. Reading accepts UTF-8 (with or without a byte order mark); a file that is not
// valid UTF-8 was written in an 8-bit code page by another program and is read as
// Windows-1252 (Latin-1 where that code page is not available).
//
// Quoting. A field is written as it stands unless it contains a comma, a double quote, a CR
// or an LF; such a field is enclosed in double quotes with every inner double quote doubled,
// so it reads back as one field. Everything else is written unquoted, which keeps files of
// ordinary notes identical to those of earlier versions.
//
// Reading. The text is split into fields: a comma or a line end (CR LF, LF or CR) ends a
// field, and a field that begins with a double quote runs to its closing quote (a doubled
// quote inside is one quote; commas and line ends inside belong to the field). Seven fields
// in a row make one record regardless of where the lines break; a record cut short by the
// end of the file does not count, and records after the 131st are ignored. Field texts are
// kept as they are (no blanks are trimmed). The file is accepted only when its first field
// is "QRX", it holds at least 97 complete records (the points and parameters 0 to 30),
// parameter 0 names a supported actuator type, every Position, Speed and Pushing level and
// every held parameter's Setting Value is empty or a plain decimal number (blanks around it
// are dropped; "**" marks a parameter that keeps its initial value) and every note fits
// NoteText. A value that is not a plain number would reach the controller's line as it
// stands, so such a file is refused as a whole. Nothing of the result is meaningful unless
// the whole check passed.
namespace SettingsFile {

inline constexpr int LineCount = 131;
inline constexpr int FieldCount = 7;
inline constexpr int MinimumRecords = 97;
inline constexpr int FirstPointLine = 2;      // 1-based line of point 0
inline constexpr int FirstParameterLine = 67; // 1-based line of parameter 0
inline constexpr int ParameterNumbers = 64;   // parameter lines PRM0= to PRM63=

enum class ReadError {
    None,
    NotSettingsFile, // first field is not "QRX"
    TooFewRecords,   // fewer than 97 complete records
    UnsupportedType, // parameter 0 is not an actuator type 30..33
    BadValue,        // a value that is not a plain number, or a note that is too long
};

struct ReadResult {
    bool ok = false;
    ReadError error = ReadError::None;
    QString actuatorType; // the text of parameter 0 (also set when it is unsupported)
    int records = 0;      // complete records read, at most 131
    PointTableData points;
    ParameterTableData parameters;
};

// The whole file for the two tables.
QByteArray write(const PointTableData& points, const ParameterTableData& parameters);

// Reads and checks a whole file. The tables of the result are complete tables: the parameter
// table is the actuator type's table (names, ranges, initial values) with the Setting Values
// of the file; a held parameter whose line is missing gets an empty Setting Value, and one
// whose line carries "**" keeps the type's initial value. A non-empty Position is given two
// decimals; the mode and the note are taken as they stand.
ReadResult read(const QByteArray& bytes);

// Lower-level pieces, used by the reader and the writer and open to tests.
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);
QString quoteField(const QString& field);
// Fields of the text in reading order (see "Reading" above).
QStringList splitFields(const QString& text);

} // namespace SettingsFile
