#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the controller panels of both main windows share: controls found by their program
// names (Cmd_Start, Txt_Pos ...), and the three teaching method options Opt_Num_0 to 2, the
// first of which is numeric input.
class ControlPanel : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ControlPanel)

  public:
    // Controls by object name; nullptr for a name the panel does not have.
    QPushButton* button(const QString& objectName) const;
    QLineEdit* box(const QString& objectName) const;
    QRadioButton* teachingOption(int index) const;
    QButtonGroup* teachingOptions() const { return m_options; }

    // Numeric input mode: the first teaching option is chosen.
    bool numericInputChosen() const;
    // Enables the numeric input option and gives it the focus.
    void focusNumericInput();

  protected:
    explicit ControlPanel(QWidget* parent) : QWidget(parent) {}
    // The teaching options with these captions in a row of the frame.
    QHBoxLayout* makeTeachingOptions(QWidget* frame, const QStringList& captions);

  private:
    QButtonGroup* m_options = nullptr;
};
