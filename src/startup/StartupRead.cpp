#include "startup/StartupRead.h"

#include "link/Command.h"
#include "operator/ProgressView.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/Operation.h"
#include "transfers/ParameterTransfer.h"

#include <algorithm>

namespace StartupRead {

namespace {

constexpr int LastParameter = 63;

// No main window is shown yet: there is nothing to disable or give back.
class StartupHost final : public OperationHost {
  public:
    void setSettei(int) override {}
    void disableWindow() override {}
    void refreshDependentDisplays() override {}
    bool confirmDiscard() override { return true; }
};

enum class Read { Reply, Skipped, Ended };

// The row number that the last complete line of a table reply names: the digits between its
// leading letters and its "=" ("P12=A,..." 12, "PRM5=100" 5, "Z3=..." 3); -1 for none.
int lastRowReceived(const QString& soFar) {
    const qsizetype end = soFar.lastIndexOf(QLatin1String("\r\n"));
    if (end < 0)
        return -1;
    const qsizetype start = soFar.lastIndexOf(QLatin1Char('\n'), end - 1) + 1;
    qsizetype i = start;
    while (i < end && soFar.at(i).isLetter())
        ++i;
    int row = 0;
    const qsizetype digits = i;
    while (i < end && i - digits < 4 && soFar.at(i).isDigit())
        row = row * 10 + soFar.at(i++).digitValue();
    return (i > digits && i < end && soFar.at(i) == QLatin1Char('=')) ? row : -1;
}

// One table's read exchange. Reply: the reply is there to be taken. Skipped: the operator
// cancelled or the controller refused (told); the read goes on. Ended: no reply in time.
// While the reply comes in, the progress follows the rows received so far (a paced controller
// takes seconds for a whole table); taking the rows then runs it through the table again.
Read readTable(OperationContext& c, int code, int timeoutMs, int lastRow) {
    int shown = -1;
    const QMetaObject::Connection following = QObject::connect(
        &c.link, &Link::receiving, &c.link, [&c, &shown, lastRow](const QString& soFar) {
            const int row = std::min(lastRowReceived(soFar), lastRow);
            if (row > shown && c.progress.isShown()) {
                shown = row;
                c.progress.setValue(row);
            }
        });
    Ops::exchange(c, code, {}, timeoutMs);
    QObject::disconnect(following);
    if (c.link.cancelled()) {
        Ops::cancelled(c, QLatin1String(CancelTitle), QLatin1String(CancelText));
        return Read::Skipped;
    }
    if (c.link.Timeout)
        return Read::Ended;
    if (c.link.ReplyText.contains(QLatin1String("NG"))) {
        Ops::reportNg(c);
        return Read::Skipped;
    }
    return Read::Reply;
}

// The parameters; false when the program ends.
bool readParameters(OperationContext& c, StartupTables& tables) {
    c.progress.setRange(0, LastParameter);
    c.progress.setValue(0);
    if (readTable(c, Command::ReadPRM, tables.parameterTimeoutMs, LastParameter) != Read::Reply)
        return true;
    switch (ParameterTransfer::take(c, *tables.parameters, c.link.ReplyText,
                                    QLatin1String(CancelTitle), QLatin1String(CancelText))) {
    case ParameterTransfer::Taken::UnsupportedType:
        c.progress.hide();
        ParameterRows::reportUnsupportedTypeAndEnd(c.op);
        return false;
    case ParameterTransfer::Taken::NoTable:
        Ops::reportNg(c);
        return true;
    case ParameterTransfer::Taken::All:
    case ParameterTransfer::Taken::Cancelled:
        return true;
    }
    return true;
}

// Everything before the parameters; false when a time-out ended the read.
bool readFirst(OperationContext& c, StartupTables& tables) {
    for (const StartupTables::Query& q : tables.queries) {
        Ops::exchange(c, q.code, {}, q.timeoutMs);
        if (c.link.Timeout)
            return false;
    }
    ReceivedRows& rows = *tables.first;
    c.progress.setRange(0, rows.lastRow());
    c.progress.setValue(0);
    c.progress.showModeless();
    const Read read = readTable(c, rows.readCode(), tables.firstTimeoutMs, rows.lastRow());
    if (read == Read::Ended)
        return false;
    if (read == Read::Reply) {
        const QString reply = c.link.ReplyText;
        rows.clear();
        Ops::eachRow(
            c, 0, rows.lastRow(), [&](int n) { rows.take(reply, n); }, QLatin1String(CancelTitle),
            QLatin1String(CancelText));
    }
    return true;
}

} // namespace

Result run(Link& link, OperatorInteraction& op, ProgressView& progress, StartupTables& tables) {
    StartupHost host;
    OperationContext c{link, op, progress, host};
    if (progress.cancelRequested())
        progress.resetCancel();
    const bool goesOn = !readFirst(c, tables) || readParameters(c, tables);
    progress.hide();
    if (!goesOn)
        return Result::ProgramEnded;
    link.waitForEnd();
    if (tables.finished)
        tables.finished();
    return Result::Done;
}

} // namespace StartupRead
