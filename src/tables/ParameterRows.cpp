#include "tables/ParameterRows.h"

#include "operator/OperatorInteraction.h"
#include "tables/CellText.h"

#include <cmath>

namespace ParameterRows {

std::optional<std::pair<float, float>> bounds(const QString& range) {
    const qsizetype to = range.indexOf(QStringLiteral(" to "));
    const qsizetype unit = range.indexOf(QStringLiteral(" ("));
    if (range.contains(QLatin1Char(':')) || to < 0 || unit < to)
        return std::nullopt;
    const auto lower = CellText::number(range.left(to));
    const auto upper = CellText::number(range.mid(to + 4, unit - to - 4));
    if (!lower || !upper)
        return std::nullopt;
    return std::pair{static_cast<float>(*lower), static_cast<float>(*upper)};
}

bool checkEdit(ParameterRow& r) {
    bool valid = false;
    if (r.range.contains(QLatin1Char(':'))) {
        valid = r.setting == u"0" || r.setting == u"1";
    } else {
        // Only a text that reads wholly as a plain decimal is a number here; the type row
        // has no unit in its range text, so it has no bounds and never keeps an edit.
        const auto value = CellText::number(r.setting);
        const auto limits = bounds(r.range);
        if (value && limits) {
            const float v = static_cast<float>(*value);
            valid = v >= limits->first && v <= limits->second;
        }
    }
    if (!valid)
        r.setting = r.initial;
    return valid;
}

std::optional<TableProblem> valueProblem(const ParameterRow& r, bool emptyAllowed) {
    if (r.setting.isEmpty() && emptyAllowed)
        return std::nullopt;
    const QString item = QStringLiteral("Parameter %1").arg(r.number);
    const QString value = TableProblem::quoted(r.setting);
    if (r.range.contains(QLatin1Char(':'))) {
        if (r.setting == u"0" || r.setting == u"1")
            return std::nullopt;
        return TableProblem{item, r.name, value + QStringLiteral(" is neither 0 nor 1"), {}};
    }
    const auto number = CellText::number(r.setting);
    if (!number)
        return TableProblem{item, r.name, value + QStringLiteral(" is not a number"), {}};
    const auto limits = bounds(r.range);
    if (!limits)
        return std::nullopt; // a row without bounds takes any number
    const float v = static_cast<float>(*number);
    if (v < limits->first || v > limits->second)
        return TableProblem{item, r.name, value + QStringLiteral(" is not within ") + r.range, {}};
    // The controller stores whole numbers: "5.5" would not be what it holds.
    if (*number != std::floor(*number))
        return TableProblem{item, r.name, value + QStringLiteral(" is not a whole number"), {}};
    return std::nullopt;
}

QStringList listValues(const QString& defaultList) {
    QStringList values = defaultList.split(QLatin1Char(','));
    values.removeLast(); // the text after the last comma
    return values;
}

void takeDefaults(std::span<ParameterRow> rows, const QString& defaultList, bool alsoSetting) {
    const QStringList values = listValues(defaultList);
    for (size_t k = 0; k < rows.size(); ++k) {
        rows[k].initial = values.value(qsizetype(k));
        if (alsoSetting)
            rows[k].setting = rows[k].initial;
    }
}

QList<int> numbersOf(std::span<const RowDef> layout) {
    QList<int> numbers;
    for (const RowDef& r : layout)
        numbers << r.number;
    return numbers;
}

void buildRows(std::span<const RowDef> layout, std::span<ParameterRow> rows,
               const QString& defaultList) {
    for (size_t k = 0; k < rows.size() && k < layout.size(); ++k) {
        rows[k].number = layout[k].number;
        rows[k].name = QString::fromLatin1(layout[k].name);
        rows[k].range = QString::fromLatin1(layout[k].range);
    }
    takeDefaults(rows, defaultList, true);
}

int rowOf(std::span<const ParameterRow> rows, int number) {
    for (size_t k = 0; k < rows.size(); ++k)
        if (rows[k].number == number)
            return int(k);
    return -1;
}

void reportUnsupportedType(OperatorInteraction& op) {
    op.message(QStringLiteral("Controller type"), QStringLiteral("Controller type is different."),
               OperatorInteraction::Icon::Warning);
}

void reportUnsupportedTypeAndEnd(OperatorInteraction& op) {
    reportUnsupportedType(op);
    op.endProgram();
}

QString originShiftText(const QString& hundredths) {
    const QString text = CellText::fixed2(hundredths, 2);
    return QStringLiteral("Origin point shift: ") +
           (text.isEmpty() ? QStringLiteral("0.00") : text);
}

} // namespace ParameterRows
