#pragma once

#include "pulse/PulseData.h"

#include <QString>

class PrintSurface;

// The printed setting list of the pulse-train kind: one page with the zone list above the
// parameter list. Positions are in 1/1440 inch from the top-left of the printable area; a
// text is placed with its top-left corner at the position, one line being 200 units.
//
//   y  400    the zone heading with the printing time (after two empty lines)
//   y  600    "QRX" at x 1000
//   y  800    "Data No.", "Start position", "End position", "Note" at x 1500, 3000, 4500, 6000
//   y 1000    separator
//   y 1200..  zones 0 to 3, one a line: number, A, B, note in the columns above
//   y 2000    separator
//   y 2400    the parameter heading with the printing time (after an empty line)
//   y 2600    "PRM NO." at x 1500, "Setting Data" at x 3000
//   y 2800    separator
//   y 3000..  parameter n at y 200 * (n + 15): number at x 1500, Setting Value or "**" at 3000
//   y 15800   separator
//
// Empty cells print nothing. Font and separator are those of PrintJob.
namespace PulsePrintLayout {

inline constexpr int LineHeight = 200;
inline constexpr int ZoneHeadingY = 2 * LineHeight;
inline constexpr int HeaderWordY = 600;
inline constexpr int ZoneTitleY = 800;
inline constexpr int FirstZoneY = 1200;
inline constexpr int ZoneSeparatorY = 2000;
inline constexpr int ParameterHeadingY = 2400;
inline constexpr int ParameterTitleY = 2600;
inline constexpr int BottomSeparatorY = 200 * 79;
inline int parameterY(int n) {
    return LineHeight * (n + 15);
}

QString zoneHeading();
QString parameterHeading();

// Prints the page on the surface; the caller ends the document. stamp is the printing time
// as PrintJob::timeStamp() gives it.
void render(PrintSurface& surface, const ZoneTableData& zones, const PulseParameterData& parameters,
            const QString& stamp);

} // namespace PulsePrintLayout
