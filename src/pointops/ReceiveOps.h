#pragma once

#include "startup/StartupRead.h"

#include <functional>

class ParameterTableModel;
class PointTableModel;
struct PointOpsContext;

// Receive(Points) and Receive(Parameters): read the controller's whole point or parameter
// table in one exchange and replace the window's copy.
namespace ReceiveOps {

// "@READ PNT ": empties the point table (notes included) and fills every point the reply
// lists. A cancel keeps the points filled so far; the modified flag is set whenever a reply
// arrived. A time-out or an "NG" reply leaves the table as it was.
void receivePoints(const PointOpsContext& c);

// "@READ PRM ": the type row and the 19 other rows take the controller's values, the initial
// values become the received type's defaults. A time-out, an "NG" reply, a reply without any
// parameter line or one whose type is not 30 to 33 (told as "Controller type is different.")
// leaves both tables as they were; the program goes on.
void receiveParameters(const PointOpsContext& c);

// The window's tables for the start-up read: "@?VER " (2000 ms) and "@READ DIO " (3000 ms)
// first, then the points ("@READ PNT ", 5000 ms), each taken as Receive(Points) takes it,
// and the parameters (5000 ms); refresh runs the dependent displays afterwards.
StartupTables startupTables(PointTableModel& points, ParameterTableModel& params,
                            std::function<void()> refresh);

} // namespace ReceiveOps
