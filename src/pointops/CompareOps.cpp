#include "pointops/CompareOps.h"

#include "link/Command.h"
#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "startup/ProgressView.h"

#include <QCoreApplication>
#include <QStringList>
#include <optional>

namespace CompareOps {

namespace {

constexpr int ReadTimeoutMs = 3000;
constexpr int LastNumber = 63;

const QString Title = QStringLiteral("Compare");

// The read of one table. False when the operation ends (reported, window restored).
// The parameter read must be answered "OK": any other reply, a refusal included, is a
// communication error. The point read reports a refusal as a reply error.
bool read(PointOpsContext& c, int code, bool needsOk) {
    Ops::exchange(c, code, {}, ReadTimeoutMs);
    const QString& reply = c.link.ReplyText;
    if (c.link.Timeout || (needsOk && !reply.contains(QLatin1String("OK")))) {
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return false;
    }
    if (reply.contains(QLatin1String("NG"))) {
        Ops::reportNg(c);
        return false;
    }
    return true;
}

// One pass over the numbers 0 to 63 with the progress and cancel protocol; collect adds the
// differences at n. False when the operator cancelled (reported, window restored).
template <typename Collect> bool scan(PointOpsContext& c, Collect collect) {
    for (int n = 0; n <= LastNumber; ++n) {
        QCoreApplication::processEvents();
        c.progress.setValue(n);
        if (Ops::cancelled(c, Title, QStringLiteral("Stop")))
            return false;
        collect(n);
    }
    return true;
}

// The value of "PRM<n>=" up to the next CR; the search for PRM1= cannot match PRM11=.
std::optional<QString> parameterLine(const QString& reply, int n) {
    const QString marker = QStringLiteral("PRM%1=").arg(n);
    const int at = reply.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const int from = at + marker.size();
    const int cr = reply.indexOf(QLatin1Char('\r'), from);
    return reply.mid(from, cr < 0 ? -1 : cr - from);
}

// The point fields in grid order, with the names the report gives them.
constexpr int PointColumns[] = {PointRules::ColMode, PointRules::ColPosition, PointRules::ColSpeed,
                                PointRules::ColPush};

QString fieldName(int column) {
    switch (column) {
    case PointRules::ColMode:
        return QStringLiteral("Mode");
    case PointRules::ColPosition:
        return QStringLiteral("Position");
    case PointRules::ColSpeed:
        return QStringLiteral("Speed");
    default:
        return QStringLiteral("Pushing level");
    }
}

bool withoutPosition(const QString& mode) {
    return mode == u"O" || mode == u"C";
}

// Whether a point of this mode keeps a value in the column (the mode itself always).
bool carries(const QString& mode, int column) {
    if (column == PointRules::ColPosition)
        return !withoutPosition(mode);
    if (column == PointRules::ColPush)
        return mode != u"A" && mode != u"I";
    return true;
}

} // namespace

QList<Difference> pointDifferences(int n, const QString* line, const PointRecord& point) {
    QList<Difference> out;
    const QString item = QStringLiteral("Point %1").arg(n);
    auto add = [&](int column, const QString& table, const QString& controller) {
        out.append(
            {item, fieldName(column), table, controller, CompareReport::FirstGrid, n, column});
    };
    auto cell = [&](int column) { return *PointRules::field(point, column); };

    if (!line) {
        for (int column : PointColumns)
            if (!cell(column).isEmpty())
                add(column, cell(column), {});
        return out;
    }
    const QStringList fields = line->split(QLatin1Char(','));
    if (fields.value(0) == point.mode) {
        int f = 0;
        for (int column : PointColumns) {
            if (column == PointRules::ColPosition && withoutPosition(point.mode))
                continue;
            if (fields.value(f) != cell(column))
                add(column, cell(column), fields.value(f));
            ++f;
        }
        return out;
    }
    // Another mode: the controller's fields mean what its own mode makes them.
    add(PointRules::ColMode, point.mode, fields.value(0));
    const PointRecord held = PointReply::fromLine(*line);
    for (int column : PointColumns) {
        if (column == PointRules::ColMode)
            continue;
        const QString table = carries(point.mode, column) ? cell(column) : QString();
        const QString controller = *PointRules::field(held, column);
        if (table != controller)
            add(column, table, controller);
    }
    return out;
}

bool samePoint(const QString* line, const PointRecord& point) {
    return pointDifferences(0, line, point).isEmpty();
}

namespace {
// A value read as a number: blanks around it are ignored and an empty value reads as 0, as a
// numeric reading of a text does; a text that is no number at all has no reading.
std::optional<double> numericValue(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() ? std::optional<double>(0.0) : CellText::number(t);
}
} // namespace

bool sameParameter(const QString& controllerValue, const QString& setting) {
    const auto a = numericValue(controllerValue);
    const auto b = numericValue(setting);
    if (a && b)
        return *a == *b;
    return controllerValue.trimmed() == setting.trimmed();
}

Result compareTables(PointOpsContext& c) {
    Result result;
    c.host.setSettei(0);
    c.link.operationTitle = Title;
    c.link.setCancelMessage(Title, QStringLiteral("Stop"));
    if (!Ops::askYesNo(c, QStringLiteral("Do you compare data?"))) {
        c.host.enableToolbar();
        result.outcome = Outcome::Cancelled;
        return result;
    }
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, LastNumber);
    c.progress.setValue(0);

