#include "transfers/LinkReports.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"

namespace Ops {

namespace {

void focusNumericInput(const OperationContext& c) {
    if (!c.host.numericInputMode())
        c.host.focusNumericInputOption();
}

} // namespace

void reportLinkError(const OperationContext& c, const ExchangeResult& r) {
    if (r.cancelled()) {
        // The operator ended the wait: the operation ends as after a Cancel between rows.
        c.progress.resetCancel();
        restore(c);
        c.op.message(c.cancel.title, c.cancel.text, OperatorInteraction::Icon::Warning);
        return;
    }
    if (r.refusedLine()) {
        // Not a fault of the line, and never quiet: the operator must learn that a value of
        // the table was not sent and the operation ended.
        c.op.informativeMessage(c.title, QString::fromLatin1(LineRefusedText),
                                OperatorInteraction::Icon::Warning, Command::visible(r.sent));
        restore(c);
        return;
    }
    ++c.state.failureReports;
    if (!c.state.settei && c.state.orgpos != 1 && !c.quiet) {
        c.op.beep();
        // Characters 7 and 8 of "STOP" CR LF "64:..." name the missing pushing object, which
        // the motion reports itself.
        if (r.ReplyText.mid(6, 2) != QLatin1String("64")) {
            c.op.informativeMessage(c.title, QString::fromLatin1(LinkErrorText),
                                    OperatorInteraction::Icon::None, r.reason);
            focusNumericInput(c);
        }
    }
    restore(c);
}

void reportReplyError(const OperationContext& c, const ExchangeResult& r, const QString& beside) {
    ++c.state.failureReports;
    c.link.setErrorText(r.ReplyText);
    const QString title = QStringLiteral("Error");
    const QString text = QStringLiteral("Cannot receive data from controller.");
    if (!ReplyRules::isStop(r.ReplyText) && !c.quiet) {
        if (beside.isEmpty())
            c.op.message(title, text, OperatorInteraction::Icon::Critical);
        else
            c.op.informativeMessage(title, text, OperatorInteraction::Icon::Critical, beside);
    }
    c.link.sousinnaiyou.clear();
    focusNumericInput(c);
    restore(c);
}

void reportNg(const OperationContext& c, const ExchangeResult& r, const QString& beside) {
    reportReplyError(c, r, beside);
}

} // namespace Ops
