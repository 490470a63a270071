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
using ParameterRows::reportUnsupportedType;

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

using ParameterRows::bounds;

enum class EditResult {
    Kept,     // the value is valid and stays exactly as typed
    Replaced, // the value was invalid and the row's Initial Value took its place
    NotHeld,  // the row is a "**" row: its Setting Value is "**" again
};

// The check after the operator edited the Setting Value of a row (0 = the type row): a "**"
// row stays "**", every other row is checked by ParameterRows::checkEdit.
EditResult checkEdit(ParameterTableData& table, int row);
EditResult checkRow(ParameterRow& row);

} // namespace ParameterRules
