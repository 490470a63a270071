#include "transfers/InitSteps.h"

#include "link/Command.h"
#include "operator/ProgressView.h"
#include "tables/ParameterRowsModel.h"

namespace InitSteps {

namespace {

constexpr int InitTableTimeoutMs = 10000;
constexpr int InitParametersTimeoutMs = 5000;
constexpr int OriginTimeoutMs = 3000;
constexpr int LanguageParameter = 22;

// The reply of an "@INIT" command that was not carried out: an "NG" goes to the error box,
// anything else but "OK" is a reply error.
void reportNotDone(OperationContext& c) {
    if (c.link.ReplyText.contains(QLatin1String("NG")))
        c.link.setErrorText(c.link.ReplyText);
    else
        c.link.ReportReplyError(c.op, c.host);
}

bool doneOk(const QString& reply) {
    return reply.contains(QLatin1String("OK")) && !reply.contains(QLatin1String("NG"));
}

// "Do you change to English?" and its write block. The window's row follows the controller.
// True when the operator cancelled the write.
bool offerEnglish(OperationContext& c, ParameterRowsModel& params, int progressLast) {
    const QString title = QStringLiteral("Parameter");
    if (c.op.askYesNo(title, QStringLiteral("Do you change to English?"),
                      OperatorInteraction::Icon::Question) != OperatorInteraction::Answer::Yes)
        return false;
    // Its failures and its Cancel are told as in any write block, titled as its question.
    c.link.operationTitle = title;
    c.host.disableWindow();
    if (progressLast > 0) {
        if (c.progress.cancelRequested())
            c.progress.resetCancel(); // a click left over from the initialisation
        c.progress.showModeless();
        c.progress.setRange(0, progressLast);
        c.progress.setValue(0);
    }
    Ops::WriteBlock block(c, QStringLiteral("parameters"), 1);
    const auto step = [&](int value) {
        if (progressLast > 0)
            c.progress.setValue(value);
        return true;
    };
    if (!block.open(Command::WritePRM) || !step(1) ||
        !block.sendLine(Command::ParameterData, QStringLiteral("%1 = ").arg(LanguageParameter),
                        QStringLiteral("0")) ||
        !step(2) || !block.finish())
        return block.cancelled();
    params.setSettingValue(LanguageParameter, QStringLiteral("0"));
    Ops::restore(c);
    c.op.message(title, QStringLiteral("    Complete."), OperatorInteraction::Icon::None);
    return false;
}

} // namespace

bool confirm(OperationContext& c, const QString& question, bool modified) {
    if (!Ops::askYesNo(c, question) || (modified && !c.host.confirmDiscard())) {
        c.host.enableToolbar();
        return false;
    }
    return true;
}

void clearTable(OperationContext& c, const TableClear& init) {
    c.host.setSettei(0);
    c.link.operationTitle = init.title;
    c.link.setCancelMessage(init.title, QStringLiteral("Stop"));
    if (!confirm(c, init.question, init.modified))
        return;

    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, init.last);
    c.progress.setValue(0);
    Ops::exchange(c, init.code, {}, InitTableTimeoutMs);
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
    const bool done =
        Ops::eachRow(c, 0, init.last, init.clearRow, init.title, QStringLiteral("Stop"));
    init.commit();
    // The completion message comes before the window is given back; the ended transfer's
    // progress bar is not left standing under it.
    c.progress.hide();
    if (done)
        c.op.message(init.title, QLatin1String(Completed), OperatorInteraction::Icon::None);
    Ops::restore(c);
}

Outcome initParameters(OperationContext& c, ParameterRowsModel& params, bool modified,
                       const std::function<bool()>& before, int englishProgressLast) {
    const QString title = QStringLiteral("Parameter initialization");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.setCancelMessage(title, QStringLiteral("Stop"));
    if (!confirm(c, QStringLiteral("Do you initialize parameter data?"), modified))
        return Outcome::Declined;
    c.host.disableWindow();
    // The controller must answer before its parameters are reset.
    if (before && !before())
        return c.link.cancelled() ? Outcome::Cancelled : Outcome::Failed;
    const QString controllerType = Ops::readParameterValue(c, 0).trimmed();
    if (Ops::failed(c))
        return c.link.cancelled() ? Outcome::Cancelled : Outcome::Failed;

    c.link.ReplyTimeoutMs = InitParametersTimeoutMs;
    const QString preselected =
        params.typeDefaults(controllerType).isEmpty() ? params.actuatorType() : controllerType;
    const OperatorInteraction::TypeChoice choice = c.op.chooseActuatorType(preselected);
    if (choice.okFlag != 1) {
        c.host.refreshDependentDisplays();
        Ops::restore(c);
        return Outcome::Cancelled;
    }
    // A type without defaults ends the program before anything is sent.
    const QStringList defaults = ParameterRows::listValues(params.typeDefaults(choice.type));
    if (defaults.isEmpty()) {
        ParameterRows::reportUnsupportedTypeAndEnd(c.op);
        Ops::restore(c);
        return Outcome::Failed;
    }

    const int last = int(params.rows().size()) - 1;
    c.progress.showModeless();
    c.progress.setRange(0, last);
    c.progress.setValue(0);
    Ops::exchange(c, Command::InitPRM, choice.type, InitParametersTimeoutMs);
    if (c.link.Timeout) {
        const bool cancelledWait = c.link.cancelled();
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return cancelledWait ? Outcome::Cancelled : Outcome::Failed;
    }
    if (!doneOk(c.link.ReplyText)) {
        reportNotDone(c);
        c.host.refreshDependentDisplays();
        Ops::restore(c);
        return Outcome::Failed;
    }

    std::vector<ParameterRow> rows(params.rows().begin(), params.rows().end());
    const bool done = Ops::eachRow(
        c, 0, last,
        [&](int row) {
            rows[size_t(row)].initial = defaults.value(row);
            rows[size_t(row)].setting = rows[size_t(row)].initial;
        },
        title, QStringLiteral("Stop"));
    params.setRows(rows);
    c.host.refreshDependentDisplays();
    if (!done)
        return Outcome::Cancelled;
    c.op.message(title, QLatin1String(Completed), OperatorInteraction::Icon::None);

    Ops::restore(c);
    const bool englishCancelled = offerEnglish(c, params, englishProgressLast);
    c.host.refreshDependentDisplays();
    Ops::restore(c);
    return englishCancelled ? Outcome::Cancelled : Outcome::Done;
}

void initOrigin(OperationContext& c, int progressLast) {
    const QString title = QStringLiteral("Initialization of the origin");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.ReplyTimeoutMs = OriginTimeoutMs;
    if (!Ops::askYesNo(c, QStringLiteral(" Do you initialize the origin?"))) {
        c.host.enableToolbar();
        return;
    }
    if (progressLast > 0) {
        // Nothing else may start while the controller sets its origin; the dialog's Cancel
        // ends the wait.
        c.host.disableWindow();
        if (c.progress.cancelRequested())
            c.progress.resetCancel();
        c.progress.showModeless();
        c.progress.setRange(0, progressLast);
        c.progress.setValue(0);
    }
    Ops::exchange(c, Command::InitORG, {}, OriginTimeoutMs);
    if (Ops::failed(c))
        return;
    if (progressLast > 0)
        c.progress.setValue(progressLast);
    Ops::restore(c);
    c.op.message(title, QStringLiteral("Initialization of the origin has finished."),
                 OperatorInteraction::Icon::None);
}

} // namespace InitSteps
