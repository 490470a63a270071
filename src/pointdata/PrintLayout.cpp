#include "pointdata/PrintLayout.h"

#include "pointdata/ActuatorTypes.h"
#include "startup/PrintSurface.h"

#include <QStringList>

namespace PrintLayout {

namespace {

constexpr int ParameterNumbers = 64;

void setBodyFont(PrintSurface& surface) {
    surface.setFont(fontFamily(), FontPointSize, false);
}

void printTop(PrintSurface& surface, const QString& heading, const QString& stamp,
              const QStringList& titles) {
    surface.setFont(fontFamily(), FontPointSize, true);
    surface.textAt(0, HeadingY, heading + stamp);
    setBodyFont(surface);
    for (int column = 0; column < titles.size(); ++column)
        surface.textAt(columnX(column), TitleY, titles.at(column));
    surface.textAt(0, TopSeparatorY, separator());
}

void printRow(PrintSurface& surface, int n, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column) {
        if (!cells.at(column).isEmpty())
            surface.textAt(columnX(column), rowY(n), cells.at(column));
    }
}

} // namespace

QString fontFamily() {
    return QStringLiteral("Arial");
}

QString pointHeading() {
    return QStringLiteral(
        "               --- QRX5 Support software Setting list (Point Data) Printing time: ");
}

QString parameterHeading() {
    return QStringLiteral(
        "               --- QRX5 Support software Setting list (Parameter Data) Printing time: ");
}

QString separator() {
    return QString(15, QLatin1Char(' ')) + QString(85, QLatin1Char('-'));
}

QString timeStamp(const QDateTime& at, const QLocale& locale) {
    return locale.toString(at.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(at.time(), QLocale::ShortFormat);
}

void render(PrintSurface& surface, const PointTableData& points,
            const ParameterTableData& parameters, const QString& stamp) {
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
        const int row = ActuatorTypes::rowOfParameter(n);
        const QString value = row >= 0 ? parameters[row].setting : QStringLiteral("**");
        printRow(surface, n, {QString::number(n), value});
    }
    surface.textAt(0, BottomSeparatorY, separator());
}

} // namespace PrintLayout
