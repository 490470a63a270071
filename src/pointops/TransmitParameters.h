#pragma once

#include <QString>

struct PointOpsContext;

// Transmit(Parameters): writes the window's parameter table into the controller. Before
// writing it checks that the new origin point shift stays inside the controller's travel and
// that the points already stored in the controller fit the stroke, and, when the origin
// return direction or the origin point shift changes, offers to move the soft limits along
// with the origin. The actuator type (parameter 0) is never written.
namespace TransmitParameters {

// The operation shares its title with the parameter reception.
inline constexpr char Title[] = "Parameter reception";
inline constexpr char Question[] = " Do you transmit parameter data? ";
inline constexpr char SoftLimitQuestion[] = "Is a soft limit also changed?";
// Caption of the origin shift refusal: the application's own name.
inline constexpr char ApplicationTitle[] = "QRX5 Support-Software";
inline constexpr char ShiftBeyondTravel[] =
    "I cannot transmit a message so that origin shift position is beyond operation level.";
inline constexpr char PointsBeyondStroke[] =
    "Cannot transmit data because some of point data in controller is out of the range of "
    "PRM21.";
inline constexpr char FinishedTitle[] = "Transmit Parameter";
inline constexpr char Finished[] = "Transmitting has finished.";

// Travel limit of the origin point shift in 0.01 mm for the controller's parameter 0 as read.
int travelLimit(const QString& controllerType);

// Runs the whole operation; every way out leaves the window and its toolbar enabled and the
// progress dialog hidden. The controller values read for the checks (parameters 1, 2, 5, 21
// and 35) must be numbers, else the reply-error report ends the operation. Every value is
// checked to be a plain number before the block opens. Soft limits confirmed in the dialog
// go into the table only when the whole block was written.
void run(const PointOpsContext& c);

} // namespace TransmitParameters
