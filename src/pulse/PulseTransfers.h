#pragma once

#include "startup/StartupRead.h"
#include "transfers/CompareFlow.h"

#include <functional>

class PulseParameterModel;
class ZoneTableModel;
struct PulseOpsContext;

// The pulse-train window's operations on the controller: receive, transmit, compare and
// initialise its zone and parameter tables. Each starts with settei 0 and the error box
// emptied, asks its question (Yes/No, question icon, titled with its title) and, on No, gives
// the toolbar back; the window is disabled while the progress dialog is shown and given back
// on every way out. Time-outs are communication errors, "NG" replies reply errors; Cancel in
// the progress dialog ends with "Data un-transmitting." titled "Stop" (Compare and the Init
// items: "Stop" titled with their own title).
namespace PulseTransfers {

inline constexpr char TransmitZoneTitle[] = "Transmit Zone";
inline constexpr char Finished[] = "Transmitting has finished.";

// Receive(Parameters), "Parameter reception": "@READ PRM " (3000 ms, progress 0 to 63) taken
// by position into the twelve rows; the type's defaults fill the Initial Value column.
void receiveParameters(const PulseOpsContext& c);

// Receive(Zones), "Zone reception": "@READ ZON " (3000 ms, progress 0 to 3). A reply empties
// A, B and the note of every zone, then each zone the reply lists takes its fields; "Receiving
// has finished." (title "Receive Zone"). The modified flag is set whenever a reply was taken,
// also after a cancel; a time-out or an "NG" reply leaves the zones as they were.
void receiveZones(const PulseOpsContext& c);

// Transmit(Parameters), "Parameter reception": the eleven rows after the type (never
// parameter 0) as "PRM<n>=<value>" in an "@WRITE PRM " block (progress 0 to 12), every value
// checked to be a plain number before the block opens; "Transmitting has finished." (title
// "Transmit Parameter").
void transmitParameters(const PulseOpsContext& c);

// Transmit(Zones), "Transmit Zone": the zone consistency rule over all zones first, and every
// position of a set zone checked to be a plain number, before anything is sent; then
// "@INIT ZON " (5000 ms) and an "@WRITE ZON " block (progress 0 to 5) with "Z<n>=<A>,<B>" for
// each zone whose A is set, A and B as the grid shows them (ZoneRules::transmissionText);
// "Transmitting has finished." (title "Transmit Zone").
void transmitZones(const PulseOpsContext& c);

// Compare: zones (progress 0 to 3; "Zone_No<n> NG"), then parameters (0 to 63).
CompareFlow::Result compareTables(const PulseOpsContext& c);
void compare(const PulseOpsContext& c);

// Init > Zones, "Zone initialization": "@INIT ZON " (10000 ms), then A, B and the note of the
// four zones emptied (progress 0 to 3).
void initZones(const PulseOpsContext& c);
// Init > Parameters, "Parameter initialization": "@?PRM 0" (3000 ms) preselects the
// controller's type in the type dialog, then "@INIT PRM " with the chosen type, the type's
// defaults into both value columns (progress 0 to 11) and the English question.
void initParameters(const PulseOpsContext& c);
// Init > Org: "@INIT ORG " (progress 0 to 1). The window offers it only while no motion runs.
void initOrigin(const PulseOpsContext& c);

// The window's tables for the start-up read: the zones ("@READ ZON ", 3000 ms), each taken
// as Receive(Zones) takes it, then the parameters (3000 ms), whose type fills the Initial
// Value column of all twelve rows; refresh runs the origin shift display afterwards.
StartupTables startupTables(ZoneTableModel& zones, PulseParameterModel& params,
                            std::function<void()> refresh);

} // namespace PulseTransfers
