#pragma once

#include "pointdata/PointData.h"

#include <QString>
#include <optional>
#include <utility>

class OperatorInteraction;

// Rules of the point-input kind's parameter table, as plain functions over its data.
namespace ParameterRules {

// The table the main window starts with: numbers, names, ranges, and the type 30 defaults as
// both initial and setting values.
ParameterTableData startupTable();

// "Controller type is different." titled "Controller type" with the warning icon.
void reportUnsupportedType(OperatorInteraction& op);

// The type default list of a type. For a type other than 30 to 33 the operator is told
// "Controller type is different." (title "Controller type", warning icon), the program is
// ended through op and an empty text is returned.
QString defaultListOrEnd(const QString& type, OperatorInteraction& op);

// Writes the type's default values into the Initial Value cells (value k to row k).
// Returns false, leaving the table unchanged, when the type is not supported (after the
// message and the end of the program as in defaultListOrEnd).
bool fillInitialValues(ParameterTableData& table, const QString& type, OperatorInteraction& op);

// New: the type is the Setting Value of the type row; its defaults go into both the Initial
// Value and the Setting Value of every row. Returns false, leaving the table unchanged, when
// the type is not supported.
bool resetToDefaults(ParameterTableData& table, OperatorInteraction& op);

// The Setting Value of parameter number n; empty when the table does not hold n.
QString settingValue(const ParameterTableData& table, int number);
// Sets the Setting Value of parameter number n; false when the table does not hold n.
bool setSettingValue(ParameterTableData& table, int number, const QString& value);

// Lower and upper bound of a numeric range text ("1 to 100 (%)" -> 1, 100): the text before
// " to " and the text between " to " and " (". None for a choice text, for a text without
// " (" (the actuator type row) or when either bound is not a number.
std::optional<std::pair<float, float>> bounds(const QString& range);

enum class EditResult {
    Kept,     // the value is valid and stays exactly as typed
    Replaced, // the value was invalid and the row's Initial Value took its place
    NotHeld,  // the row is a "**" row: its Setting Value is "**" again
};

// The check after the operator edited the Setting Value of a row (0 = the type row).
// Choice rows accept exactly "0" or "1"; numeric rows accept a number within the bounds of
// the range text, compared in single precision; the type row never keeps an edit. An
// invalid value is replaced silently by the Initial Value.
EditResult checkEdit(ParameterTableData& table, int row);

} // namespace ParameterRules
