#pragma once

#include "pointdata/PointData.h"
#include "transfers/CompareFlow.h"

#include <QList>
#include <QString>

struct PointOpsContext;

// Compare: reads the controller's points and parameters and compares them with the window's
// tables. The message names the first difference; its detailed text lists every difference,
// and the window marks their cells. Changes nothing. A controller whose parameter 0 is not an
// actuator type 30 to 33 is told as "Controller type is different." (no result message).
namespace CompareOps {

using CompareFlow::Outcome;
using CompareFlow::Result;

// The whole operation with its questions, progress and messages; the window's menu item.
void compare(const PointOpsContext& c);
// The same, telling the caller what it found (the command line's verify).
Result compareTables(const PointOpsContext& c);

// The fields in which the controller's line for point n ("A,10.00,20", the text after
// "P<n>=") differs from the window's point. With the same mode the fields are compared in
// order against mode, position, speed and pushing level as texts, the position skipped for
// modes O and C and a missing field reading as empty. With another mode the controller's
// fields are read by its own mode, so the list names what the controller really holds. A
// point the controller does not list (nullptr) must be empty apart from its note.
QList<Difference> pointDifferences(int n, const QString* line, const PointRecord& point);
bool samePoint(const QString* line, const PointRecord& point);

using CompareFlow::sameParameter;

} // namespace CompareOps
