#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The comma-separated text of the settings files of both kinds: a fixed number of fields to a
// record, every line ended by CR LF.
//
// Text encoding. Files are written as UTF-8 without a byte order mark, so a file of plain
// ASCII text is byte for byte the fixed layout of its kind, and notes in any script read back
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
// quote inside is one quote; commas and line ends inside belong to the field). A fixed number
// of fields in a row make one record regardless of where the lines break; a record cut short
// by the end of the file does not count. Field texts are kept as they are (no blanks are
// trimmed).
namespace CsvRecords {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);
QString quoteField(const QString& field);
// Fields of the text in reading order (see "Reading" above).
QStringList splitFields(const QString& text);
// One line of fieldCount fields (missing ones empty), joined by commas, ended by CR LF.
QString joinLine(const QStringList& fields, int fieldCount);

// The fields of a file read fieldCount to a record, at most maxRecords records.
class Records {
  public:
    Records(const QByteArray& bytes, int fieldCount, int maxRecords);
    // Complete records read.
    int count() const { return m_count; }
    // Field f (0-based) of the record on 1-based line `line`; empty when that line is missing.
    QString field(int line, int f) const;
    // The very first field of the file (empty for an empty file).
    QString first() const { return m_fields.value(0); }

  private:
    QStringList m_fields;
    int m_fieldCount;
    int m_count;
};

} // namespace CsvRecords
