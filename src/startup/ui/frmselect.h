#pragma once

#include "startup/StartupSequence.h"

#include <QWidget>
#include <functional>

class QLabel;
class QGroupBox;
class QRadioButton;
class QPushButton;
class frmbar;

// The start-up window: shows what the kind query found, offers the manual choice, then hides
// itself and hands over to the main window of the chosen kind. It stays loaded while a main
// window is open; closing it ends the program.
class frmselect final : public QWidget {
    Q_OBJECT
  public:
    using ShowMain = std::function<void(StartupSequence::Kind)>;
    using EndProgram = std::function<void()>;

    frmselect(StartupSequence& sequence, ShowMain showMain, EndProgram endProgram,
              QWidget* parent = nullptr);

    // Shows the window and runs the start-up sequence.
    void start();
    // The progress dialog of the start-up read.
    frmbar& progress() { return *m_progress; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter or Return with the manual choice shown acts as OK.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void handOver(StartupSequence::Kind kind);
    // Grows the window to hold the texts shown since, so that the choice is never squeezed.
    void fitHeight();

    StartupSequence& m_sequence;
    ShowMain m_showMain;
    EndProgram m_endProgram;
    QLabel* m_label;
    QLabel* m_detail;  // the port that was tried and why it gave no kind
    QLabel* m_iniNote; // QRX5.ini could not be read: what is used instead
    QGroupBox* m_frame;
    QRadioButton* m_point;
    QRadioButton* m_pulse;
    QPushButton* m_ok;
    frmbar* m_progress;
};
