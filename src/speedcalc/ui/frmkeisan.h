#pragma once

#include "speedcalc/SpeedCalculation.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The tool window "Slider Operating Speed Calculation": the robot type options (Option1_0 to
// Option1_3, "30 : QRX-A20" to "33 : QRX-B40"), "Start calculation" (Command1) showing the
// maximum speed ("Max Speed", Text1, "0.0") and acceleration ("Max Acceleration", Text2,
// "0##"), and "Close" (Command2). Shown without being modal while its opener is disabled; it
// stays usable then. Closing it by Close or by its frame selects option 0 again, empties both
// result boxes, hides it and emits closed() so that the opener enables itself again.
class frmkeisan final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmkeisan)
  public:
    explicit frmkeisan(QWidget* parent = nullptr);
    ~frmkeisan() override;

    // Selects the option of the actuator type ("30" to "33"; any other text leaves the
    // selection as it is) and shows the window.
    void openFor(const QString& actuatorType);
    // Start calculation.
    void calculate();
    // Close.
    void closeTool();

    int selectedOption() const;
    QString speedText() const;
    QString accelerationText() const;

  signals:
    void closed();

  public slots:
    void reject() override; // Escape and the frame's close button
  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QRadioButton* m_options[SpeedCalculation::OptionCount] = {};
    QLineEdit* m_speed = nullptr;
    QLineEdit* m_acceleration = nullptr;
    SpeedCalculation::Result m_result;
};
