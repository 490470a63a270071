#include "pointops/InitOps.h"

#include "link/Command.h"
#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "startup/ProgressView.h"

#include <QCoreApplication>
#include <QStringList>

namespace InitOps {

namespace {

constexpr int InitPointsTimeoutMs = 10000;
constexpr int VersionTimeoutMs = 2000;
constexpr int QueryTimeoutMs = 3000;
constexpr int InitParametersTimeoutMs = 5000;
constexpr int LanguageParameter = 22;

const QString Completed = QStringLiteral("Initializing has completed.");

// The end of an exchange that must not be used: a time-out is reported as a communication
// error, an "NG" reply through the reply-error report. True when the operation ends here.
bool failed(PointOpsContext& c) {
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return true;
    }
    if (c.link.ReplyText.contains(QLatin1String("NG"))) {
        Ops::reportNg(c);
        return true;
    }
    return false;
}

// The reply of an "@INIT" command that was not carried out: an "NG" goes to the error box,
// anything else but "OK" is a reply error.
void reportNotDone(PointOpsContext& c) {
    if (c.link.ReplyText.contains(QLatin1String("NG")))
        c.link.setErrorText(c.link.ReplyText);
    else
        c.link.ReportReplyError(c.op, c.host);
}

bool doneOk(const QString& reply) {
    return reply.contains(QLatin1String("OK")) && !reply.contains(QLatin1String("NG"));
}

// Asks to keep unsaved edits first. False when the operator cancelled.
bool confirmStart(PointOpsContext& c, const QString& question) {
    if (!Ops::askYesNo(c, question) || (c.points.modified() && !c.host.confirmDiscard())) {
        c.host.enableToolbar();
        return false;
    }
    return true;
}

// "Do you change to English?" and its write block. The window's row follows the controller.
void offerEnglish(PointOpsContext& c) {
    const QString title = QStringLiteral("Parameter");
    if (c.op.askYesNo(title, QStringLiteral("Do you change to English?"),
                      OperatorInteraction::Icon::Question) != OperatorInteraction::Answer::Yes)
        return;
    c.host.disableWindow();
    Ops::WriteBlock block(c);
    if (!block.open(Command::WritePRM) ||
        !block.sendLine(Command::ParameterData, QStringLiteral("%1 = ").arg(LanguageParameter),
                        QStringLiteral("0")) ||
        !block.finish())
        return;
    c.params.setSettingValue(LanguageParameter, QStringLiteral("0"));
    Ops::restore(c);
    c.op.message(title, QStringLiteral("    Complete."), OperatorInteraction::Icon::None);
}

} // namespace

void initPoints(PointOpsContext& c) {
    const QString title = QStringLiteral("Point initialization");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.setCancelMessage(title, QStringLiteral("Stop"));
    if (!confirmStart(c, QStringLiteral(" Do you initialize point data?")))
        return;

    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, 63);
    c.progress.setValue(0);
    Ops::exchange(c, Command::InitPNT, {}, InitPointsTimeoutMs);
    if (c.link.Timeout) {
        Ops::restore(c);
        c.link.ReportLinkError(c.op, c.host);
        return;
    }
    if (!doneOk(c.link.ReplyText)) {
        reportNotDone(c);
        Ops::restore(c);
        return;
    }

    PointTableData table = c.points.table();
    bool cancelled = false;
    for (int n = 0; n < PointCount; ++n) {
        QCoreApplication::processEvents();
        c.progress.setValue(n);
        if (Ops::cancelled(c, title, QStringLiteral("Stop"))) {
            cancelled = true;
            break;
        }
        table[n] = PointRecord{.note = table[n].note};
    }
    // The controller is already erased: the points emptied so far are kept even after a
    // cancel.
    c.points.setTable(table);
    // The completion message comes before the window is given back; the ended transfer's
    // progress bar is not left standing under it.
    c.progress.hide();
    if (!cancelled)
        c.op.message(title, Completed, OperatorInteraction::Icon::None);
    Ops::restore(c);
}

void initParameters(PointOpsContext& c) {
    const QString title = QStringLiteral("Parameter initialization");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.setCancelMessage(title, QStringLiteral("Stop"));
    if (!confirmStart(c, QStringLiteral("Do you initialize parameter data?")))
        return;
    c.host.disableWindow();

    // The controller must answer before its parameters are reset.
    Ops::exchange(c, Command::QueryVER, {}, VersionTimeoutMs);
    if (failed(c))
        return;
    Ops::exchange(c, Command::ReadDIO, {}, QueryTimeoutMs);
    if (failed(c))
        return;
    const QString controllerType = Ops::readParameterValue(c, 0).trimmed();
    if (failed(c))
        return;

    c.link.ReplyTimeoutMs = InitParametersTimeoutMs;
    const QString preselected =
        ActuatorTypes::isSupported(controllerType) ? controllerType : c.params.actuatorType();
    const OperatorInteraction::TypeChoice choice = c.op.chooseActuatorType(preselected);
    if (choice.okFlag != 1) {
        c.host.refreshDependentDisplays();
        Ops::restore(c);
        return;
    }
    // A type without defaults ends the program before anything is sent.
    if (ParameterRules::defaultListOrEnd(choice.type, c.op).isEmpty()) {
        Ops::restore(c);
        return;
    }

    c.progress.showModeless();
    c.progress.setRange(0, ParameterCount - 1);
    c.progress.setValue(0);
    Ops::exchange(c, Command::InitPRM, choice.type, InitParametersTimeoutMs);
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return;
    }
    if (!doneOk(c.link.ReplyText)) {
        reportNotDone(c);
        c.host.refreshDependentDisplays();
        Ops::restore(c);
        return;
    }

    const QStringList defaults = ActuatorTypes::defaultValues(choice.type);
    ParameterTableData table = c.params.table();
    bool cancelled = false;
    for (int row = 0; row < ParameterCount; ++row) {
        QCoreApplication::processEvents();
        c.progress.setValue(row);
        if (Ops::cancelled(c, title, QStringLiteral("Stop"))) {
            cancelled = true;
            break;
        }
        table[row].initial = defaults.value(row);
        table[row].setting = table[row].initial;
    }
    c.params.setTable(table);
    c.host.refreshDependentDisplays();
    if (cancelled)
        return;
    c.op.message(title, Completed, OperatorInteraction::Icon::None);

    Ops::restore(c);
    offerEnglish(c);
    c.host.refreshDependentDisplays();
    Ops::restore(c);
}

void initOrigin(PointOpsContext& c) {
    const QString title = QStringLiteral("Initialization of the origin");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.ReplyTimeoutMs = QueryTimeoutMs;
    if (!Ops::askYesNo(c, QStringLiteral(" Do you initialize the origin?"))) {
        c.host.enableToolbar();
        return;
    }
    Ops::exchange(c, Command::InitORG, {}, QueryTimeoutMs);
    if (failed(c))
        return;
    Ops::restore(c);
    c.op.message(title, QStringLiteral("Initialization of the origin has finished."),
                 OperatorInteraction::Icon::None);
}

} // namespace InitOps
