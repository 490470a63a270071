#include "pointops/TransmitPoints.h"

#include "link/Command.h"
#include "operator/ProgressView.h"
#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

#include <QLatin1String>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace TransmitPoints {

namespace {

// Stroke in whole millimetres from the controller's "Setting stroke" (0.01 mm), a half going
// to the even neighbour; the value has been checked to be a number.
int strokeFromReply(const QString& value) {
    const double hundredths = CellText::number(value.trimmed()).value_or(0.0);
    const double mm = CellText::roundHalfEven(hundredths / 100.0);
    return static_cast<int>(std::clamp(mm, -32768.0, 32767.0));
}

// The controller's actuator type as a number: a controller may pad the value (" 31"), and a
// padded type must meet the same speed rule as "31". A value that is no whole number is kept
// as read, so no rule of a known type applies to it.
QString typeFromReply(const QString& value) {
    const auto number = CellText::number(value.trimmed());
    if (number && std::abs(*number) < 1e6 && *number == static_cast<int>(*number))
        return QString::number(static_cast<int>(*number));
    return value;
}

// One parameter query before anything is written. False (already reported, window restored)
// on a failed exchange or an "NG" reply; with mustBeNumber also on a value that is no number
// (the stroke decides which positions may be sent: it is never read as 0).
bool query(const PointOpsContext& c, int number, QString& value, bool mustBeNumber = false) {
    const ExchangeResult r = Ops::readParameter(c, number);
    value = Ops::valueOf(r);
    if (Ops::failed(c, r))
        return false;
    if (!mustBeNumber || CellText::number(value.trimmed()))
        return true;
    Ops::reportNg(c, r);
    return false;
}

// A check pass over the whole table; shows the first failure and restores the window.
bool passes(const PointOpsContext& c, const QString& type, int strokeMm) {
    const PointRules::Validity v = PointRules::checkTable(c.points.table(), type, strokeMm);
    if (v.ok())
        return true;
    v.show(c.op);
    Ops::restore(c);
    return false;
}

void transmit(const PointOpsContext& base) {
    const PointOpsContext c = Ops::titled(base, QLatin1String(Title));
    c.link.setErrorText({});

    if (!Ops::askYesNo(c, QLatin1String(Question))) {
        Ops::restore(c);
        return;
    }

    QString value;
    if (!query(c, 21, value, true))
        return;
    // The first pass knows the stroke only: the speed rule of modes A, I and U waits for the
    // controller type.
    if (!passes(c, {}, strokeFromReply(value)))
        return;

    QString type;
    if (!query(c, 0, type) || !query(c, 21, value, true))
        return;
    if (!passes(c, typeFromReply(type), strokeFromReply(value)))
        return;

    // One line per point; an empty point is not sent.
    const PointTableData table = c.points.table();
    QList<Ops::DataLine> lines;
    for (int n = 0; n < PointCount; ++n) {
        const QStringList fields = PointRules::transmissionFields(table[n]);
        lines.append({n, fields.join(QLatin1Char(',')), !fields.isEmpty()});
    }

    // From here on the controller's table is changed; the line is held from the erase to the
    // end of the block.
    c.host.disableWindow();
    if (c.progress.cancelRequested())
        c.progress.resetCancel(); // a click left over from an earlier operation must not count
    c.progress.showModeless();
    c.progress.setValue(0);
    Ops::WriteBlock block(c, QStringLiteral("points"),
                          int(std::count_if(lines.cbegin(), lines.cend(),
                                            [](const Ops::DataLine& l) { return l.sent; })));
    if (Ops::failed(c, block.erase(Command::InitPNT, 10000)))
        return;

    c.progress.setRange(0, PointCount + 1);
    c.progress.setValue(0);
    if (!block.open(Command::WritePNT) || !block.sendAll(Command::PointData, lines))
        return;

    Ops::restore(c);
    c.host.refreshDependentDisplays();
    c.host.transferFinished({FinishedTransfer::Way::Transmit, FinishedTransfer::Table::First});
    c.op.message(QLatin1String(Title), QLatin1String(Finished), OperatorInteraction::Icon::None);
}

} // namespace

void run(const PointOpsContext& c) {
    try {
        transmit(c);
    } catch (...) {
        // Whatever went wrong, the window must be usable again.
        Ops::restore(c);
    }
}

} // namespace TransmitPoints
