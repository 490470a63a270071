#pragma once

#include <QList>
#include <QString>

// What Compare found beyond its one-line message: every cell in which the window's tables and
// the controller differ. Both kinds build the same list; the message box unfolds it as its
// detailed text, the grids mark its cells and the command line prints it.
struct Difference {
    QString item;  // "Point 4", "Parameter 35", "Zone 2"
    QString field; // "Position", "Origin point shift"
    QString tableValue;
    QString controllerValue;
    // The grid cell that holds the table value: which of the window's grids (0 the first, the
    // point or zone grid; 1 the parameter grid), its row and its column.
    int grid = 0;
    int row = 0;
    int column = 0;

    bool operator==(const Difference&) const = default;
};

namespace CompareReport {

inline constexpr int FirstGrid = 0;
inline constexpr int ParameterGrid = 1;

// What the window's tables were compared with, as the report names it.
inline const QString ControllerSide = QStringLiteral("controller");
inline const QString FileSide = QStringLiteral("file");
// What the first value is named: the window's tables.
inline const QString TableSide = QStringLiteral("table");

// One difference as one line: Point 4, Position: table "10.00", controller "10.0"
// The values are quoted so that an empty or padded value can be told apart; side names the
// other value ("file" when the tables were compared with a settings file). Control characters
// in the values are shown by their names (<CR>, <LF>), so a line end inside a value never
// splits the line. tableSide names the first value when it is not the window's tables (two
// files compared: file A "10.00", file B "10.50").
QString line(const Difference& d, const QString& side = ControllerSide,
             const QString& tableSide = TableSide);
// Every difference, one line each, in the order found.
QString text(const QList<Difference>& differences, const QString& side = ControllerSide);

// Every difference and the name the result message gives the first one ("Point_No4",
// "Zone_No2", "Parameter_No35"; empty when there is none).
struct Findings {
    QList<Difference> differences;
    QString first;
};

} // namespace CompareReport
