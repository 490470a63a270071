#include "tables/SoftLimit.h"

#include "tables/CellText.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace SoftLimit {

namespace {
constexpr int MaxPlus = 9999;
constexpr int MinMinus = -9999;

// Only plain decimal text is a number here: digits with at most one decimal point. Texts
// that arrive by pasting (letters, exponents, several signs) are refused instead of being
// read as some accidental value.
bool parsePlus(const QString& text, double& value) {
    const std::optional<double> number = CellText::number(text);
    if (!number || text.startsWith(QLatin1Char('-')))
        return false;
    value = *number;
    return true;
}

// An optional leading "-" followed by digits only.
bool parseMinus(const QString& text, qint64& value) {
    static const QRegularExpression re(QStringLiteral(R"(^-?[0-9]+$)"));
    if (!re.match(text).hasMatch())
        return false;
    bool ok = false;
    value = text.toLongLong(&ok);
    if (!ok) // a digit run too long for any integer is far out of range either way
        value = text.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                                  : std::numeric_limits<qint64>::max();
    return true;
}

Result refuse(const QString& message) {
    Result r;
    r.message = message;
    return r;
}
} // namespace

QString errorCaption() {
    return QStringLiteral("Error");
}
QString plusRangeMessage() {
    return QStringLiteral("Please set a value within 0 to 9999");
}
QString minusRangeMessage() {
    return QStringLiteral("Please set a value within 0 to -9999");
}

bool acceptsKey(Field field, QChar ch) {
    if (ch.isDigit() && ch.unicode() < 128)
        return true;
    switch (ch.unicode()) {
    case 8:  // backspace
    case 13: // Enter
    case 10:
    case 9:  // Tab
    case 27: // Escape
        return true;
    case '-':
        return field == Field::Minus;
    default:
        return false;
    }
}

Result validate(const QString& plusInput, const QString& minusInput) {
    const QString plusText = plusInput.trimmed();
    const QString minusText = minusInput.trimmed();

    // The plus box: not empty, no sign, 0 to 9999.
    double plus = 0;
    if (plusText.isEmpty() || plusText.contains(QLatin1Char('-')) || !parsePlus(plusText, plus) ||
        plus < 0 || plus > MaxPlus)
        return refuse(plusRangeMessage());

    // The minus box: not empty and not a lone sign.
    if (minusText.isEmpty() || minusText == QLatin1String("-"))
        return refuse(minusRangeMessage());

    // A second "-" after the first character, or any other character that is not a digit.
    qint64 minus = 0;
    if (!parseMinus(minusText, minus))
        return refuse(minusRangeMessage());

    // Without a leading "-" (or with a positive value) only zero is accepted.
    if (!minusText.startsWith(QLatin1Char('-')) || minus > 0) {
        if (minus != 0)
            return refuse(minusRangeMessage());
    } else if (minus < MinMinus) {
        return refuse(minusRangeMessage());
    }

    Result r;
    r.accepted = true;
    r.plus = plus;
    r.minus = static_cast<int>(minus);
    return r;
}

Nearest nearestAccepted(double plus, int minus) {
    Nearest n;
    n.plus = std::clamp(plus, 0.0, double(MaxPlus));
    n.minus = std::clamp(minus, MinMinus, 0);
    QStringList notes;
    if (n.plus != plus)
        notes << QStringLiteral("The suggested +Soft limit %1 is outside 0 to 9999; %2 is shown.")
                     .arg(plusText(plus), plusText(n.plus));
    if (n.minus != minus)
        notes << QStringLiteral("The suggested - Soft limit %1 is outside 0 to -9999; %2 is shown.")
                     .arg(minusText(minus), minusText(n.minus));
    n.note = notes.join(QLatin1Char('\n'));
    return n;
}

Suggestion suggest(double controllerPlus, double controllerMinus, double newShift,
                   double previousShift) {
    // std::nearbyint rounds halves to even in the default rounding mode.
    const double minus = std::nearbyint(controllerMinus - newShift + previousShift);
    const Nearest n = nearestAccepted(controllerPlus - newShift + previousShift,
                                      static_cast<int>(std::clamp(minus, -32768.0, 32767.0)));
    return {n.plus, n.minus, n.note};
}

QString plusText(double plus) {
    return QString::number(plus, 'g', 12);
}

QString minusText(int minus) {
    return QString::number(minus);
}

} // namespace SoftLimit
