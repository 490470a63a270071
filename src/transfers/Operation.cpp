#include "transfers/Operation.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/CellText.h"
#include "transfers/LinkReports.h"

namespace Ops {

namespace {

// BuildCommand (which waits for a pending exchange and composes the line), then Exchange of
// the composed line or of the one given.
ExchangeResult run(const OperationContext& c, int code, const QString& argument,
                   const QString& fields, int timeoutMs, const QString* asWritten, bool inHold) {
    Link& link = c.link;
    link.ReplyTimeoutMs = timeoutMs;
    link.ClearCommand();
    link.P_Command = code;
    link.P_second = argument;
    link.P_third = fields;
    link.BuildCommand();
    if (asWritten)
        link.sousinnaiyou = *asWritten;
    ExchangeResult r = inHold ? link.ExchangeInHold() : link.Exchange();
    // A reply with bytes that no controller sends came over a noisy line: none of it can be
    // trusted, so the exchange fails like a line fault and the operation reports the
    // communication error with its tables unchanged.
    if (!r.Timeout() && !ReplyRules::isPlainText(r.ReplyText)) {
        r.end = ExchangeResult::End::Noise;
        r.reason = link.lineName() + QStringLiteral(": ") + QLatin1String(NoiseReasonText);
    }
    return r;
}

} // namespace

QString holdings(const BlockProgress& b, const QString& source) {
    if (!b.eraseSent && b.sent == 0 && !b.ended)
        return QStringLiteral("Nothing was written: the controller's %1 are as they were.")
            .arg(b.records);
    if (b.eraseSent && !b.erased)
        return QStringLiteral("The controller's %1 may have been erased: transmit again.")
            .arg(b.records);
    if (b.erased)
        return QStringLiteral("The controller holds %1 of %2 %3: transmit again.")
            .arg(b.written)
            .arg(b.total)
            .arg(b.records);
    return QStringLiteral("The controller took %1 of the %2 %3 %4; the others are as they were: "
                          "transmit again.")
        .arg(b.written)
        .arg(source)
        .arg(b.total)
        .arg(b.records);
}

bool askYesNo(const OperationContext& c, const QString& question) {
    return c.op.askYesNo(c.title, question, OperatorInteraction::Icon::Question) ==
           OperatorInteraction::Answer::Yes;
}

ExchangeResult exchange(const OperationContext& c, int code, const QString& argument, int timeoutMs,
                        bool inHold) {
    return run(c, code, argument, {}, timeoutMs, nullptr, inHold);
}

ExchangeResult exchangeAsWritten(const OperationContext& c, int code, const QString& line,
                                 int timeoutMs) {
    return run(c, code, {}, {}, timeoutMs, &line, false);
}

ExchangeResult exchangeDataLine(const OperationContext& c, int code, const QString& argument,
                                const QString& fields) {
    return run(c, code, argument, fields, 100, nullptr, true);
}

ExchangeResult readParameter(const OperationContext& c, int number) {
    return exchange(c, Command::QueryPRM, QString::number(number), 3000);
}

QString valueOf(const ExchangeResult& r) {
    return Link::ExtractReplyValue(r.ReplyText);
}

std::optional<double> numberOf(const ExchangeResult& r) {
    return CellText::number(valueOf(r).trimmed());
}

QString stateOf(const ExchangeResult& r) {
    return ReplyRules::stateValue(r.ReplyText);
}

QString queryVersion(Link& link) {
    link.ReplyTimeoutMs = 500;
    link.ClearCommand();
    link.P_Command = Command::QueryVER;
    link.BuildCommand();
    const ExchangeResult r = link.Exchange();
    return r.Timeout() ? QString() : r.ReplyText.trimmed().left(4);
}

void setProgress(const OperationContext& c, int value) {
    c.progress.setValue(value);
}

void restore(const OperationContext& c) {
    c.progress.hide();
    c.host.restore();
}

bool cancelled(const OperationContext& c, const QString& beside) {
    if (!c.progress.cancelRequested())
        return false;
    c.progress.resetCancel();
    restore(c);
    if (beside.isEmpty())
        c.op.message(c.cancel.title, c.cancel.text, OperatorInteraction::Icon::Warning);
    else
        c.op.informativeMessage(c.cancel.title, c.cancel.text, OperatorInteraction::Icon::Warning,
                                beside);
    return true;
}

bool failed(const OperationContext& c, const ExchangeResult& r) {
    if (r.Timeout()) {
        reportLinkError(c, r);
        return true;
    }
    if (ReplyRules::isRefusal(r.ReplyText)) {
        reportNg(c, r);
        return true;
    }
    return false;
}

std::optional<ExchangeResult> readTable(const OperationContext& c, int code,
                                        const QString& question, int timeoutMs, int last,
                                        int first) {
    c.progress.setValue(0);
    if (!askYesNo(c, question)) {
        restore(c);
        return std::nullopt;
    }
    c.link.setErrorText({});
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, last);
    c.progress.setValue(first);
    const ExchangeResult r = exchange(c, code, {}, timeoutMs);
    if (failed(c, r))
        return std::nullopt;
    return r;
}

} // namespace Ops
