#include "startup/StartupRead.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/LinkReports.h"
#include "transfers/ParameterTransfer.h"

#include <algorithm>

namespace StartupRead {

namespace {

constexpr int LastParameter = 63;

// No main window is shown yet: there is nothing to disable or give back.
class StartupHost final : public OperationHost {
  public:
    void restore() override {}
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
struct TableRead {
    Read read = Read::Ended;
    QString reply;
};
TableRead readTable(const OperationContext& c, int code, int timeoutMs, int lastRow) {
    int shown = -1;
    const QMetaObject::Connection following = QObject::connect(
        &c.link, &Link::receiving, &c.link, [&c, &shown, lastRow](const QString& soFar) {
            const int row = std::min(lastRowReceived(soFar), lastRow);
            if (row > shown && c.progress.isShown()) {
                shown = row;
                c.progress.setValue(row);
            }
        });
    const ExchangeResult r = Ops::exchange(c, code, {}, timeoutMs);
    QObject::disconnect(following);
    if (r.cancelled()) {
        Ops::cancelled(c);
        return {Read::Skipped, {}};
    }
    if (r.Timeout())
        return {Read::Ended, {}};
    if (ReplyRules::isRefusal(r.ReplyText)) {
        Ops::reportNg(c, r);
        return {Read::Skipped, {}};
    }
    return {Read::Reply, r.ReplyText};
}

// The parameters; false when the program ends.
bool readParameters(const OperationContext& c, StartupTables& tables) {
    c.progress.setRange(0, LastParameter);
    c.progress.setValue(0);
    const TableRead read = readTable(c, Command::ReadPRM, tables.parameterTimeoutMs, LastParameter);
    if (read.read != Read::Reply)
        return true;
    switch (ParameterTransfer::take(c, *tables.parameters, read.reply)) {
    case ParameterTransfer::Taken::UnsupportedType:
        c.progress.hide();
        ParameterRows::reportUnsupportedTypeAndEnd(c.op);
        return false;
    case ParameterTransfer::Taken::NoTable: {
        ExchangeResult r;
        r.ReplyText = read.reply;
        Ops::reportNg(c, r);
        return true;
    }
    case ParameterTransfer::Taken::All:
    case ParameterTransfer::Taken::Cancelled:
        return true;
    }
    return true;
}

// Everything before the parameters; false when a time-out ended the read.
bool readFirst(const OperationContext& c, StartupTables& tables) {
    for (const StartupTables::Query& q : tables.queries) {
        if (Ops::exchange(c, q.code, {}, q.timeoutMs).Timeout())
            return false;
    }
    ReceivedRows& rows = *tables.first;
    c.progress.setRange(0, rows.lastRow());
    c.progress.setValue(0);
    c.progress.showModeless();
    const TableRead read = readTable(c, rows.readCode(), tables.firstTimeoutMs, rows.lastRow());
    if (read.read == Read::Ended)
        return false;
    if (read.read == Read::Reply) {
        rows.clear();
        Ops::eachRow(c, 0, rows.lastRow(), [&](int n) { rows.take(read.reply, n); });
    }
    return true;
}

} // namespace

Result run(Link& link, OperatorInteraction& op, ProgressView& progress, StartupTables& tables) {
    StartupHost host;
    OperationState state;
    // Every message of the read is titled by its own report; a Cancel says "Data not received".
    const OperationContext c{link,
                             op,
                             progress,
                             host,
                             state,
                             QStringLiteral("Stop"),
                             {QLatin1String(CancelTitle), QLatin1String(CancelText)}};
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
