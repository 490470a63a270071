#include "pointops/TransmitParameters.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointRules.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "tables/SoftLimit.h"
#include "transfers/LinkReports.h"
#include "transfers/ParameterTransfer.h"

#include <QCoreApplication>
#include <QLatin1String>
#include <QList>
#include <algorithm>
#include <optional>
#include <utility>

namespace TransmitParameters {

namespace {

constexpr int ShiftParameter = 35;
constexpr int DirectionParameter = 5;
constexpr int StrokeParameter = 21;

// A cell or reply value read as a number; text without a numeric reading counts as 0 (only
// the table's own values can be such text here: replies are checked when they are read).
double numberOf(const QString& text) {
    return CellText::number(text.trimmed()).value_or(0.0);
}

// Whether a table value and a controller value differ: as numbers when both are numbers, so
// "300" and "300.0" agree, else as texts.
bool differs(const QString& table, const QString& controller) {
    const auto a = CellText::number(table.trimmed());
    const auto b = CellText::number(controller.trimmed());
    if (a && b)
        return *a != *b;
    return table.trimmed() != controller.trimmed();
}

// Every exchange before the write block: a time-out or an "NG" reply ends the operation with
// the communication-error report and nothing written.
bool exchangeOk(const PointOpsContext& c, const ExchangeResult& r) {
    if (!r.Timeout() && !ReplyRules::isRefusal(r.ReplyText))
        return true;
    Ops::reportLinkError(c, r);
    c.state.settei = 1;
    return false;
}

// One controller parameter. Its value is used in the checks and the soft limit suggestion, so
// a reply that is not a number is a reply error, never read as 0.
bool readValue(const PointOpsContext& c, int number, QString& value) {
    const ExchangeResult r = Ops::readParameter(c, number);
    value = Ops::valueOf(r).trimmed();
    if (!exchangeOk(c, r))
        return false;
    if (CellText::number(value))
        return true;
    Ops::reportNg(c, r);
    c.state.settei = 1;
    return false;
}

// Whether any point the controller holds has one of its first two fields beyond the stroke
// parameter of the table.
bool controllerPointsBeyond(const QString& reply, double stroke) {
    for (int n = 0; n < PointCount; ++n) {
        const auto line = PointReply::pointLine(reply, n);
        if (!line)
            continue;
        const QStringList fields = line->split(QLatin1Char(','));
        for (int i = 1; i <= 2 && i < fields.size(); ++i)
            if (numberOf(fields[i]) > stroke + 0.001)
                return true;
    }
    return false;
}

// The parameters of the write block in order: the origin point shift and parameter 36 first,
// then the other rows in table order. The actuator type is never written.
QList<int> writeOrder() {
    QList<int> order{ShiftParameter, 36};
    for (int number : PointParameters::parameterNumbers())
        if (number != 0 && number != ShiftParameter && number != 36)
            order << number;
    return order;
}

// An older controller has no parameters 31, 32, 33 and 36.
bool heldByOldModel(int number) {
    return number != 31 && number != 32 && number != 33 && number != 36;
}

using ParameterTransfer::DataLine;

// The data lines of the block in write order, with the table's values.
QList<DataLine> dataLines(const PointOpsContext& c, bool oldModel) {
    QList<DataLine> lines;
    for (int number : writeOrder())
        lines.append({number, c.params.settingValue(number), !oldModel || heldByOldModel(number)});
    return lines;
}

void setLineValue(QList<DataLine>& lines, int number, const QString& value) {
    for (DataLine& line : lines)
        if (line.number == number)
            line.value = value;
}

// Offers to move the soft limits along with a changed origin; the confirmed limits go into
// the table at once and replace the values of the lines of parameters 1 and 2, so that the
// table says what the block writes however far it gets (a block that fails after them is
// written again with them, never with the limits it replaced); chosen tells whether they were.
// False when the operation must end (a query failed; already reported).
bool offerSoftLimitChange(const PointOpsContext& c, double tableShift, QList<DataLine>& lines,
                          bool& chosen) {
    QString controllerShift;
    QString controllerDirection;
    if (!readValue(c, ShiftParameter, controllerShift) ||
        !readValue(c, DirectionParameter, controllerDirection))
        return false;
    if (!differs(c.params.settingValue(DirectionParameter), controllerDirection) &&
        !differs(c.params.settingValue(ShiftParameter), controllerShift))
        return true;
    if (!Ops::askYesNo(c, QLatin1String(SoftLimitQuestion)))
        return true;

    QString plus;
    QString minus;
    QString stroke;
    if (!readValue(c, 1, plus) || !readValue(c, 2, minus) || !readValue(c, StrokeParameter, stroke))
        return false;
    const SoftLimit::Suggestion s =
        SoftLimit::suggest(numberOf(plus), numberOf(minus), tableShift, numberOf(controllerShift));
    const OperatorInteraction::SoftLimits tableRows{
        numberOf(c.params.settingValue(1)), static_cast<int>(numberOf(c.params.settingValue(2)))};
    const OperatorInteraction::SoftLimits limits =
        c.op.softLimitChange({s.plus, s.minus, s.note}, tableRows);
    c.params.setSettingValue(1, QString::number(limits.plus, 'g', 15));
    c.params.setSettingValue(2, QString::number(limits.minus));
    chosen = true;
    setLineValue(lines, 1, c.params.settingValue(1));
    setLineValue(lines, 2, c.params.settingValue(2));
    return true;
}

void transmit(const PointOpsContext& base) {
    const PointOpsContext c = Ops::titled(base, QLatin1String(Title));
    c.link.ClearCommand();

    if (!Ops::askYesNo(c, QLatin1String(Question))) {
        Ops::restore(c);
        return;
    }

    const double tableShift = numberOf(c.params.settingValue(ShiftParameter));
    const ExchangeResult type = Ops::exchange(c, Command::QueryPRM, QStringLiteral("0"), 5000);
    if (!exchangeOk(c, type))
        return;
    const int limit = travelLimit(Ops::valueOf(type));
    if (tableShift < -limit || tableShift > limit) {
        c.op.message(QLatin1String(ApplicationTitle), QLatin1String(ShiftBeyondTravel),
                     OperatorInteraction::Icon::None);
        Ops::restore(c);
        return;
    }

    const ExchangeResult points = Ops::exchange(c, Command::ReadPNT, {}, 5000);
    if (!exchangeOk(c, points))
        return;
    if (controllerPointsBeyond(points.ReplyText,
                               numberOf(c.params.settingValue(StrokeParameter)))) {
        c.op.message(QLatin1String(Title), QLatin1String(PointsBeyondStroke),
                     OperatorInteraction::Icon::None);
        Ops::restore(c);
        return;
    }

    const ExchangeResult dio = Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (!exchangeOk(c, dio))
        return;
    // The older controller reports one output less: its output line ends at the 8th character.
    const bool oldModel = dio.ReplyText.size() > 7 && dio.ReplyText[7] == QLatin1Char('\r');

    QList<DataLine> lines = dataLines(c, oldModel);
    if (!ParameterTransfer::allAccepted(c, c.params.rows(), lines))
        return;
    bool limitsChosen = false;
    if (!offerSoftLimitChange(c, tableShift, lines, limitsChosen) ||
        !ParameterTransfer::allAccepted(c, c.params.rows(), lines))
        return;

    Ops::WriteBlock block(c, QStringLiteral("parameters"));
    if (!block.open(Command::WritePRM))
        return;
    c.host.disableWindow();
    if (c.progress.cancelRequested())
        c.progress.resetCancel(); // a click left over from an earlier operation must not count
    c.progress.showModeless();
    c.progress.setRange(0, 20);
    c.progress.setValue(0);

    // The progress runs one step per line of the full order, lines not sent included.
    if (!block.sendAll(Command::ParameterData, lines))
        return;
    // The limits confirmed in the dialog are now what the controller holds: undo leaves them.
    if (limitsChosen) {
        c.params.controllerHolds(1);
        c.params.controllerHolds(2);
    }
    Ops::restore(c);
    c.host.refreshDependentDisplays();
    c.host.transferFinished({FinishedTransfer::Way::Transmit, FinishedTransfer::Table::Parameters});
    c.op.message(QLatin1String(FinishedTitle), QLatin1String(Finished),
                 OperatorInteraction::Icon::None);
}

} // namespace

int travelLimit(const QString& controllerType) {
    return (controllerType.contains(QLatin1String("31")) ||
            controllerType.contains(QLatin1String("33")))
               ? 4000
               : 2000;
}

void run(const PointOpsContext& c) {
    try {
        transmit(c);
    } catch (...) {
        // Whatever went wrong, the window must be usable again.
        Ops::restore(c);
    }
}

} // namespace TransmitParameters
