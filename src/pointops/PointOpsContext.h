#pragma once

#include "transfers/Operation.h"

class ParameterTableModel;
class PointTableModel;

// Everything an operation of the point-input window works with: the shared operation ground
// and the window's two tables.
struct PointOpsContext : OperationContext {
    PointTableModel& points;
    ParameterTableModel& params;
};
