#pragma once

#include "files/CsvRecords.h"
#include "history/TablesSnapshot.h"
#include "operator/OperatorInteraction.h"
#include "pointdata/PointData.h"
#include "tables/CompareReport.h"

#include <QByteArray>
#include <functional>

// The point-input tables and the controller history.
namespace PointHistory {

// What a record takes of the window's tables: copies of both, written as Save As writes them
// in form (the form of the file the tables came from).
TablesSnapshot snapshot(const PointTableData& points, const ParameterTableData& parameters,
                        const CsvRecords::FileForm& form);

// A recorded file compared with the tables, as File > "Compare with file..." compares a file:
// read as Open reads it (a refusal told as Open tells it), the differences told as Compare
// tells them with the file's values beside, their cells marked through mark.
void compare(OperatorInteraction& op, const QByteArray& bytes, const PointTableData& points,
             const ParameterTableData& parameters,
             const std::function<void(const QList<Difference>&)>& mark);

} // namespace PointHistory
