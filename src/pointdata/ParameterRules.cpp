#include "pointdata/ParameterRules.h"

#include "operator/OperatorInteraction.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointRules.h"

#include <QStringList>

namespace ParameterRules {

ParameterTableData startupTable() {
    return PointParameters::initialTable(QStringLiteral("30"));
}

QString defaultListOrEnd(const QString& type, OperatorInteraction& op) {
    if (!PointParameters::isSupported(type)) {
        ParameterRows::reportUnsupportedTypeAndEnd(op);
        return {};
    }
    return PointParameters::defaultList(type);
}

bool fillInitialValues(ParameterTableData& table, const QString& type, OperatorInteraction& op) {
    const QString list = defaultListOrEnd(type, op);
    if (list.isEmpty())
        return false;
    ParameterRows::takeDefaults(table, list, false);
    return true;
}

bool resetToDefaults(ParameterTableData& table, OperatorInteraction& op) {
    const QString list = defaultListOrEnd(table[0].setting, op);
    if (list.isEmpty())
        return false;
    ParameterRows::takeDefaults(table, list, true);
    return true;
}

QString settingValue(const ParameterTableData& table, int number) {
    const int row = PointParameters::rowOfParameter(number);
    return row < 0 ? QString() : table[row].setting;
}

bool setSettingValue(ParameterTableData& table, int number, const QString& value) {
    const int row = PointParameters::rowOfParameter(number);
    if (row < 0)
        return false;
    table[row].setting = value;
    return true;
}

EditResult checkEdit(ParameterTableData& table, int row) {
    if (row < 0 || row >= ParameterCount)
        return EditResult::Kept;
    return checkRow(table[row]);
}

EditResult checkRow(ParameterRow& r) {
    if (r.initial == u"**") {
        r.setting = QStringLiteral("**");
        return EditResult::NotHeld;
    }
    return ParameterRows::checkEdit(r) ? EditResult::Kept : EditResult::Replaced;
}

} // namespace ParameterRules
