#include "tables/Keypad.h"

QString Keypad::caption(int key) {
    if (key >= 0 && key <= 9)
        return QString::number(key);
    switch (key) {
    case Point:
        return QStringLiteral(".");
    case Clear:
        return QStringLiteral("CLR");
    case Minus:
        return QStringLiteral("-");
    default:
        return {};
    }
}

Keypad::Keypad(const QString& start) {
    const QString text = start.trimmed();
    if (!text.isEmpty()) {
        m_value = text;
        m_point = text.contains(QLatin1Char('.'));
        m_selected = true;
    }
}

void Keypad::replaceSelection() {
    if (!m_selected)
        return;
    // The typed value starts from the empty keypad; a sign the operator chose stays.
    const bool negative = m_signPressed && m_value.startsWith(QLatin1Char('-'));
    reset();
    if (negative)
        m_value = QStringLiteral("-0");
}

void Keypad::press(int key) {
    if (key >= 0 && key <= 9) {
        replaceSelection();
        digit(key);
        return;
    }
    switch (key) {
    case Point:
        replaceSelection();
        if (!m_point) {
            m_value += QLatin1Char('.');
            m_point = true;
        }
        break;
    case Clear:
        reset();
        break;
    case Minus:
        // The sign only ever stands in front, so removing the first character drops it.
        if (m_value.contains(QLatin1Char('-')))
            m_value.remove(0, 1);
        else
            m_value.prepend(QLatin1Char('-'));
        if (m_selected)
            m_signPressed = !m_signPressed;
        break;
    default:
        break;
    }
}

void Keypad::press(const QString& text) {
    for (int key = 0; key < KeyCount; ++key) {
        if (caption(key) == text) {
            press(key);
            return;
        }
    }
}

void Keypad::reset() {
    m_value = QStringLiteral("0");
    m_point = false;
    m_selected = false;
    m_signPressed = false;
}

void Keypad::digit(int d) {
    if (d == 0) {
        // A lone zero stays a lone zero; anywhere else a zero is appended.
        if (m_value != QLatin1String("0"))
            m_value += QLatin1Char('0');
        return;
    }
    // A leading zero gives way to the first significant digit, keeping the sign.
    if (m_value == QLatin1String("0"))
        m_value.clear();
    else if (m_value == QLatin1String("-0"))
        m_value = QStringLiteral("-");
    m_value += QChar(u'0' + d);
}
