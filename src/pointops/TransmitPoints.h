#pragma once

struct PointOpsContext;

// Transmit(Points): replaces the controller's whole point table with the window's. The table
// is checked against the controller's stroke and actuator type first; only a table that
// passes is written: the controller's points are erased ("@INIT PNT ") and every non-empty
// point is sent in a write block. The window's tables are never changed. A stroke reply that
// is not a number is a reply error; a point field that is not a plain number as it stands is
// never sent (the point counts as incomplete).
namespace TransmitPoints {

inline constexpr char Title[] = "Transmit Point";
inline constexpr char Question[] = " Do you transmit point data? ";
inline constexpr char Finished[] = "Transmitting has finished.";

// Runs the whole operation; every way out leaves the window and its toolbar enabled and the
// progress dialog hidden.
void run(const PointOpsContext& c);

} // namespace TransmitPoints
