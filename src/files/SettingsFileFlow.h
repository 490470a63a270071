#pragma once

#include "files/CsvRecords.h"
#include "operator/OperatorInteraction.h"
#include "tables/TableProblem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>

struct ParameterRow;

// Why a settings file is refused; None when it was accepted.
enum class SettingsFileError {
    None,
    NotSettingsFile, // the first field is not "QRX"
    TooFewRecords,   // fewer complete records than the layout needs
    BadValue,        // a value that is no number, a mode that is none, an overlong note
    UnsupportedType, // the actuator type of the file is not 30 to 33
    BadLine,         // a line with more fields than a line has, or not the line its place needs
};

// Why a file was refused, for the operator.
struct ReadRefusal {
    QString reason;   // with the line: "line 7, Point 5, Speed: ..." (beside Open's text)
    QString value;    // a refused value without the line: "Point 5, Speed: ..."
    QString ruleText; // the entry check's own message for a refused value, if it has one
};

namespace SettingsFileFlow {
// What every read of a settings file reports; each kind adds its tables.
struct ReadHead : ReadRefusal {
    bool ok = false;
    SettingsFileError error = SettingsFileError::None;
    QString actuatorType;      // the text of parameter 0, blanks dropped (also when unsupported)
    int records = 0;           // complete records read, at most the layout's line count
    CsvRecords::FileForm form; // how the file writes its text: what Save As writes back
};
} // namespace SettingsFileFlow

// What one kind's settings file is to the shared New, Open and Save As sequences: its tables,
// their modified flag ("Change"), the file's layout and the window caption. The form of the
// file the tables were opened from (its encoding, its bare notes) is kept here alike for every
// kind: Open takes it from the file, New resets it, Save As writes it back.
class SettingsFileKind {
  public:
    virtual ~SettingsFileKind() = default;

    // The window caption after Save As: this prefix directly followed by the full path.
    virtual QString captionPrefix() const = 0;
    virtual void setCaption(const QString& caption) = 0;

    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;

    // The whole file for the current tables as text, its notes bare with bareNotes.
    virtual QString fileText(bool bareNotes) const = 0;
    // Reads and checks a whole file without touching the tables; after the error None,
    // takeFile() puts what was read into the tables. A refusal says why (reason: "line 7,
    // Point 5, Speed: "5O" is not a number"; value: the same without the line).
    virtual const SettingsFileFlow::ReadHead& checkFile(const QByteArray& bytes) = 0;
    virtual void takeFile() = 0;
    // The type of the current tables, and New: the tables as a new file has them (that
    // type's defaults). resetTables() is only called for a supported type.
    virtual QString actuatorType() const = 0;
    virtual void resetTables() = 0;

    const CsvRecords::FileForm& fileForm() const { return m_form; }
    void setFileForm(const CsvRecords::FileForm& form) { m_form = form; }
    // The whole file in the form of the tables' file (UTF-8 where its code page cannot hold
    // every character).
    QByteArray fileBytes() const {
        return TextEncoding::encode(fileText(m_form.bareNotes), m_form.encoding);
    }

  private:
    CsvRecords::FileForm m_form;
};

