#pragma once

#include "pointdata/PointData.h"
#include "startup/OperatorInteraction.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// The File menu's Print of the point-input window: the print dialog, then both setting
// lists on the chosen printer.
//
// A cancelled dialog (or a printer that could not be started, which the dialog reports the
// same way) prints nothing and says nothing. A printer that reports a failure when the
// document ends is reported to the operator, so a lost print-out is never taken for a
// finished one. The tables are only read; the window stays usable whatever happens.
namespace PrintOps {

enum class Result { Cancelled, Printed, Failed };

QString dialogTitle();
QString failureText();

Result print(OperatorInteraction& op, const PointTableData& points,
             const ParameterTableData& parameters,
             const QDateTime& at = QDateTime::currentDateTime(),
             const QLocale& locale = QLocale::system());

} // namespace PrintOps
