#include "pointops/PointReply.h"

#include "link/ReplyRules.h"

namespace PointReply {

std::optional<QString> pointLine(const QString& reply, int n) {
    return ReplyRules::lineAfter(reply, QStringLiteral("P%1=").arg(n));
}

std::optional<PointRecord> point(const QString& reply, int n) {
    const std::optional<QString> line = pointLine(reply, n);
    if (!line)
        return std::nullopt;
    return fromLine(*line);
}

PointRecord fromLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(','));
    PointRecord r;
    r.mode = fields.value(0);
    QString* columns[3] = {&r.position, &r.speed, &r.push};
    int first = 0;
    int last = -1;
    if (r.mode == QLatin1String("A") || r.mode == QLatin1String("I")) {
        first = 0;
        last = 1;
    } else if (r.mode == QLatin1String("O") || r.mode == QLatin1String("C")) {
        first = 1;
        last = 2;
    } else if (r.mode == QLatin1String("U")) {
        first = 0;
        last = 2;
    }
    // An unknown mode letter keeps only the mode text.
    for (int col = first, f = 1; col <= last && f < fields.size(); ++col, ++f)
        *columns[col] = fields[f];
    return r;
}

} // namespace PointReply
