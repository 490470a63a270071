#include "pointops/TransmitParameters.h"

#include "link/Command.h"
#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointRules.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "startup/ProgressView.h"
#include "startup/SoftLimit.h"

#include <QCoreApplication>
#include <QLatin1String>
#include <QList>

namespace TransmitParameters {

namespace {

constexpr int ShiftParameter = 35;
constexpr int DirectionParameter = 5;
constexpr int StrokeParameter = 21;

// A cell or reply value read as a number; text without a numeric reading counts as 0.
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
bool exchangeOk(PointOpsContext& c) {
    if (!c.link.Timeout && !c.link.ReplyText.contains(QLatin1String("NG")))
        return true;
    c.link.ReportLinkError(c.op, c.host);
    c.host.setSettei(1);
    Ops::restore(c);
    return false;
}

bool readValue(PointOpsContext& c, int number, QString& value) {
    value = Ops::readParameterValue(c, number);
    return exchangeOk(c);
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
    for (int number : ActuatorTypes::parameterNumbers())
        if (number != 0 && number != ShiftParameter && number != 36)
            order << number;
    return order;
}

// An older controller has no parameters 31, 32, 33 and 36.
bool heldByOldModel(int number) {
    return number != 31 && number != 32 && number != 33 && number != 36;
}

// Offers to move the soft limits along with a changed origin. False when the operation must
// end (a query failed; already reported).
bool offerSoftLimitChange(PointOpsContext& c, double tableShift) {
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
    const OperatorInteraction::SoftLimits chosen =
        c.op.softLimitChange({s.plus, s.minus, s.note}, tableRows);
    c.params.setSettingValue(1, QString::number(chosen.plus, 'g', 15));
    c.params.setSettingValue(2, QString::number(chosen.minus));
    return true;
}

void transmit(PointOpsContext& c) {
    c.host.setSettei(0);
    c.link.operationTitle = QLatin1String(Title);
    c.link.ReplyTimeoutMs = 5000;
    c.link.ClearCommand();

    if (!Ops::askYesNo(c, QLatin1String(Question))) {
        Ops::restore(c);
        return;
    }

    const double tableShift = numberOf(c.params.settingValue(ShiftParameter));
    Ops::exchange(c, Command::QueryPRM, QStringLiteral("0"), 5000);
    if (!exchangeOk(c))
        return;
    const int limit = travelLimit(Link::ExtractReplyValue(c.link.ReplyText));
    if (tableShift < -limit || tableShift > limit) {
        c.op.message(QLatin1String(ApplicationTitle), QLatin1String(ShiftBeyondTravel),
                     OperatorInteraction::Icon::None);
        Ops::restore(c);
        return;
    }

    Ops::exchange(c, Command::ReadPNT, {}, 5000);
    if (!exchangeOk(c))
        return;
    if (controllerPointsBeyond(c.link.ReplyText,
                               numberOf(c.params.settingValue(StrokeParameter)))) {
        c.op.message(QLatin1String(Title), QLatin1String(PointsBeyondStroke),
                     OperatorInteraction::Icon::None);
        Ops::restore(c);
        return;
    }

    Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (!exchangeOk(c))
        return;
    // The older controller reports one output less: its output line ends at the 8th character.
    const bool oldModel = c.link.ReplyText.size() > 7 && c.link.ReplyText[7] == QLatin1Char('\r');

    if (!offerSoftLimitChange(c, tableShift))
        return;

    Ops::WriteBlock block(c);
    if (!block.open(Command::WritePRM))
        return;
    c.host.disableWindow();
    if (c.progress.cancelRequested())
        c.progress.resetCancel(); // a click left over from an earlier operation must not count
    c.progress.showModeless();
    c.progress.setRange(0, 20);
    c.progress.setValue(0);

    const QList<int> order = writeOrder();
    for (int k = 1; k <= order.size(); ++k) {
        c.progress.setValue(k);
        QCoreApplication::processEvents();
        const int number = order[k - 1];
        if (oldModel && !heldByOldModel(number))
            continue;
        if (!block.sendLine(Command::ParameterData, QString::number(number) + QLatin1Char('='),
                            c.params.settingValue(number)))
            return;
    }
    c.progress.setValue(order.size() + 1);
    QCoreApplication::processEvents();
    if (!block.finish())
        return;

    Ops::restore(c);
    c.host.refreshDependentDisplays();
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

void run(PointOpsContext& c) {
    try {
        transmit(c);
    } catch (...) {
        // Whatever went wrong, the window must be usable again.
        Ops::restore(c);
    }
}

} // namespace TransmitParameters
