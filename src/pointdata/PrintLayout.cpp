#include "pointdata/PrintLayout.h"

#include "files/PrintSurface.h"
#include "pointdata/PointParameters.h"

#include <QStringList>

namespace PrintLayout {

namespace {

constexpr int ParameterNumbers = 64;

void printTop(PrintSurface& surface, const QString& heading, const QString& stamp,
              const QStringList& titles) {
    PrintJob::printHeading(surface, HeadingY, heading + stamp);
    for (int column = 0; column < titles.size(); ++column)
        surface.textAt(columnX(column), TitleY, titles.at(column));
    surface.textAt(0, TopSeparatorY, separator());
}

void printRow(PrintSurface& surface, int n, const QStringList& cells) {
    QList<int> xs;
    for (int column = 0; column < cells.size(); ++column)
        xs << columnX(column);
    PrintJob::printRow(surface, rowY(n), xs, cells);
}

} // namespace

QString pointHeading() {
    return PrintJob::heading(QStringLiteral("Point Data"));
}

QString parameterHeading() {
    return PrintJob::heading(QStringLiteral("Parameter Data"));
}

void render(PrintSurface& surface, const PointTableData& points,
            const ParameterTableData& parameters, const QString& stamp) {
    surface.setDocumentHeight(BottomSeparatorY + LineHeight);
    printTop(surface, pointHeading(), stamp,
             {QStringLiteral("PNT No."), QStringLiteral("Mode"), QStringLiteral("Position(mm)"),
              QStringLiteral("Speed"), QStringLiteral("Force"), QStringLiteral("Note")});
    for (int n = 0; n < PointCount; ++n) {
        const PointRecord& p = points[n];
        printRow(surface, n, {QString::number(n), p.mode, p.position, p.speed, p.push, p.note});
    }
    surface.textAt(0, BottomSeparatorY, separator());

    surface.newPage();

    printTop(surface, parameterHeading(), stamp,
             {QStringLiteral("PRM NO."), QStringLiteral("Setting Data")});
    for (int n = 0; n < ParameterNumbers; ++n) {
        const int row = PointParameters::rowOfParameter(n);
        const QString value = row >= 0 ? parameters[row].setting : QStringLiteral("**");
        printRow(surface, n, {QString::number(n), value});
    }
    surface.textAt(0, BottomSeparatorY, separator());
}

} // namespace PrintLayout
