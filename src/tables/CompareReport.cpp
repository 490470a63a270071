#include "tables/CompareReport.h"

#include <QStringList>

namespace CompareReport {

QString line(const Difference& d, const QString& side) {
    return QStringLiteral("%1, %2: table \"%3\", %4 \"%5\"")
        .arg(d.item, d.field, d.tableValue, side, d.controllerValue);
}

QString text(const QList<Difference>& differences, const QString& side) {
    QStringList lines;
    lines.reserve(differences.size());
    for (const Difference& d : differences)
        lines << line(d, side);
    return lines.join(QLatin1Char('\n'));
}

} // namespace CompareReport
