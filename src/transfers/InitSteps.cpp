#include "transfers/InitSteps.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

namespace InitSteps {

namespace {

constexpr int InitTableTimeoutMs = 10000;
constexpr int InitParametersTimeoutMs = 5000;
constexpr int OriginTimeoutMs = 3000;
constexpr int LanguageParameter = 22;

// The reply of an "@INIT" command that was not carried out: an "NG" goes to the error box,
// anything else but "OK" is a reply error.
void reportNotDone(const OperationContext& c, const ExchangeResult& r) {
    if (ReplyRules::isRefusal(r.ReplyText))
        c.link.setErrorText(r.ReplyText);
    else
        Ops::reportReplyError(c, r);
}

bool doneOk(const QString& reply) {
    return ReplyRules::isOk(reply) && !ReplyRules::isRefusal(reply);
}

// "Do you change to English?" and its write block. The window's row follows the controller.
// True when the operator cancelled the write.
bool offerEnglish(const OperationContext& base, ParameterRowsModel& params, int progressLast) {
    // Its failures and its Cancel are told as in any write block, titled as its question.
    const OperationContext c = Ops::titled(base, QStringLiteral("Parameter"));
    if (!Ops::askYesNo(c, QStringLiteral("Do you change to English?")))
        return false;
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
    c.op.message(c.title, QStringLiteral("    Complete."), OperatorInteraction::Icon::None);
    return false;
}

} // namespace

bool confirm(const OperationContext& c, const QString& question, bool modified) {
    if (!Ops::askYesNo(c, question) || (modified && !c.host.confirmDiscard())) {
        Ops::restore(c);
        return false;
    }
    return true;
}

void clearTable(const OperationContext& base, const TableClear& init) {
    const OperationContext c =
        Ops::withCancel(Ops::titled(base, init.title), init.title, QStringLiteral("Stop"));
    if (!confirm(c, init.question, init.modified))
        return;

    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, init.last);
    c.progress.setValue(0);
    const ExchangeResult r = Ops::exchange(c, init.code, {}, InitTableTimeoutMs);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return;
    }
    if (!doneOk(r.ReplyText)) {
        reportNotDone(c, r);
        Ops::restore(c);
        return;
    }
    const bool done = Ops::eachRow(c, 0, init.last, init.clearRow);
    init.commit();
    // The completion message comes before the window is given back; the ended transfer's
    // progress bar is not left standing under it.
    c.progress.hide();
    if (done) {
        c.host.transferFinished({FinishedTransfer::Way::Init, FinishedTransfer::Table::First});
        c.op.message(init.title, QLatin1String(Completed), OperatorInteraction::Icon::None);
    }
    Ops::restore(c);
}

Outcome initParameters(const OperationContext& base, ParameterRowsModel& params, bool modified,
                       const std::function<Outcome(const OperationContext&)>& before,
                       int englishProgressLast) {
    const QString title = QStringLiteral("Parameter initialization");
    const OperationContext c =
        Ops::withCancel(Ops::titled(base, title), title, QStringLiteral("Stop"));
    if (!confirm(c, QStringLiteral("Do you initialize parameter data?"), modified))
        return Outcome::Declined;
    c.host.disableWindow();
    // The controller must answer before its parameters are reset.
    if (before) {
        if (const Outcome first = before(c); first != Outcome::Done)
            return first;
    }
    const ExchangeResult typeRead = Ops::readParameter(c, 0);
    if (Ops::failed(c, typeRead))
        return typeRead.cancelled() ? Outcome::Cancelled : Outcome::Failed;
    const QString controllerType = Ops::valueOf(typeRead).trimmed();

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
    const ExchangeResult r =
        Ops::exchange(c, Command::InitPRM, choice.type, InitParametersTimeoutMs);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return r.cancelled() ? Outcome::Cancelled : Outcome::Failed;
    }
    if (!doneOk(r.ReplyText)) {
        reportNotDone(c, r);
        c.host.refreshDependentDisplays();
        Ops::restore(c);
        return Outcome::Failed;
    }

    std::vector<ParameterRow> rows(params.rows().begin(), params.rows().end());
    const bool done = Ops::eachRow(c, 0, last, [&](int row) {
        rows[size_t(row)].initial = defaults.value(row);
        rows[size_t(row)].setting = rows[size_t(row)].initial;
    });
    params.setRows(rows);
    c.host.refreshDependentDisplays();
    if (!done)
        return Outcome::Cancelled;
    // The controller holds the defaults; a later "Do you change to English?" write that
    // completes sets parameter 22 in the table too, before the operation ends.
    c.host.transferFinished({FinishedTransfer::Way::Init, FinishedTransfer::Table::Parameters});
    c.op.message(title, QLatin1String(Completed), OperatorInteraction::Icon::None);

    Ops::restore(c);
    const bool englishCancelled = offerEnglish(c, params, englishProgressLast);
    c.host.refreshDependentDisplays();
    Ops::restore(c);
    return englishCancelled ? Outcome::Cancelled : Outcome::Done;
}

void initOrigin(const OperationContext& base, int progressLast) {
    const OperationContext c = Ops::titled(base, QStringLiteral("Initialization of the origin"));
    if (!Ops::askYesNo(c, QStringLiteral(" Do you initialize the origin?"))) {
        Ops::restore(c);
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
    const ExchangeResult r = Ops::exchange(c, Command::InitORG, {}, OriginTimeoutMs);
    if (Ops::failed(c, r))
        return;
    if (progressLast > 0)
        c.progress.setValue(progressLast);
    Ops::restore(c);
    c.op.message(c.title, QStringLiteral("Initialization of the origin has finished."),
                 OperatorInteraction::Icon::None);
}

} // namespace InitSteps
