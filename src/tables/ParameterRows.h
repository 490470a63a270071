#pragma once

#include "tables/TableProblem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <utility>

class OperatorInteraction;

// One row of a parameter table, as both kinds hold it. Every field is the text of its cell.
struct ParameterRow {
    int number = 0;  // the controller's parameter number
    QString setting; // Setting Value: edited and transmitted
    QString range;   // Setting Range text
    QString initial; // Initial Value: the type's default
    QString name;    // Note column: the parameter's name

    bool operator==(const ParameterRow&) const = default;
};

// Rules that the parameter tables of both kinds share. The first row of a table is always
// the actuator type (parameter 0).
namespace ParameterRows {

// Lower and upper bound of a numeric range text ("1 to 100 (%)" -> 1, 100): the text before
// " to " and the text between " to " and " (". None for a choice text, for a text without
// " (" (the actuator type row) or when either bound is not a number.
std::optional<std::pair<float, float>> bounds(const QString& range);

// The check after the operator edited a row's Setting Value. Choice rows (a ":" in the range
// text) accept exactly "0" or "1"; numeric rows accept a plain number within the bounds of
// the range text, compared in single precision; the type row never keeps an edit. An
// invalid value is replaced silently by the Initial Value; returns whether the value stayed.
bool checkEdit(ParameterRow& row);

// Whether the Setting Value of a row (not the type row) is one the controller takes: as the
// edit check, exactly "0" or "1" for a choice and a plain number within the range text's
// bounds otherwise, and beyond the edit check a whole number (the edit check keeps a typed
// "5.5"; the controller stores whole numbers, so it is refused before anything is written).
// An empty value is a problem unless emptyAllowed (a file may leave a parameter out). None
// when the value is taken.
std::optional<TableProblem> valueProblem(const ParameterRow& row, bool emptyAllowed = false);

// The values of a type default list: every value is followed by a comma.
QStringList listValues(const QString& defaultList);
// Value k of a default list into the Initial Value of row k, and with alsoSetting into its
// Setting Value too.
void takeDefaults(std::span<ParameterRow> rows, const QString& defaultList, bool alsoSetting);

// One row of a kind's table layout: number, name and range text.
struct RowDef {
    int number;
    const char* name;
    const char* range;
};
// The numbers of a layout, in row order.
QList<int> numbersOf(std::span<const RowDef> layout);
// The rows of a layout with the values of a default list as initial and setting values.
void buildRows(std::span<const RowDef> layout, std::span<ParameterRow> rows,
               const QString& defaultList);

// The row of parameter number n, or -1 when the table does not hold it.
int rowOf(std::span<const ParameterRow> rows, int number);

// "Controller type is different." (title "Controller type", warning icon): the answer to an
// actuator type that has no default list; the second form then ends the program.
void reportUnsupportedType(OperatorInteraction& op);
void reportUnsupportedTypeAndEnd(OperatorInteraction& op);

// The status bar text for an origin point shift given in 0.01 mm: "Origin point shift: "
// and the value / 100 in the form "0.00" (0.00 when it is not a number).
QString originShiftText(const QString& hundredths);

} // namespace ParameterRows
