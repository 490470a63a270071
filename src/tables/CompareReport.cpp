#include "tables/CompareReport.h"

#include <QStringList>

namespace CompareReport {

QString line(const Difference& d) {
    return QStringLiteral("%1, %2: table \"%3\", controller \"%4\"")
        .arg(d.item, d.field, d.tableValue, d.controllerValue);
}

QString text(const QList<Difference>& differences) {
    QStringList lines;
    lines.reserve(differences.size());
    for (const Difference& d : differences)
        lines << line(d);
    return lines.join(QLatin1Char('\n'));
}

} // namespace CompareReport
