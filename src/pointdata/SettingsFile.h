#pragma once

#include "files/SettingsFileFlow.h"
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
// Text encoding and quoting are those of TextEncoding and CsvRecords: a file is written back
// in the form it was read in (SettingsFileFlow::ReadHead::form).
//
// Reading. Each line is one record of seven fields (CsvRecords); lines after the 131st are
// ignored. The file is accepted only when its first field is "QRX", no line holds more than
// seven fields (a point's note may hold its commas bare: CsvRecords::Records), it holds at
// least 97 records (the points and parameters 0 to 30), every line begins with its own key
// ("P5=", "PRM7="), parameter 0 names a supported actuator type (blanks around it dropped),
// every Position, Speed and Pushing level and every held parameter's Setting Value is empty
// or a plain decimal number (blanks around it are dropped; "**" marks a parameter that keeps
// its initial value), every mode is empty or one of A, I, O, C and U in either case, and
// every note fits NoteText; result.reason says which line and field broke a rule. Whatever
// the program's own editing and Receive put into the tables is read back: values outside the
// ranges of the entry checks (a C point with speed 40, a position beyond any stroke, a
// parameter received outside its Setting Range, a fraction) are read as they stand, and
// Transmit refuses them before anything in the controller is erased. Nothing of the result is
// meaningful unless the whole check passed.
namespace SettingsFile {

inline constexpr int LineCount = 131;
inline constexpr int FieldCount = 7;
inline constexpr int MinimumRecords = 97;
inline constexpr int FirstPointLine = 2;      // 1-based line of point 0
inline constexpr int FirstParameterLine = 67; // 1-based line of parameter 0
inline constexpr int ParameterNumbers = 64;   // parameter lines PRM0= to PRM63=
inline constexpr int NoteField = 5;           // 0-based field of a point line's note

using ReadError = SettingsFileError;

struct ReadResult : SettingsFileFlow::ReadHead {
    PointTableData points;
    ParameterTableData parameters;
};

// The whole file for the two tables as text, the notes bare with bareNotes.
QString text(const PointTableData& points, const ParameterTableData& parameters,
             bool bareNotes = false);
// The whole file in the form given (the one the tables' file was read in; UTF-8 and notes
// quoted where needed for new tables).
QByteArray write(const PointTableData& points, const ParameterTableData& parameters,
                 const CsvRecords::FileForm& form = {});

// Reads and checks a whole file. The tables of the result are complete tables: the parameter
// table is the actuator type's table (names, ranges, initial values) with the Setting Values
// of the file; a held parameter whose line is missing gets an empty Setting Value, and one
// whose line carries "**" keeps the type's initial value. A non-empty Position is given two
// decimals; a point is stored as typing would leave it (PointRules::tidyAsStored: the mode in
// upper case, the field its mode does not use emptied); the note is taken as it stands.
ReadResult read(const QByteArray& bytes);

} // namespace SettingsFile
