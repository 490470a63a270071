#include "pointdata/DependentDisplays.h"

#include "pointdata/ParameterRules.h"
#include "pointdata/PointRules.h"

namespace {
QString hundredths(const QString& value) {
    const QString text = CellText::fixed2(value, 2);
    return text.isEmpty() ? QStringLiteral("0.00") : text;
}
} // namespace

QString DependentDisplays::originShiftText(const QString& value) {
    return ParameterRows::originShiftText(value);
}

DependentDisplays DependentDisplays::compute(const ParameterTableData& table) {
    using ParameterRules::settingValue;
    DependentDisplays d;
    d.pushingSpeed = settingValue(table, 7);
    d.distance = hundredths(settingValue(table, 8));
    d.limitWidth = hundredths(settingValue(table, 9));
    d.maxPoint = hundredths(settingValue(table, 31));
    d.minPoint = hundredths(settingValue(table, 32));
    const auto detection = CellText::number(settingValue(table, 33));
    d.sizeDetectionValid = detection && *detection == 1;
    d.originShift = originShiftText(settingValue(table, 35));
    return d;
}
