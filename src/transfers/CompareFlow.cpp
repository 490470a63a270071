#include "transfers/CompareFlow.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/CellText.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/LinkReports.h"

#include <optional>

namespace CompareFlow {

namespace {

constexpr int ReadTimeoutMs = 3000;
constexpr int LastParameter = 63;

const QString Title = QStringLiteral("Compare");

// The read of one table: its reply, or none when the operation ends (reported, window
// restored).
std::optional<QString> read(const OperationContext& c, int code, bool needsOk) {
    const ExchangeResult r = Ops::exchange(c, code, {}, ReadTimeoutMs);
    if (needsOk && !r.Timeout() && !ReplyRules::isOk(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return std::nullopt;
    }
    if (Ops::failed(c, r))
        return std::nullopt;
    return r.ReplyText;
}

std::optional<QString> parameterLine(const QString& reply, int n) {
    return ReplyRules::lineAfter(reply, QStringLiteral("PRM%1=").arg(n));
}

// A value read as a number: blanks around it are ignored and an empty value reads as 0, as a
// numeric reading of a text does; a text that is no number at all has no reading.
std::optional<double> numericValue(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() ? std::optional<double>(0.0) : CellText::number(t);
}

// What the window's tables and a file that passed its check differ in, marked and told.
Result compared(OperatorInteraction& op, const std::function<CompareReport::Findings()>& compare,
                const std::function<void(const QList<Difference>&)>& mark) {
    Result result;
    const CompareReport::Findings found = compare();
    result.differences = found.differences;
    if (mark)
        mark(found.differences);
    result.outcome = tell(op, found, CompareReport::FileSide);
    return result;
}

} // namespace

bool sameParameter(const QString& controllerValue, const QString& setting) {
    const auto a = numericValue(controllerValue);
    const auto b = numericValue(setting);
    if (a && b)
        return *a == *b;
    return controllerValue.trimmed() == setting.trimmed();
}

Result run(const OperationContext& base, const FirstTable& first,
           const ParameterRowsModel& params) {
    Result result;
    const OperationContext c =
        Ops::withCancel(Ops::titled(base, Title), Title, QStringLiteral("Stop"));
    if (!Ops::askYesNo(c, QStringLiteral("Do you compare data?"))) {
        Ops::restore(c);
        result.outcome = Outcome::Cancelled;
        return result;
    }
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, first.last);
    c.progress.setValue(0);
    auto scan = [&](int last, auto collect) { return Ops::eachRow(c, 0, last, collect); };

    // Both tables are read whole, also after a difference in the first, so that the report
    // lists every difference; the message still names the first one.
    QList<Difference>& found = result.differences;
    const std::optional<QString> firstRead = read(c, first.readCode, false);
    if (!firstRead)
        return result;
    const QString firstReply = *firstRead;
    int firstRow = -1;
    if (!scan(first.last, [&](int n) {
            const QList<Difference> d = first.differencesAt(firstReply, n);
            if (!d.isEmpty() && firstRow < 0)
                firstRow = n;
            found += d;
        })) {
        result.outcome = Outcome::Cancelled;
        return result;
    }