// New, Open and Save As of the settings files of both kinds. Every sequence talks to the
// operator only through OperatorInteraction.
//
//   - saveAs() returns true when the file was written completely (AtomicFile: a failed save
//     never destroys the previous file, a read-only target is not overwritten, and neither
//     is anything that is not a regular file). It then sets the caption and clears the
//     modified flag. The file is written in the form of the file the tables were opened
//     from, so a file opened and saved unchanged keeps every byte. A note that the file's
//     code page cannot hold is not written in another encoding behind the operator's back:
//     Save As asks whether to write the whole file in UTF-8 (No: nothing is written). Tables
//     that would make a file Open refuses are not saved: the message names the row and
//     field (beside the entry check's own message where it has one).
//   - open() reads only a regular file of at most BoundedFile::SettingsFileMaxBytes (a FIFO
//     or a device is refused without waiting or filling memory) and checks the whole file
//     before it changes anything; any refusal (a file that cannot be read, a wrong
//     first field, too few records, a malformed value, an unsupported actuator type) leaves
//     the tables and the flag as they were and tells the operator why: "Cannot open file."
//     with the reason beside it. An unsupported type does not end the program. The modified
//     flag and the caption stay as they were.
//   - newFile() resets the tables to the current type's defaults and clears the flag.
//   - confirmDiscard() is the "Do you save data?" question with its Save As: true when the
//     caller may go on (the flag was clear, No, or Yes and a completed save).
namespace SettingsFileFlow {

// The first field of every settings file, and the mark of a parameter number the kind's
// table does not hold.
inline const QString HeaderWord = QStringLiteral("QRX");
inline const QString NotHeld = QStringLiteral("**");

QString saveTitle();
QString openTitle();
QString fileFilter();
QString completeText();

// Reads and checks a whole file, as SettingsFileKind::checkFile() does, and tells how it went
// (the error and, for a refusal, why).
using FileCheck = std::function<const ReadHead&(const QByteArray& bytes)>;
// The reading half of Open: the open dialog titled title (the settings file filter), then the
// chosen file read (a regular file within the cap) and checked by check, a refusal told as
// Open tells it. True when the file passed; false when the dialog was cancelled or the file
// refused (chosen, when given, tells whether a file was picked at all). Compare with file
// reads through it too.
bool chooseAndCheck(OperatorInteraction& op, const QString& title, const FileCheck& check,
                    bool* chosen = nullptr);

// The checking half of that: bytes already read (a version of the controller history) checked
// by check, a refusal told as Open tells it. True when they passed.
bool checkRead(OperatorInteraction& op, const FileCheck& check, const QByteArray& bytes);

// Why Save As would not write these bytes of the kind's tables: a file larger than a settings
// file may be, or one Open would refuse (value: the row and field; ruleText: the entry
// check's message). Empty when it would write them. The command line's backup checks with it
// too, so it never writes a file that Open later refuses.
ReadRefusal saveRefusal(SettingsFileKind& kind, const QByteArray& bytes);

bool confirmDiscard(OperatorInteraction& op, SettingsFileKind& kind);
bool saveAs(OperatorInteraction& op, SettingsFileKind& kind);
bool open(OperatorInteraction& op, SettingsFileKind& kind);
bool newFile(OperatorInteraction& op, SettingsFileKind& kind);
// Open of a file already read (a version of the controller history) as new unsaved tables:
// the save question, the whole file checked (a refusal told as Open tells it), the tables
// and the file's form taken, the modified flag set. True when the tables were replaced.
bool openUnsaved(OperatorInteraction& op, SettingsFileKind& kind, const QByteArray& bytes);

// A kind's file layout as the reading needs it.
struct Layout {
    int fieldCount;     // fields to a record
    int lineCount;      // records read at the most
    int minimumRecords; // complete records a file must have
    int typeLine;       // 1-based line of parameter 0, the actuator type
    QString tableKey;   // first field of the table lines: "P" (P0= ...), "Z" (Z0= ...)
    int tableRows;      // table lines, from line 2 on
    int noteField;      // 0-based field of a table line's note; the fields after it are empty
};
// The records of a file and the check every settings file starts with: its first field is
// "QRX", no line holds more fields than a line has (a table line's note may hold its commas
// bare: CsvRecords::Records), enough records are complete, every line read
// begins with the key its place needs ("P5=", "PRM7="), and parameter 0 names a supported
// actuator type. The kind reads its tables from the records only when head.error stays None.
CsvRecords::Records readHead(const QByteArray& bytes, const Layout& layout, ReadHead& head);
// Marks head refused for a value on 1-based line `line`; returns BadValue.
SettingsFileError refuseValue(ReadHead& head, int line, const TableProblem& problem);
// Reads a whole file of a layout: the head check, then fill(records, result) reads the kind's
// tables and returns what it refused (None when every value passed). result.ok is set only
// when nothing was refused.
template <typename Result, typename Fill>
Result readFile(const QByteArray& bytes, const Layout& layout, Fill fill) {
    Result result;
    const CsvRecords::Records records = readHead(bytes, layout, result);
    if (result.error == SettingsFileError::None)
        result.error = fill(records, result);
    result.ok = result.error == SettingsFileError::None;
    return result;
}
// The whole file of a layout as text: the "QRX" line, the kind's table records (their notes
// in field noteField, bare with bareNotes), an empty line, the lines "PRM<n>=" for n = 0 to
// 63 with the Setting Value of a number the parameter table holds or "**", then the ending.
// Every line has fieldCount fields and ends with CR LF.
QString composeText(int fieldCount, const QList<QStringList>& tableRecords, int noteField,
                    bool bareNotes, std::span<const ParameterRow> parameters,
                    const QString& ending);

} // namespace SettingsFileFlow
