#pragma once

#include "link/Command.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

// The stop dialog "STOP", shown modeless while a motion of its main window may run. STOP asks
// that window's drive panel to stop (the one stop path: the stop character goes straight to the
// open port of the motion's exchange, which collects the controller's answer). Closing the
// dialog (its close button, Alt+F4) and Escape are a STOP too. The dialog never hides itself:
// only its window's motion state shows and hides it, so it is there again whenever a stop goes
// unanswered and the actuator may still be moving.
//
// Like the progress dialog it stays usable while its owner window is disabled, and it takes
// the keyboard focus (on STOP) when it appears: Enter, Space and Escape stop at once.
class frmstop final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmstop)
  public:
    // requestStop asks the main window that is visible to stop; it does nothing when that
    // window is hidden or nothing moves.
    explicit frmstop(std::function<void()> requestStop, QWidget* parent = nullptr);
    ~frmstop() override;

    // What the STOP button does.
    void stop();

    // The dialog's own command fields, holding the last stop line composed.
    const Command::Fields& fields() const { return m_fields; }

    // Escape and closing the dialog: a STOP.
    void reject() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    std::function<void()> m_requestStop;
    QPushButton* m_button = nullptr;
    Command::Fields m_fields;
};
