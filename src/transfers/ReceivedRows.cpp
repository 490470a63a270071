#include "transfers/ReceivedRows.h"
#include "transfers/LinkReports.h"

namespace Ops {

void receiveRows(const OperationContext& base, ReceivedRows& rows, const QString& title,
                 const QString& question, int timeoutMs, const QString& finishedTitle) {
    const OperationContext c = titled(base, title);
    const std::optional<ExchangeResult> read =
        readTable(c, rows.readCode(), question, timeoutMs, rows.lastRow());
    if (!read)
        return;

    const QString reply = read->ReplyText;
    rows.clear();
    const bool done = eachRow(c, 0, rows.lastRow(), [&](int n) { rows.take(reply, n); });
    rows.model().setModified(true);
    restore(c);
    c.link.setErrorText({});
    if (done) {
        c.host.transferFinished({FinishedTransfer::Way::Receive, FinishedTransfer::Table::First});
        c.op.message(finishedTitle, QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    }
    c.state.settei = 1;
    restore(c);
    c.link.setErrorText({});
}

} // namespace Ops
