#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The comma-separated text of the settings files of both kinds: a fixed number of fields to a
// line, every line ended by CR LF.
//
// Text encoding. A file that is valid UTF-8 is read as UTF-8 (a byte order mark is allowed).
// Any other file was written in an 8-bit code page by another program: it is read in the
// Windows Japanese code page when it is valid there (notes written on Japanese systems), else
// in Windows-1252, else as Latin-1. A file is written back in the encoding it was read in, so
// a file opened and saved unchanged keeps every byte; tables that did not come from a file
// are written as UTF-8 without a byte order mark (a file of plain ASCII text is then byte for
// byte the fixed layout of its kind). Text that the file's code page cannot hold (a note
// typed in another script) is written as UTF-8, so nothing is lost.
//
// Quoting. A field is written as it stands unless it contains a comma, a double quote, a CR
// or an LF; such a field is enclosed in double quotes with every inner double quote doubled,
// so it reads back as one field. Everything else is written unquoted, which keeps files of
// ordinary notes identical to those of earlier versions.
//
// Reading. Every line is one record: a line end (CR LF, LF CR, LF or CR) ends the line, a
// comma ends a field, and a field that begins with a double quote runs to its closing quote
// (a doubled quote inside is one quote; commas and line ends inside belong to the field). A
// line with fewer fields than a record has reads the missing ones as empty; a line with more
// is reported (overlongLine()). A last line cut short by the end of the file, without its
// line end and with fewer fields than a record, does not count. Field texts are kept as they
// are (no blanks are trimmed).
namespace CsvRecords {

enum class Encoding {
    Utf8,
    Utf8WithBom,
    Japanese, // the Windows Japanese code page (Shift-JIS as Windows writes it)
    Western,  // Windows-1252
    Latin1,
};

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Utf8;
};

Decoded decode(const QByteArray& bytes);
// The text in the encoding given; UTF-8 instead when that encoding cannot hold every
// character of it.
QByteArray encode(const QString& text, Encoding encoding = Encoding::Utf8);
QString quoteField(const QString& field);
// The lines of the text, each split into its fields (see "Reading" above). complete tells
// whether the last line ended with a line end.
QList<QStringList> splitLines(const QString& text, bool* lastLineEnded = nullptr);
// One line of fieldCount fields (missing ones empty), joined by commas, ended by CR LF.
QString joinLine(const QStringList& fields, int fieldCount);

// The lines of a file read as records of fieldCount fields, at most maxRecords of them.
class Records {
  public:
    Records(const QByteArray& bytes, int fieldCount, int maxRecords);
    // Records read.
    int count() const { return int(m_lines.size()); }
    // Field f (0-based) of the record on 1-based line `line`; empty when that line or field
    // is missing.
    QString field(int line, int f) const;
    // The very first field of the file (empty for an empty file).
    QString first() const;
    // The first line read that holds more fields than a record has (0 when none), and how
    // many it holds.
    int overlongLine() const { return m_overlongLine; }
    int overlongFields() const { return m_overlongFields; }
    Encoding encoding() const { return m_encoding; }

  private:
    QList<QStringList> m_lines;
    int m_overlongLine = 0;
    int m_overlongFields = 0;
    Encoding m_encoding = Encoding::Utf8;
};

} // namespace CsvRecords
