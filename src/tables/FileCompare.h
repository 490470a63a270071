#pragma once

#include "tables/CompareReport.h"
#include "tables/ParameterRows.h"

#include <QList>
#include <QString>
#include <span>

// What Compare with file finds between a window's tables and the tables of a settings file,
// cell by cell: every cell a file keeps (the notes too), named as the controller Compare
// names its differences, the file's value in place of the controller's.
namespace FileCompare {

// Two value cells hold the same value: both plain numbers that are equal ("5" and "5.00"),
// or the same text. An empty cell equals only an empty cell.
bool sameValue(const QString& table, const QString& file);

// One cell of the first table (points or zones): appended to out when the texts differ
// (values by sameValue, other texts exactly).
void compareCell(QList<Difference>& out, const QString& item, const QString& field,
                 const QString& table, const QString& file, bool value, int row, int column);

// The first table's differences, then the Setting Value of every parameter number the
// window's table holds against the file's value of that number. first names the first
// difference: firstPrefix and the row ("Point_No4", "Zone_No2") or "Parameter_No" and the
// number.
CompareReport::Findings findings(const QString& firstPrefix, const QList<Difference>& firstTable,
                                 std::span<const ParameterRow> table,
                                 std::span<const ParameterRow> file);

} // namespace FileCompare
