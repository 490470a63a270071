#include "pulse/PulsePrintLayout.h"

#include "files/PrintJob.h"
#include "files/PrintSurface.h"
#include "pulse/PulseParameters.h"

namespace PulsePrintLayout {

namespace {

constexpr int ParameterNumbers = 64;
const QList<int> kZoneColumns{1500, 3000, 4500, 6000};
const QList<int> kParameterColumns{1500, 3000};

} // namespace

QString zoneHeading() {
    return PrintJob::heading(QStringLiteral("Zone Data"));
}

QString parameterHeading() {
    return PrintJob::heading(QStringLiteral("Parameter Data"));
}

void render(PrintSurface& surface, const ZoneTableData& zones, const PulseParameterData& parameters,
            const QString& stamp) {
    surface.setDocumentHeight(BottomSeparatorY + LineHeight);

    PrintJob::printHeading(surface, ZoneHeadingY, zoneHeading() + stamp);
    surface.textAt(1000, HeaderWordY, QStringLiteral("QRX"));
    PrintJob::printRow(surface, ZoneTitleY, kZoneColumns,
                       {QStringLiteral("Data No."), QStringLiteral("Start position"),
                        QStringLiteral("End position"), QStringLiteral("Note")});
    surface.textAt(0, ZoneTitleY + LineHeight, PrintJob::separator());
    for (int n = 0; n < ZoneCount; ++n) {
        const ZoneRecord& z = zones[n];
        PrintJob::printRow(surface, FirstZoneY + n * LineHeight, kZoneColumns,
                           {QString::number(n), z.a, z.b, z.note});
    }
    surface.textAt(0, ZoneSeparatorY, PrintJob::separator());

    PrintJob::printHeading(surface, ParameterHeadingY, parameterHeading() + stamp);
    PrintJob::printRow(surface, ParameterTitleY, kParameterColumns,
                       {QStringLiteral("PRM NO."), QStringLiteral("Setting Data")});
    surface.textAt(0, ParameterTitleY + LineHeight, PrintJob::separator());
    for (int n = 0; n < ParameterNumbers; ++n) {
        const int row = PulseParameters::rowOfParameter(n);
        PrintJob::printRow(
            surface, parameterY(n), kParameterColumns,
            {QString::number(n), row >= 0 ? parameters[row].setting : QStringLiteral("**")});
    }
    surface.textAt(0, BottomSeparatorY, PrintJob::separator());
}

} // namespace PulsePrintLayout
