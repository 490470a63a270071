#pragma once

#include "link/Command.h"

#include <QDialog>
#include <functional>

class Link;
class QLabel;
class QPushButton;

// The stop dialog "STOP", shown modeless while a return to origin runs. STOP writes the stop
// character straight to the open port of the visible main window (the return-to-origin
// exchange holds that port open and collects the controller's answer) and hides the dialog.
// With no port open nothing is written and the dialog just hides.
//
// Like the progress dialog it stays usable while its owner window is disabled.
class frmstop final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmstop)
  public:
    // visibleMainLink gives the link of the main window that is visible, or nullptr.
    explicit frmstop(std::function<Link*()> visibleMainLink, QWidget* parent = nullptr);
    ~frmstop() override;

    // What the STOP button does.
    void stop();

    // The dialog's own command fields, holding the last stop line composed.
    const Command::Fields& fields() const { return m_fields; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    std::function<Link*()> m_visibleMainLink;
    Command::Fields m_fields;
};
