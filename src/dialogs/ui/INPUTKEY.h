#pragma once

#include "tables/Keypad.h"

#include <QDialog>
#include <QString>

class QLineEdit;

// The numeric keypad "Input a numerical value.": keys "0".."9", ".", "CLR" and "-" edit the
// value shown in the display; Enter returns the display text, Cancel and closing the window
// return the empty text. The keyboard's digit, ".", "-" and Backspace (as "CLR") keys work too;
// Enter presses the button that has the focus (Enter, or Cancel after Tab), Escape cancels.
// Opened on a cell, the display shows the cell's text selected: the first digit or "."
// replaces it.
class INPUTKEY final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(INPUTKEY)
  public:
    // The display starts with start (a cell's text), or "0" when it is empty.
    explicit INPUTKEY(const QString& start = {}, QWidget* parent = nullptr);
    ~INPUTKEY() override;

    // Shows the keypad modally: the typed text, or the empty text after Cancel or closing.
    static QString GetString(const QString& start = {}, QWidget* parent = nullptr);

    // Applies one keypad key (0..9, Keypad::Point, Keypad::Clear, Keypad::Minus).
    void pressKey(int key);
    QString displayText() const;
    // True while the display shows the cell's text selected (the next digit replaces it).
    bool valueSelected() const;
    QString result() const { return m_result; }

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showValue();

    Keypad m_keypad;
    QLineEdit* m_display = nullptr;
    QString m_result;
};
