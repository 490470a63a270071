#include "pointops/CompareOps.h"

#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"

#include <QStringList>
#include <optional>

namespace CompareOps {

namespace {

constexpr int LastNumber = 63;

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

Result compareTables(const PointOpsContext& c) {
    const PointTableData points = c.points.table();
    const CompareFlow::FirstTable first{
        Command::ReadPNT, LastNumber, QStringLiteral("Point_No"),
        [&points](const QString& reply, int n) {
            const std::optional<QString> line = PointReply::pointLine(reply, n);
            return pointDifferences(n, line ? &*line : nullptr, points[n]);
        }};
    return CompareFlow::run(c, first, c.params);
}

void compare(const PointOpsContext& c) {
    compareTables(c);
}

} // namespace CompareOps
