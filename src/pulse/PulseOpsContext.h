#pragma once

#include "transfers/Operation.h"

class PulseParameterModel;
class ZoneTableModel;

// Everything an operation of the pulse-train window works with: the shared operation ground
// and the window's two tables. The modified flag of both tables is the zone table's.
struct PulseOpsContext : OperationContext {
    ZoneTableModel& zones;
    PulseParameterModel& params;
};
