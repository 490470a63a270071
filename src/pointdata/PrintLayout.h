#pragma once

#include "files/PrintJob.h"
#include "pointdata/PointData.h"

#include <QString>

class PrintSurface;

// The printed setting lists of the point-input kind: page 1 the 64 points, page 2 the 64
// parameter numbers with their Setting Values ("**" for the numbers the table does not
// hold). Positions are in 1/1440 inch from the top-left of the printable area; a text is
// placed with its top-left corner at the position.
//
// Each page: the heading with the printing time on the third line (two empty lines above
// it), the column titles at y 1200, a separator on the next line, one row every 200 units
// from y 1600 (row n at (n + 8) * 200) with columns every 1000 units from x 1000, and a
// closing separator at y 14600. Empty cells print nothing; a note that runs past the right
// edge of the page is cut off by the printer. The lists carry no file name, so nothing is
// printed at x 1000, y 600.
//
// Font and separator are those of PrintJob. At 7 pt the widest column title, "Position(mm)",
// fits its 1000 units even in the wider substitutes, and the separator stays well inside a
// page.
namespace PrintLayout {

inline constexpr int LineHeight = 200;
inline constexpr int HeadingY = 2 * LineHeight; // after two empty lines
inline constexpr int TitleY = 1200;
inline constexpr int TopSeparatorY = TitleY + LineHeight;
inline constexpr int BottomSeparatorY = 14600;
inline constexpr int FirstColumnX = 1000;
inline constexpr int ColumnStep = 1000;
inline constexpr int RowStep = 200;
inline constexpr int FirstRowSlot = 8; // row n is printed at (n + FirstRowSlot) * RowStep

using PrintJob::fontFamily;
using PrintJob::FontPointSize;
using PrintJob::separator;
using PrintJob::timeStamp;
QString pointHeading();
QString parameterHeading();
inline int rowY(int n) {
    return (n + FirstRowSlot) * RowStep;
}
inline int columnX(int column) {
    return FirstColumnX + column * ColumnStep;
}

// Prints both pages on the surface (page 1, a new page, page 2). The caller ends the
// document. stamp is the printing time as timeStamp() gives it.
void render(PrintSurface& surface, const PointTableData& points,
            const ParameterTableData& parameters, const QString& stamp);

} // namespace PrintLayout
