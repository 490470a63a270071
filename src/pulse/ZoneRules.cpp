#include "pulse/ZoneRules.h"

#include "tables/CellText.h"

#include <utility>

namespace ZoneRules {

namespace {
double leadingValue(const QString& text) {
    return CellText::number(CellText::leadingNumber(text)).value_or(0.0);
}
} // namespace

bool acceptsCharacter(int column, QChar c) {
    if (c.unicode() < 0x20 || column == ColNote)
        return true;
    if (column != ColA && column != ColB)
        return false;
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool acceptsText(int column, const QString& text) {
    for (const QChar c : text)
        if (!acceptsCharacter(column, c))
            return false;
    return true;
}

std::optional<QString> checkPosition(const QString& text) {
    if (text.isEmpty())
        return text;
    const QString number = CellText::leadingNumber(text);
    const double value = CellText::number(number).value_or(0.0);
    if (value < -Limit || value > Limit)
        return std::nullopt;
    return CellText::fixed2(number);
}

std::optional<TableProblem> valueProblem(const ZoneRecord& zone, int n) {
    const QString item = QStringLiteral("Zone %1").arg(n);
    for (const auto& [field, value] : {std::pair{QStringLiteral("Zone position A (mm)"), zone.a},
                                       std::pair{QStringLiteral("Zone position B (mm)"), zone.b}}) {
        if (value.isEmpty())
            continue;
        const auto number = CellText::number(value);
        if (!number)
            return TableProblem{
                item, field, TableProblem::quoted(value) + QStringLiteral(" is not a number"), {}};
        if (*number < -Limit || *number > Limit)
            return TableProblem{item, field,
                                TableProblem::quoted(value) +
                                    QStringLiteral(" is not within -40.00 to 40.00"),
                                RangeText};
    }
    return std::nullopt;
}

QString shown(const QString& position) {
    const QString text = position.trimmed();
    return CellText::number(text) ? CellText::fixed2(text) : position;
}

QString transmissionText(const ZoneRecord& zone) {
    return shown(zone.a) + u',' + shown(zone.b);
}

Verdict consistency(const ZoneRecord& zone) {
    const bool noA = zone.a.isEmpty();
    const bool noB = zone.b.isEmpty();
    if (noA && noB)
        return Verdict::Skipped;
    if (noA || noB)
        return Verdict::Incomplete;
    const double a = leadingValue(zone.a);
    const double b = leadingValue(zone.b);
    if ((a < 0 && a < b) || (a > 0 && a > b) || shown(zone.a) == shown(zone.b))
        return Verdict::Rejected;
    return Verdict::Accepted;
}

TableVerdict checkTable(const ZoneTableData& zones) {
    for (int n = 0; n < ZoneCount; ++n) {
        const Verdict v = consistency(zones[n]);
        if (v == Verdict::Incomplete || v == Verdict::Rejected)
            return {v, n};
    }
    return {};
}

} // namespace ZoneRules
