#include "pointdata/ParameterRules.h"

#include "pointdata/ActuatorTypes.h"
#include "pointdata/PointRules.h"
#include "startup/OperatorInteraction.h"

#include <QStringList>

namespace ParameterRules {

ParameterTableData startupTable() {
    return ActuatorTypes::initialTable(QStringLiteral("30"));
}

void reportUnsupportedType(OperatorInteraction& op) {
    op.message(QStringLiteral("Controller type"), QStringLiteral("Controller type is different."),
               OperatorInteraction::Icon::Warning);
}

QString defaultListOrEnd(const QString& type, OperatorInteraction& op) {
    if (!ActuatorTypes::isSupported(type)) {
        reportUnsupportedType(op);
        op.endProgram();
        return {};
    }
    return ActuatorTypes::defaultList(type);
}

namespace {
// The values of a type default list, one per row; every value is followed by a comma.
QStringList listValues(const QString& list) {
    QStringList values = list.split(QLatin1Char(','));
    values.removeLast();
    return values;
}
} // namespace

bool fillInitialValues(ParameterTableData& table, const QString& type, OperatorInteraction& op) {
    const QString list = defaultListOrEnd(type, op);
    if (list.isEmpty())
        return false;
    const QStringList values = listValues(list);
    for (int k = 0; k < ParameterCount; ++k)
        table[k].initial = values.value(k);
    return true;
}

bool resetToDefaults(ParameterTableData& table, OperatorInteraction& op) {
    const QString list = defaultListOrEnd(table[0].setting, op);
    if (list.isEmpty())
        return false;
    const QStringList values = listValues(list);
    for (int k = 0; k < ParameterCount; ++k) {
        table[k].initial = values.value(k);
        table[k].setting = values.value(k);
    }
    return true;
}

QString settingValue(const ParameterTableData& table, int number) {
    const int row = ActuatorTypes::rowOfParameter(number);
    return row < 0 ? QString() : table[row].setting;
}

bool setSettingValue(ParameterTableData& table, int number, const QString& value) {
    const int row = ActuatorTypes::rowOfParameter(number);
    if (row < 0)
        return false;
    table[row].setting = value;
    return true;
}

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

EditResult checkEdit(ParameterTableData& table, int row) {
    if (row < 0 || row >= ParameterCount)
        return EditResult::Kept;
    ParameterRow& r = table[row];
    if (r.initial == u"**") {
        r.setting = QStringLiteral("**");
        return EditResult::NotHeld;
    }

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
    if (valid)
        return EditResult::Kept;
    r.setting = r.initial;
    return EditResult::Replaced;
}

} // namespace ParameterRules
