#include "transfers/ParameterTransfer.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/CellText.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/LinkReports.h"

namespace ParameterTransfer {

namespace {
constexpr int LastNumber = 63;
} // namespace

Taken take(const OperationContext& c, ParameterRowsModel& params, const QString& reply) {
    const QStringList values = ReplyRules::parameterValues(reply);
    // A reply that ended without a single parameter line carries no table: taking its empty
    // "type" would treat a garbled reply as an unknown controller.
    if (values.isEmpty())
        return Taken::NoTable;
    if (params.typeDefaults(values.first()).isEmpty())
        return Taken::UnsupportedType;

    params.setReceiving(true);
    const bool done = Ops::eachRow(c, 0, qMin(LastNumber, int(values.size()) - 1), [&](int k) {
        const QString& value = values[k];
        if (k == 0)
            params.fillInitialValues(value); // a supported type, checked above
        if (const int row = ParameterRows::rowOf(params.rows(), k); row >= 0)
            params.setData(params.index(row, ParameterRowsModel::ColSetting), value);
    });
    params.setReceiving(false);
    return done ? Taken::All : Taken::Cancelled;
}

void receive(const OperationContext& base, ParameterRowsModel& params, GridTableModel& flag,
             int timeoutMs, int firstProgress) {
    const OperationContext c = Ops::titled(base, QStringLiteral("Parameter reception"));
    const std::optional<ExchangeResult> read =
        Ops::readTable(c, Command::ReadPRM, QStringLiteral("Do you receive parameter data?"),
                       timeoutMs, LastNumber, firstProgress);
    if (!read)
        return;

    const Taken taken = take(c, params, read->ReplyText);
    if (taken == Taken::NoTable) {
        Ops::reportNg(c, *read);
        return;
    }
    // A type without defaults cannot fill the table. The operator is told; the tables and the
    // program stay as they were (nothing the operator edited may be lost over one reply).
    if (taken == Taken::UnsupportedType) {
        c.progress.hide(); // the message comes before the window is given back
        ParameterRows::reportUnsupportedType(c.op);
        Ops::restore(c);
        c.state.settei = 1;
        return;
    }
    flag.setModified(true);
    // The completion message comes before the window is given back; the ended transfer's
    // progress bar is not left standing under it.
    c.progress.hide();
    if (taken == Taken::All) {
        c.host.transferFinished(
            {FinishedTransfer::Way::Receive, FinishedTransfer::Table::Parameters});
        c.op.message(QStringLiteral("Receive Parameter"), QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    }
    Ops::restore(c);
    c.link.setErrorText({});
    c.host.refreshDependentDisplays();
    c.state.settei = 1;
}

bool allAccepted(const OperationContext& c, std::span<const ParameterRow> rows,
                 const QList<DataLine>& lines) {
    for (const DataLine& line : lines) {
        if (!line.sent)
            continue;
        ParameterRow row;
        if (const int k = ParameterRows::rowOf(rows, line.number); k >= 0)
            row = rows[size_t(k)];
        row.number = line.number;
        row.setting = line.value;
        const std::optional<TableProblem> problem = ParameterRows::valueProblem(row);
        if (!problem)
            continue;
        c.link.setErrorText(QStringLiteral("PRM%1=").arg(line.number) +
                            Command::visible(line.value));
        c.op.informativeMessage(QLatin1String(NotANumberTitle), QLatin1String(NotANumber),
                                OperatorInteraction::Icon::None, problem->text());
        c.state.settei = 1;
        Ops::restore(c);
        return false;
    }
    return true;
}

} // namespace ParameterTransfer
