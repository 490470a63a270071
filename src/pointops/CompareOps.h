#pragma once

#include "pointdata/PointData.h"

#include <QString>

struct PointOpsContext;

// Compare: reads the controller's points and parameters and reports the first difference
// from the window's tables. Changes nothing. A controller whose parameter 0 is not an
// actuator type 30 to 33 is told as "Controller type is different." (no result message).
namespace CompareOps {

void compare(PointOpsContext& c);

// Whether the controller's line for a point ("A,10.00,20", the text after "P<n>=") holds the
// same texts as the window's point: the fields in order against mode, position, speed and
// pushing level, the position skipped for modes O and C, a missing field reading as empty.
// A point the controller does not list (nullptr) must be empty apart from its note.
bool samePoint(const QString* line, const PointRecord& point);

// Whether a parameter value from the controller and a Setting Value are the same number
// ("100" and "100.0", " 0" and an empty cell, which reads as 0); texts that are not numbers
// must match exactly.
bool sameParameter(const QString& controllerValue, const QString& setting);

} // namespace CompareOps
