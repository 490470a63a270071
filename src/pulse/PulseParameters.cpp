#include "pulse/PulseParameters.h"

#include "tables/ActuatorType.h"

namespace PulseParameters {

namespace {
const ParameterRows::RowDef kRows[PulseParameterCount] = {
    {0, "Actuator Type", "30 to 33"},
    {4, "Acceleration", "1 to 100 (%)"},
    {5, "Org return direction", "0: Cable side  1: Opposite to cable side"},
    {10, "Org return speed", "1 to 15 (mm/s)"},
    {22, "English or Japanese", "0: English  1: Japanese"},
    {35, "Origin point shift", "-9999 to 9999 (*0.01mm)"},
    {36, "Origin point shift speed", "1 to 10 (*0.01rps)"},
    {37, "Pushing level", "1 to 10 (level)"},
    {38, "Pulse row input mode change", "1 to 4 (No.)"},
    {39, "Up-scaling function of pulse row", "1 to 8 (No.)"},
    {43, "Motor servo method", "0: Use  1: Not use"},
    {53, "INPOS response time", "100 to 1999 (*50uS)"},
};
} // namespace

QString defaultList(const QString& type) {
    if (!ActuatorType::isSupported(type))
        return {};
    return type + QStringLiteral(",100,0,5,1,0,5,10,1,1,0,1000,");
}

const QList<int>& parameterNumbers() {
    static const QList<int> numbers = ParameterRows::numbersOf(kRows);
    return numbers;
}

int rowOfParameter(int number) {
    return parameterNumbers().indexOf(number);
}

PulseParameterData initialTable(const QString& type) {
    PulseParameterData table;
    ParameterRows::buildRows(kRows, table,
                             defaultList(ActuatorType::isSupported(type) ? type : "30"));
    return table;
}

} // namespace PulseParameters
