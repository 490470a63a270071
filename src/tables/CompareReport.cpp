#include "tables/CompareReport.h"

#include "link/Command.h"

#include <QStringList>

namespace CompareReport {

namespace {
// Control characters by their names (<CR>, <LF>); every other character as it is.
QString shown(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            out += Command::visible(QString(ch));
        else
            out += ch;
    }
    return out;
}
} // namespace

QString line(const Difference& d, const QString& side, const QString& tableSide) {
    // One difference is one line whatever the values hold: a line end or another control
    // character in a value (a quoted field, a noisy reply) is shown by its name.
    return QStringLiteral("%1, %2: %3 \"%4\", %5 \"%6\"")
        .arg(shown(d.item), shown(d.field), tableSide, shown(d.tableValue), side,
             shown(d.controllerValue));
}

QString text(const QList<Difference>& differences, const QString& side) {
    QStringList lines;
    lines.reserve(differences.size());
    for (const Difference& d : differences)
        lines << line(d, side);
    return lines.join(QLatin1Char('\n'));
}

} // namespace CompareReport
