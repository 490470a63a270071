#pragma once

#include "files/PrintJob.h"
#include "pointdata/PointData.h"

// The File menu's Print of the point-input window: the print dialog, then both setting
// lists on the chosen printer (PrintJob).
namespace PrintOps {

using PrintJob::dialogTitle;
using PrintJob::failureText;
using Result = PrintJob::Result;

Result print(OperatorInteraction& op, const PointTableData& points,
             const ParameterTableData& parameters,
             const QDateTime& at = QDateTime::currentDateTime(),
             const QLocale& locale = QLocale::system());

} // namespace PrintOps
