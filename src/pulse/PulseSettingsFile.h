#pragma once

#include "files/SettingsFileFlow.h"
#include "pulse/PulseData.h"

#include <QByteArray>
#include <QString>

// The pulse-train kind's settings file: a comma-separated text of 70 lines with 5 fields,
// every field followed by a comma.
//
//   line 1         "QRX" and four empty fields                           (QRX,,,,,)
//   lines 2..5     "Z<n>=", position A, position B, note, empty          (n = 0..3)
//   line 6         five empty fields
//   lines 7..70    "PRM<n>=", Setting Value or "**", three empty fields   (n = 0..63)
//
// Every line ends with CR LF, and one further CR LF follows line 70. The twelve numbers the
// parameter table holds (0, 4, 5, 10, 22, 35, 36, 37, 38, 39, 43, 53) carry their Setting
// Value, every other number "**". Zone fields are the grid texts as they stand. Text
// encoding and quoting are those of TextEncoding and CsvRecords: a file is written back in
// the form it was read in (SettingsFileFlow::ReadHead::form).
//
// Reading. Each line is one record of six fields (the five fields and the empty one after the
// last comma); lines after the 70th are ignored. The whole file is checked before anything of
// it is used: the first field must be "QRX", no line may hold more than six fields, at least
// 69 records must be there (the last parameter line may be missing), every line must begin
// with its own key ("Z2=", "PRM35="), parameter 0 must name an actuator type 30 to 33
// (blanks around it dropped), the eleven other held parameters must be plain numbers, zone
// positions empty or plain numbers (blanks around them are dropped), and notes must fit
// NoteText (a note may hold its commas bare: CsvRecords::Records); result.reason says which
// line and field broke a rule. Whatever the window's editing and Receive put into the tables
// is read back: a value outside its range (a parameter received outside its Setting Range, a
// position beyond 40.00) is read as it stands, and Transmit refuses it before anything in the
// controller is erased. A zone's B is given the form "0.00"; A and the note are taken as they
// stand.
namespace PulseSettingsFile {

inline constexpr int LineCount = 70;
inline constexpr int FieldCount = 6; // five fields, each followed by a comma
inline constexpr int MinimumRecords = 69;
inline constexpr int FirstZoneLine = 2;      // 1-based line of zone 0
inline constexpr int FirstParameterLine = 7; // 1-based line of parameter 0
inline constexpr int ParameterNumbers = 64;  // parameter lines PRM0= to PRM63=
inline constexpr int NoteField = 3;          // 0-based field of a zone line's note

using ReadError = SettingsFileError;

struct ReadResult : SettingsFileFlow::ReadHead {
    ZoneTableData zones;
    PulseParameterData parameters; // the type's table with the Setting Values of the file
};

// The whole file as text, the notes bare with bareNotes.
QString text(const ZoneTableData& zones, const PulseParameterData& parameters,
             bool bareNotes = false);
// The whole file in the form given (the one the tables' file was read in; UTF-8 and notes
// quoted where needed for new tables).
QByteArray write(const ZoneTableData& zones, const PulseParameterData& parameters,
                 const CsvRecords::FileForm& form = {});
ReadResult read(const QByteArray& bytes);

} // namespace PulseSettingsFile