    c.progress.setRange(0, LastParameter);
    c.progress.setValue(0);
    QString parameterReply;
    if (firstRow >= 0) {
        // The first table differs: that is the comparison's answer whatever becomes of the
        // parameters, which are read only to complete the report.
        const ExchangeResult r = Ops::exchange(c, Command::ReadPRM, {}, ReadTimeoutMs);
        parameterReply = r.ReplyText;
        QString notCompared;
        if (r.cancelled())
            notCompared = QStringLiteral("cancelled");
        else if (r.Timeout())
            notCompared = r.reason;
        else if (!ReplyRules::isOk(r.ReplyText) || ReplyRules::isRefusal(r.ReplyText))
            notCompared = QStringLiteral("the controller did not give them (%1)")
                              .arg(ReplyRules::errorPart(r.ReplyText).simplified());
        else if (const auto type = parameterLine(r.ReplyText, 0);
                 type && params.typeDefaults(*type).isEmpty())
            notCompared = QStringLiteral("the controller's actuator type \"%1\" has no table here")
                              .arg(type->trimmed());
        if (!notCompared.isEmpty()) {
            if (c.progress.cancelRequested())
                c.progress.resetCancel();
            Ops::restore(c);
            c.host.markDifferences(found);
            result.outcome = Outcome::Different;
            result.parametersNotCompared = notCompared;
            c.op.detailedMessage(
                Title, first.messagePrefix + QString::number(firstRow) + QStringLiteral(" NG"),
                OperatorInteraction::Icon::None,
                CompareReport::text(found) +
                    QStringLiteral("\nThe parameters were not compared: ") + notCompared);
            return result;
        }
    } else if (const std::optional<QString> parameters = read(c, Command::ReadPRM, true)) {
        parameterReply = *parameters;
    } else {
        return result;
    }
    // A controller whose type has no table here cannot be compared parameter by parameter: the
    // operator is told, and the program goes on.
    if (const auto type = parameterLine(parameterReply, 0);
        type && params.typeDefaults(*type).isEmpty()) {
        Ops::restore(c);
        ParameterRows::reportUnsupportedType(c.op);
        return result;
    }
    const std::span<const ParameterRow> rows = params.rows();
    int firstParameter = -1;
    // Each line is compared with the row of its own parameter number, so a controller that
    // leaves a number out cannot shift the later lines onto the wrong rows.
    if (!scan(LastParameter, [&](int n) {
            const int row = ParameterRows::rowOf(rows, n);
            if (row < 0)
                return;
            const std::optional<QString> value = parameterLine(parameterReply, n);
            const ParameterRow& r = rows[size_t(row)];
            if (!value || sameParameter(*value, r.setting))
                return;
            if (firstParameter < 0)
                firstParameter = n;
            found.append({QStringLiteral("Parameter %1").arg(n), r.name, r.setting, *value,
                          CompareReport::ParameterGrid, row, ParameterRowsModel::ColSetting});
        })) {
        result.outcome = Outcome::Cancelled;
        return result;
    }

    Ops::restore(c);
    c.host.markDifferences(found);
    const QString name = found.isEmpty() ? QString()
                         : firstRow >= 0 ? first.messagePrefix + QString::number(firstRow)
                                         : QStringLiteral("Parameter_No%1").arg(firstParameter);
    result.outcome = tell(c.op, {found, name});
    return result;
}

Outcome tell(OperatorInteraction& op, const CompareReport::Findings& found, const QString& side) {
    if (found.differences.isEmpty()) {
        op.message(Title, QStringLiteral("Comparison of data has finished successfully."),
                   OperatorInteraction::Icon::None);
        return Outcome::Equal;
    }
    op.detailedMessage(Title, found.first + QStringLiteral(" NG"), OperatorInteraction::Icon::None,
                       CompareReport::text(found.differences, side));
    return Outcome::Different;
}

Result compareWithFile(OperatorInteraction& op, const SettingsFileFlow::FileCheck& read,
                       const std::function<CompareReport::Findings()>& compare,
                       const std::function<void(const QList<Difference>&)>& mark) {
    Result result;
    bool chosen = false;
    const bool passed = SettingsFileFlow::chooseAndCheck(op, CompareWithFileTitle, read, &chosen);
    if (!passed) {
        result.outcome = chosen ? Outcome::Failed : Outcome::Cancelled;
        return result;
    }
    return compared(op, compare, mark);
}

Result compareWithBytes(OperatorInteraction& op, const QByteArray& bytes,
                        const SettingsFileFlow::FileCheck& read,
                        const std::function<CompareReport::Findings()>& compare,
                        const std::function<void(const QList<Difference>&)>& mark) {
    if (!SettingsFileFlow::checkRead(op, read, bytes))
        return {};
    return compared(op, compare, mark);
}

} // namespace CompareFlow
