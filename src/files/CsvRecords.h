#pragma once

#include "files/TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The comma-separated text of the settings files of both kinds: a fixed number of fields to a
// line, every line ended by CR LF. The text encoding is TextEncoding's.
//
// Quoting. The layout writes no field in quotes. A file written so holds its notes bare: a
// note with a comma or a double quote stands in its line as it is, and a comma in it is told
// from the commas between the fields by the fields that follow the note, which are always
// empty (Records). Such a file is written back the same way
// (FileForm::bareNotes), so it keeps every byte. Tables that did not come from such a file
// write a field that contains a comma, a double quote, a CR or an LF in double quotes with
// every inner double quote doubled, so it reads back as one field, and every other field
// unquoted. A note that cannot stand bare (it holds a line end, or its bare text would read
// back otherwise, as "x" with its quotes would) is quoted in either form.
//
// Reading. Every line is one record: a line end (CR LF, LF CR, LF or CR) ends the line, a
// comma ends a field, and a field that begins with a double quote runs to its closing quote
// (a doubled quote inside is one quote; commas and line ends inside belong to the field)
// when a comma, a line end or the end of the text follows that quote; when anything else
// follows it, the field stood bare and is read as it stands up to the next comma ("5" pipe"
// stays 5" pipe"). A line with fewer fields than a record has reads the missing ones as
// empty; a line with more is reported (overlongLine()). A last line cut short by the end of
// the file, without its line end and with fewer fields than a record, does not count. Field
// texts are kept as they are (no blanks are trimmed).
namespace CsvRecords {

using TextEncoding::Encoding;

// How a file writes its text: its encoding, and whether its notes stand bare. A file opened
// and saved unchanged is written in the form it was read in; new tables take the default.
struct FileForm {
    Encoding encoding = Encoding::Utf8;
    bool bareNotes = false;

    bool operator==(const FileForm&) const = default;
};

// A field in quotes where it holds a comma, a double quote, a CR or an LF; else as it stands.
QString quoteField(const QString& field);
// The lines of the text, each split into its fields (see "Reading" above). lastLineEnded
// tells whether the last line ended with a line end; bareQuote whether a field that stood
// bare holds a double quote.
QList<QStringList> splitLines(const QString& text, bool* lastLineEnded = nullptr,
                              bool* bareQuote = nullptr);
// One line of fieldCount fields (missing ones empty), joined by commas, ended by CR LF. The
// field bareField, a note, stands bare where it reads back so (see "Quoting" above).
QString joinLine(const QStringList& fields, int fieldCount, int bareField = -1);

// Where a layout's notes stand: field `field` of the lines firstLine to firstLine + lines - 1
// (1-based). Their characters decide the code page of a file (TextEncoding), and they may hold
// their commas bare.
struct NoteFields {
    int field = -1;
    int firstLine = 0;
    int lines = 0;
};

// The lines of a file read as records of fieldCount fields, at most maxRecords of them. A note
// that stood bare with its commas is one field again: when a note's line holds more fields
// than a record has and its last fields, as many as a record has after the note, are empty,
// the fields from the note up to them are joined by their commas into the note. Otherwise the
// line stays as read (and is overlong).
class Records {
  public:
    Records(const QByteArray& bytes, int fieldCount, int maxRecords, const NoteFields& notes = {});
    // Records read.
    int count() const { return int(m_lines.size()); }
    // Field f (0-based) of the record on 1-based line `line`; empty when that line or field
    // is missing.
    QString field(int line, int f) const;
    // The very first field of the file (empty for an empty file).
    QString first() const;
    // The first line that holds more fields than a record has (0 when none), and how many it
    // holds.
    int overlongLine() const;
    int overlongFields() const;
    // The encoding the file was read in, and whether its notes stood bare (a comma taken into
    // a note, or a double quote inside a field that stood bare).
    FileForm form() const { return {m_encoding, m_bareNotes}; }

  private:
    // The lines of a reading, cut to the records read, notes joined again; bareNotes is set
    // when a note was joined or a field that stood bare holds a double quote.
    QList<QStringList> linesOf(const QString& text, int maxRecords, const NoteFields& notes,
                               bool& bareNotes) const;

    QList<QStringList> m_lines;
    int m_fieldCount = 0;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bareNotes = false;
};

} // namespace CsvRecords
