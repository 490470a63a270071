#pragma once

#include <QChar>
#include <QList>
#include <QString>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls the panels are built of; each carries its program name as its object name.
namespace PanelWidgets {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
// A numeric entry box just wide enough for the longest value it shows (the sample).
QLineEdit* box(const QString& name, const QString& text, const QString& sample, QWidget* parent);
// A label that names a box (its buddy).
QLabel* label(const QString& text, QWidget* buddy, QWidget* parent);
QGroupBox* frame(const QString& name, const QString& caption, QWidget* parent);

// Keyboard access to panel buttons: Alt and a letter of the caption, underlined. The caption's
// letters stay as they are and so does the accessible name; a caption changed later through
// setCaption keeps the letter where it still has it.
struct Mnemonic {
    const char* name; // the button's object name
    char letter;
};
// Gives each named button below root its letter.
void setMnemonics(QWidget* root, const QList<Mnemonic>& mnemonics);
// The caption as shown, without the mnemonic marks.
QString caption(const QAbstractButton* button);
void setCaption(QAbstractButton* button, const QString& caption);

} // namespace PanelWidgets
