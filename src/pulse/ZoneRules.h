#pragma once

#include "pulse/PulseData.h"
#include "tables/TableProblem.h"

#include <QString>
#include <optional>

// Rules of the zone table: the key filter, the check after a cell changed and the
// consistency of a zone before the table is transmitted. Positions are in mm within -40.00
// and 40.00; a zone whose A and B are both empty is not set.
namespace ZoneRules {

enum Column { ColNumber, ColA, ColB, ColNote, ColumnCount };

inline constexpr double Limit = 40.0;
inline const QString ErrorTitle = QStringLiteral("error");
inline const QString RangeText = QStringLiteral("Please set a value as -40.00 -- 40.00mm.");

// Key filter: positions take only the digits, "-" and "." (control keys such as backspace
// always pass); the note takes everything.
bool acceptsCharacter(int column, QChar c);
bool acceptsText(int column, const QString& text);

// The check of one position cell after an edit: an empty text stays empty; otherwise the
// number the text begins with must lie within -40 and 40 and the cell becomes that number in
// the form "0.00" (5 -> "5.00", -3.456 -> "-3.46"). Outside the range: none (the caller shows
// RangeText and empties the cell).
std::optional<QString> checkPosition(const QString& text);

// Whether the positions of zone n are what the controller takes: each empty or a plain
// number within -40.00 and 40.00 (RangeText where it is not). None when they are.
std::optional<TableProblem> valueProblem(const ZoneRecord& zone, int n);

enum class Verdict {
    Skipped,    // A and B both empty: the zone is not set
    Incomplete, // exactly one of A and B is empty
    Rejected,   // the range runs the wrong way, or A equals B
    Accepted,
};

// A position as the zone grid shows it and the zone data line carries it: a plain number
// (blanks around it dropped) in the form "0.00" (".5" -> "0.50", "-0" -> "0.00", "12" ->
// "12.00"); any other text as it stands.
QString shown(const QString& position);

// The fields of a zone's data line: A and B as shown, "-10.00,20.00". A position kept as a
// file or a reply wrote it goes out as the grid shows it.
QString transmissionText(const ZoneRecord& zone);

// The consistency of a zone, with A and B read as the numbers they begin with: a positive A
// needs B above it, a negative A needs B below it, A = 0 takes any other B; A and B shown
// alike are rejected (a kept "3" and a typed "3.00" both go out as 3.00).
Verdict consistency(const ZoneRecord& zone);

struct TableVerdict {
    Verdict verdict = Verdict::Accepted;
    int zone = -1; // the first zone that is incomplete or rejected
};
// The first zone, in order 0 to 3, that is incomplete or rejected; Accepted when none is.
TableVerdict checkTable(const ZoneTableData& zones);

} // namespace ZoneRules