    // Both tables are read whole, also after a point difference, so that the report lists
    // every difference; the message still names the first one.
    QList<Difference>& found = result.differences;
    if (!read(c, Command::ReadPNT, false))
        return result;
    const QString pointReply = c.link.ReplyText;
    const PointTableData points = c.points.table();
    int firstPoint = -1;
    const bool pointsDone = scan(c, [&](int n) {
        const std::optional<QString> line = PointReply::pointLine(pointReply, n);
        const QList<Difference> d = pointDifferences(n, line ? &*line : nullptr, points[n]);
        if (!d.isEmpty() && firstPoint < 0)
            firstPoint = n;
        found += d;
    });
    if (!pointsDone) {
        result.outcome = Outcome::Cancelled;
        return result;
    }

    c.progress.setValue(0);
    if (!read(c, Command::ReadPRM, true))
        return result;
    const QString parameterReply = c.link.ReplyText;
    // A controller whose type has no table here cannot be compared parameter by parameter: the
    // operator is told, and the program goes on.
    if (const auto type = parameterLine(parameterReply, 0);
        type && !ActuatorTypes::isSupported(*type)) {
        Ops::restore(c);
        ParameterRules::reportUnsupportedType(c.op);
        return result;
    }
    const ParameterTableData params = c.params.table();
    int firstParameter = -1;
    // Each line is compared with the row of its own parameter number, so a controller that
    // leaves a number out cannot shift the later lines onto the wrong rows.
    const bool parametersDone = scan(c, [&](int n) {
        const int row = ActuatorTypes::rowOfParameter(n);
        if (row < 0)
            return;
        const std::optional<QString> value = parameterLine(parameterReply, n);
        if (!value || sameParameter(*value, params[row].setting))
            return;
        if (firstParameter < 0)
            firstParameter = n;
        found.append({QStringLiteral("Parameter %1").arg(n), params[row].name, params[row].setting,
                      *value, CompareReport::ParameterGrid, row, ParameterTableModel::ColSetting});
    });
    if (!parametersDone) {
        result.outcome = Outcome::Cancelled;
        return result;
    }

    Ops::restore(c);
    c.host.markDifferences(found);
    if (found.isEmpty()) {
        result.outcome = Outcome::Equal;
        c.op.message(Title, QStringLiteral("Comparison of data has finished successfully."),
                     OperatorInteraction::Icon::None);
        return result;
    }
    result.outcome = Outcome::Different;
    const QString first = firstPoint >= 0 ? QStringLiteral("Point_No%1 NG").arg(firstPoint)
                                          : QStringLiteral("Parameter_No%1 NG").arg(firstParameter);
    c.op.detailedMessage(Title, first, OperatorInteraction::Icon::None, CompareReport::text(found));
    return result;
}

void compare(PointOpsContext& c) {
    compareTables(c);
}

} // namespace CompareOps
