#include "speedcalc/SpeedCalculation.h"

#include <cmath>

namespace SpeedCalculation {

std::optional<int> optionOf(const QString& type) {
    for (int k = 0; k < OptionCount; ++k)
        if (type == QString::number(30 + k))
            return k;
    return std::nullopt;
}

Result calculate(int option, Result previous) {
    if (option == 0 || option == 1)
        return {50, 500};
    if (option == 2 || option == 3)
        return {120, 1400};
    return previous;
}

QString speedText(float mmPerSecond) {
    return QString::number(double(mmPerSecond), 'f', 1);
}

QString accelerationText(float mmPerSecondSquared) {
    const double whole = std::round(double(mmPerSecondSquared));
    const QString digits = QString::number(std::fabs(whole), 'f', 0).rightJustified(3, u'0');
    return whole < 0 ? QStringLiteral("-") + digits : digits;
}

} // namespace SpeedCalculation
