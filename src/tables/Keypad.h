#pragma once

#include <QString>

// The editing rules of the numeric keypad: a value text that starts as "0" and a
// decimal-point flag. The keypad checks no range; the table that asked for the value does.
//
// Opened on a cell, the keypad shows the cell's text as a selected value, as an entry field
// shows its selected text: the first digit or "." replaces it (starting again from "0"), so
// what the operator types is what the cell gets. "-" changes the sign of what is shown and,
// pressed before that first digit, keeps the sign for the typed value. "CLR" clears.
class Keypad final {
  public:
    // Key numbers as the keypad lays them out: 0..9 are the digits, then ".", "CLR", "-".
    enum Key : int { Point = 10, Clear = 11, Minus = 12, KeyCount = 13 };

    // The caption of a key ("0".."9", ".", "CLR", "-"); empty for a number out of range.
    static QString caption(int key);

    Keypad() = default;
    // Starts from a cell's text, shown selected; an empty text starts at "0".
    explicit Keypad(const QString& start);

    // Applies one key; numbers outside 0..12 are ignored.
    void press(int key);
    // Applies one key by its caption; an unknown caption is ignored.
    void press(const QString& caption);

    const QString& value() const { return m_value; }
    bool hasPoint() const { return m_point; }
    // True while the cell's text is shown and the next digit or "." replaces it.
    bool isSelected() const { return m_selected; }
    // Back to "0" without a decimal point (the same as "CLR").
    void reset();

  private:
    void digit(int d);
    void replaceSelection();

    QString m_value = QStringLiteral("0");
    bool m_point = false;
    bool m_selected = false;
    bool m_signPressed = false; // "-" was pressed while the cell's text was selected
};
