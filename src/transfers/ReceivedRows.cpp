#include "transfers/ReceivedRows.h"

namespace Ops {

void receiveRows(OperationContext& c, ReceivedRows& rows, const QString& title,
                 const QString& question, int timeoutMs, const QString& finishedTitle) {
    c.host.setSettei(0);
    c.link.operationTitle = title;
    if (!readTable(c, rows.readCode(), question, timeoutMs, rows.lastRow()))
        return;

    const QString reply = c.link.ReplyText;
    rows.clear();
    const bool done = eachRow(c, 0, rows.lastRow(), [&](int n) { rows.take(reply, n); });
    rows.model().setModified(true);
    restore(c);
    c.link.setErrorText({});
    if (done)
        c.op.message(finishedTitle, QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    c.host.setSettei(1);
    restore(c);
    c.link.setErrorText({});
}

} // namespace Ops
