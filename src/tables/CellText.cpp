#include "tables/CellText.h"

#include <QRegularExpression>
#include <cmath>

namespace CellText {

namespace {
const QRegularExpression& plainDecimal() {
    static const QRegularExpression re(QStringLiteral("^(-?)([0-9]*)(?:\\.([0-9]*))?$"));
    return re;
}

// Adds one to a string of decimal digits, returning the carry-extended result.
QString incremented(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}
} // namespace

std::optional<double> number(const QString& text) {
    const auto m = plainDecimal().match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString fixed2(const QString& text, int shift) {
    const auto m = plainDecimal().match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return {};
    const bool negative = m.capturedLength(1) > 0;
    QString digits = m.captured(2) + m.captured(3);
    qsizetype point = m.capturedLength(2) - shift; // decimal point position inside digits
    if (point < 0) {
        digits.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    }
    while (digits.size() - point < 3)
        digits.append(QLatin1Char('0'));

    QString kept = digits.left(point + 2);
    if (digits[point + 2] >= QLatin1Char('5'))
        kept = incremented(kept);
    while (kept.size() < 3)
        kept.prepend(QLatin1Char('0'));

    QString whole = kept.left(kept.size() - 2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    const QString result = whole + QLatin1Char('.') + kept.right(2);
    const bool zero = result.count(QLatin1Char('0')) == result.size() - 1;
    return (negative && !zero) ? QLatin1Char('-') + result : result;
}

QString leadingNumber(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    QString out;
    if (pos < text.size() &&
        (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        if (text.at(pos) == QLatin1Char('-'))
            out += QLatin1Char('-');
        ++pos;
    }
    bool digits = false;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
        out += c;
    }
    return digits ? out : QStringLiteral("0");
}

std::optional<QString> plainValue(const QString& field) {
    const QString text = field.trimmed();
    if (text.isEmpty() || number(text))
        return text;
    return std::nullopt;
}

double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

} // namespace CellText
