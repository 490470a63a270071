#include "pointdata/PointParameters.h"

namespace PointParameters {

namespace {
const ParameterRows::RowDef kRows[ParameterCount] = {
    {0, "Actuator Type", "30 to 33"},
    {1, "(+) Soft Limit", "0 to 9999 (*0.01mm)"},
    {2, "(-) Soft Limit", "-9999 to 0 (*0.01mm)"},
    {4, "Acceleration", "1 to 100 (%)"},
    {5, "Org return direction", "0: Cable side  1: Opposite to cable side"},
    {7, "Pushing speed", "1 to 10 (mm/s)"},
    {8, "Low-speed move distance", "1 to 9999 (*0.01mm)"},
    {9, "Limit width", "1 to 9999 (*0.01mm)"},
    {10, "Org return speed", "1 to 15 (mm/s)"},
    {21, "Setting stroke", "1 to 9999 (*0.01mm)"},
    {22, "English or Japanese", "0: English  1: Japanese"},
    {24, "Teach movement speed", "1 to 15 (mm/s)"},
    {25, "Teach movement unit", "1 to 9999 (*0.01mm)"},
    {26, "Teach movement pushing force", "1 to 10 (level)"},
    {30, "Max Speed", "1 to 100 (%)"},
    {31, "Max sanple pushing point", "-4000 to 4000 (*0.01mm)"},
    {32, "Min sanple pushing point", "-4000 to 4000 (*0.01mm)"},
    {33, "Size detecting function", "0: Invalid function  1: Valid function"},
    {35, "Origin point shift", "-9999 to 9999 (*0.01mm)"},
    {36, "Origin point shift speed", "1 to 15 (mm/s)"},
};
} // namespace

QString defaultList(const QString& type) {
    if (!isSupported(type))
        return {};
    const QString stroke = (type == "30" || type == "32") ? "2000" : "4000";
    return QStringLiteral("%1,%2,-20,100,0,10,200,200,5,%2,1,5,10,5,100,0,0,0,0,5,")
        .arg(type, stroke);
}

QStringList defaultValues(const QString& type) {
    QStringList values = defaultList(type).split(QLatin1Char(','));
    if (!values.isEmpty())
        values.removeLast(); // the text after the last comma
    return values;
}

int transmitSpeedLimit(const QString& type) {
    return (type == "32" || type == "33") ? 120 : 50;
}

const QList<int>& parameterNumbers() {
    static const QList<int> numbers = ParameterRows::numbersOf(kRows);
    return numbers;
}

int rowOfParameter(int number) {
    return parameterNumbers().indexOf(number);
}

ParameterTableData initialTable(const QString& type) {
    ParameterTableData table;
    ParameterRows::buildRows(kRows, table, defaultList(isSupported(type) ? type : "30"));
    return table;
}

} // namespace PointParameters
