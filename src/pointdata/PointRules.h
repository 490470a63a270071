#pragma once

#include "pointdata/PointData.h"
#include "tables/CellText.h"
#include "tables/TableProblem.h"

#include <QString>
#include <QStringList>
#include <optional>

class OperatorInteraction;

// Rules of the point table: the entry filter, the check after a cell changes, and the
// validity of a point before the table is transmitted.
namespace PointRules {

enum Column { ColNumber, ColMode, ColPosition, ColSpeed, ColPush, ColNote, ColumnCount };

// The text field of a point shown in the column; null for the point number column.
QString* field(PointRecord& point, int column);
const QString* field(const PointRecord& point, int column);

// Entry filter: whether a character typed into a cell of the column is accepted.
// Control characters (backspace and the like) always pass.
bool acceptsCharacter(int column, QChar c);
// Whether every character of a text passes the column's entry filter (used for pastes).
bool acceptsText(int column, const QString& text);

// Fixed message texts of the change check.
inline const QString ErrorTitle = QStringLiteral("error");
inline const QString SpeedRangeWide = QStringLiteral("Please set a value within 1 to 120 mm/s.");
inline const QString SpeedRangePush = QStringLiteral("Please set a value within 1 to 10 mm/s.");
inline const QString PushLevelRange = QStringLiteral("Please set a value within 1 to 10.");

// Check after the text of cell (row, column) changed: normalises the row and shows a
// message through op for a rejected speed or pushing level, emptying that cell. With
// teachingSet the positions of O and C points among points 0 to 31 are cleared first
// (the teaching SET writes a position into the grid). Returns true when the table should
// be marked modified.
bool applyChange(PointTableData& table, int row, int column, OperatorInteraction& op,
                 bool teachingSet = false);

// The mode letter as the controller takes it: "A", "I", "O", "C" or "U" for exactly one of
// those ASCII letters in either case; empty for anything else (no mode, another letter, a
// letter of another script that merely looks like one).
QString modeLetter(const QString& mode);

// A point as the table stores it when it comes from a settings file, as typing would leave it:
// a mode of modeLetter() in upper case ("u" becomes "U"), and the field the mode does not use
// emptied (the pushing level of A and I points, the position of O and C points). Any other
// mode text, and the other fields, stay as they are.
void tidyAsStored(PointRecord& point);

// Whether a point holds only what the controller takes whatever its type and stroke: a mode
// of modeLetter() or none, and every field the mode sends a plain number within the entry
// check's range (speed 1 to 120 mm/s for A, I and U and 1 to 10 for O and C, pushing level 1
// to 10) and whole where the controller stores whole numbers (speed, pushing level).
// Fields the mode does not send are not looked at; whether the point is complete, and the
// stroke and speed limits of the controller's type, are the transmission checks
// (checkPoint). The first problem, with the entry check's own message where it has one.
std::optional<TableProblem> valueProblem(const PointRecord& point, int number);

// Stroke in whole millimetres from the "Setting stroke" parameter (0.01 mm), a half going to
// the even neighbour: 2000 -> 20, 2050 -> 20, 2150 -> 22.
int strokeMillimetres(int settingStroke);

enum class Verdict { Valid, Incomplete, SpeedOutOfRange, PositionOutOfRange, LevelOutOfRange };

struct Validity {
    Verdict verdict = Verdict::Valid;
    int point = -1;      // the point that failed
    QString title;       // message box title, empty when valid
    QString text;        // message box text, empty when valid
    QString informative; // which point and field, beside a text that does not say it
    bool ok() const { return verdict == Verdict::Valid; }
    // Shows the message (OK button, no icon) when the point failed.
    void show(OperatorInteraction& op) const;
};

// Validity of one point for transmission. type is the controller's actuator type as read
// (empty while it is not known yet: no speed rule for modes A, I and U then); a type other
// than 30 to 33 applies the entry check's 1 to 120 mm/s to them. The O/C message shows the
// type as given. strokeMm is the stroke from strokeMillimetres(). A mode
// other than modeLetter()'s, or a field that the point sends and that is not a plain number
// exactly as it stands (blanks included), makes it incomplete; a pushing level outside 1 to 10
// is refused with the entry check's message. The controller stores speeds and pushing levels
// as whole numbers: one that is not whole (a file's "30.5") makes the point incomplete, with
// the point, field and reason beside the message.
Validity checkPoint(const PointRecord& point, int number, const QString& type, int strokeMm);
// The first failing point of the table, in point order, or Valid.
Validity checkTable(const PointTableData& table, const QString& type, int strokeMm);

// The fields a point sends, in order: mode then position/speed/pushing level by mode
// (A, I: position, speed; O, C: speed, level; U: position, speed, level). The mode goes out
// in upper case, as the table stores it ("u" is sent as "U"). Empty for a point without a
// mode of modeLetter() (such a point is not sent).
QStringList transmissionFields(const PointRecord& point);

} // namespace PointRules
