#pragma once

struct PointOpsContext;

// The Init menu of the point-input window: reset the controller's points, parameters or
// origin.
namespace InitOps {

// "@INIT PNT ": erases the controller's points, then empties mode, position, speed and
// pushing level of every point in the window; the notes stay.
void initPoints(const PointOpsContext& c);

// Resets the controller's parameters to the defaults of a type the operator picks (the
// controller's own type preselected), copies those defaults into both value columns of the
// window's table, and offers to switch the controller's display language to English.
void initParameters(const PointOpsContext& c);

// "@INIT ORG ": resets the controller's origin. The window offers it only while no motion
// runs.
void initOrigin(const PointOpsContext& c);

} // namespace InitOps
