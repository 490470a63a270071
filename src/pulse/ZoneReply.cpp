#include "pulse/ZoneReply.h"

#include "link/ReplyRules.h"
#include "pulse/ZoneRules.h"
#include "tables/NoteText.h"

#include <QStringList>

namespace ZoneReply {

std::optional<QString> line(const QString& reply, int n) {
    return ReplyRules::lineAfter(reply, QStringLiteral("Z%1=").arg(n));
}

std::optional<ZoneRecord> zone(const QString& reply, int n) {
    const std::optional<QString> text = line(reply, n);
    if (!text)
        return std::nullopt;
    const QStringList fields = text->split(QLatin1Char(','));
    return ZoneRecord{fields.value(0), fields.value(1), NoteText::bounded(fields.value(2))};
}

QList<Difference> differences(int n, const QString* line, const ZoneRecord& zone) {
    const QStringList fields = line ? line->split(QLatin1Char(',')) : QStringList();
    QList<Difference> out;
    const QString item = QStringLiteral("Zone %1").arg(n);
    const auto compare = [&](int column, const QString& name, const QString& table) {
        const QString controller = fields.value(column == ZoneRules::ColA ? 0 : 1);
        if (table != controller)
            out.append({item, name, table, controller, CompareReport::FirstGrid, n, column});
    };
    compare(ZoneRules::ColA, QStringLiteral("Position A"), zone.a);
    compare(ZoneRules::ColB, QStringLiteral("Position B"), zone.b);
    return out;
}

} // namespace ZoneReply
