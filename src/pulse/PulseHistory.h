#pragma once

#include "files/CsvRecords.h"
#include "history/TablesSnapshot.h"
#include "operator/OperatorInteraction.h"
#include "pulse/PulseData.h"
#include "tables/CompareReport.h"

#include <QByteArray>
#include <functional>

// The pulse-train tables and the controller history.
namespace PulseHistory {

// What a record takes of the window's tables: copies of both, written as Save As writes them
// in form (the form of the file the tables came from).
TablesSnapshot snapshot(const ZoneTableData& zones, const PulseParameterData& parameters,
                        const CsvRecords::FileForm& form);

// A recorded file compared with the tables, as File > "Compare with file..." compares a file
// (PointHistory::compare).
void compare(OperatorInteraction& op, const QByteArray& bytes, const ZoneTableData& zones,
             const PulseParameterData& parameters,
             const std::function<void(const QList<Difference>&)>& mark);

} // namespace PulseHistory
