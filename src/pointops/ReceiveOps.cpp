#include "pointops/ReceiveOps.h"

#include "link/Command.h"
#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "startup/ProgressView.h"

#include <QCoreApplication>

namespace ReceiveOps {

namespace {

constexpr int ReadTimeoutMs = 5000;
constexpr int LastNumber = 63;

// Lets the Cancel button of the progress dialog reach the running loop.
void yieldOnce() {
    QCoreApplication::processEvents();
}

// Confirmation, window disabled, progress shown, the read exchanged. False when the operation
// ends here (declined, timed out or refused; already reported and the window restored).
bool readTable(PointOpsContext& c, int code, const QString& question, int firstValue) {
    c.progress.setValue(0);
    if (!Ops::askYesNo(c, question)) {
        c.host.enableToolbar();
        return false;
    }
    c.link.setErrorText({});
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, LastNumber);
    c.progress.setValue(firstValue);

    Ops::exchange(c, code, {}, ReadTimeoutMs);
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return false;
    }
    if (c.link.ReplyText.contains(QLatin1String("NG"))) {
        Ops::reportNg(c);
        return false;
    }
    return true;
}

void finish(PointOpsContext& c) {
    Ops::restore(c);
    c.link.setErrorText({});
}

} // namespace

void receivePoints(PointOpsContext& c) {
    c.host.setSettei(0);
    c.link.operationTitle = QStringLiteral("Point reception");
    if (!readTable(c, Command::ReadPNT, QStringLiteral("Do you receive point data?"), 0))
        return;

    const QString reply = c.link.ReplyText;
    PointTableData table{};
    c.points.setTable(table);
    bool cancelled = false;
    for (int n = 0; n <= LastNumber; ++n) {
        yieldOnce();
        c.progress.setValue(n);
        if (Ops::cancelled(c)) {
            cancelled = true;
            break;
        }
        if (const auto point = PointReply::point(reply, n))
            table[n] = *point;
    }
    c.points.setTable(table);
    c.points.setModified(true);
    finish(c);
    if (!cancelled)
        c.op.message(QStringLiteral("Receive Point"), QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    c.host.setSettei(1);
    finish(c);
}

void receiveParameters(PointOpsContext& c) {
    c.host.setSettei(0);
    c.link.operationTitle = QStringLiteral("Parameter reception");
    if (!readTable(c, Command::ReadPRM, QStringLiteral("Do you receive parameter data?"), 1))
        return;

    const QStringList values = PointReply::parameterValues(c.link.ReplyText);
    // A reply that ended without a single parameter line carries no table: taking its empty
    // "type" would end the program over a garbled reply.
    if (values.isEmpty()) {
        Ops::reportNg(c);
        return;
    }
    // A type without defaults cannot fill the table. The operator is told; the tables and the
    // program stay as they were (nothing the operator edited may be lost over one reply).
    if (!ActuatorTypes::isSupported(values.first())) {
        c.progress.hide(); // the message comes before the window is given back
        ParameterRules::reportUnsupportedType(c.op);
        Ops::restore(c);
        c.host.setSettei(1);
        return;
    }

    c.params.setReceiving(true);
    const QList<int>& numbers = ActuatorTypes::parameterNumbers();
    int row = 0;
    bool cancelled = false;
    for (int k = 0; k <= LastNumber && k < values.size(); ++k) {
        yieldOnce();
        c.progress.setValue(k);
        if (Ops::cancelled(c)) {
            cancelled = true;
            break;
        }
        const QString& value = values[k];
        if (k == 0)
            c.params.fillInitialValues(value); // a supported type, checked above
        if (row < numbers.size() && numbers[row] == k) {
            c.params.setData(c.params.index(row, ParameterTableModel::ColSetting), value);
            ++row;
        }
    }
    c.points.setModified(true);
    // The completion message comes before the window is given back; the ended transfer's
    // progress bar is not left standing under it.
    c.progress.hide();
    if (!cancelled)
        c.op.message(QStringLiteral("Receive Parameter"), QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    finish(c);
    c.host.refreshDependentDisplays();
    c.host.setSettei(1);
    c.params.setReceiving(false);
}

} // namespace ReceiveOps
