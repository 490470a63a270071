#pragma once

#include <QString>

// The editing rules of the numeric keypad: a value text that starts as "0" and a
// decimal-point flag. The keypad checks no range; the table that asked for the value does.
class Keypad final {
  public:
    // Key numbers as the keypad lays them out: 0..9 are the digits, then ".", "CLR", "-".
    enum Key : int { Point = 10, Clear = 11, Minus = 12, KeyCount = 13 };

    // The caption of a key ("0".."9", ".", "CLR", "-"); empty for a number out of range.
    static QString caption(int key);

    Keypad() = default;
    // Starts from a cell's text, so the operator sees the current value and can extend it; an
    // empty text starts at "0".
    explicit Keypad(const QString& start);

    // Applies one key; numbers outside 0..12 are ignored.
    void press(int key);
    // Applies one key by its caption; an unknown caption is ignored.
    void press(const QString& caption);

    const QString& value() const { return m_value; }
    bool hasPoint() const { return m_point; }
    // Back to "0" without a decimal point (the same as "CLR").
    void reset();

  private:
    void digit(int d);

    QString m_value = QStringLiteral("0");
    bool m_point = false;
};
