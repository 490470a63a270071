#pragma once

#include "link/Link.h"

#include <QMainWindow>
#include <QPointer>

class OperatorInteraction;
class QLabel;
class QPushButton;
class frmbar;
class frmstop;
class errorRecord;

// What both main windows share: their own link on their own serial port, the three status
// bar panels (1: link faults, 2: the window's own text, 3: the port name), the monitor boxes,
// the port dialog, and closing, which writes the port to the INI file and ends the program.
class MainWindowBase : public QMainWindow, public LinkHost {
    Q_OBJECT
  public:
    MainWindowBase(LinkState& state, OperatorInteraction& op, SerialChannel& channel,
                   QString iniPath, QWidget* parent = nullptr);
    ~MainWindowBase() override;

    Link& link() { return m_link; }
    OperatorInteraction& op() { return m_op; }
    LinkState& linkState() { return m_state; }
    frmbar& progress();
    // The stop dialog of this window: its STOP stops a motion of this window's link while the
    // window is visible.
    frmstop& stopDialog();
    bool stopDialogShown() const;

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    // Com_Setup: an empty port name becomes "COM1", then a new port dialog is shown.
    void openPortDialog();

    // Help > Version and the logo button: "@?VER " (500 ms), then the About box with the
    // controller version (the first four characters of the trimmed reply).
    void About();
    QString controllerVersion() const { return m_controllerVersion; }

    // The last step of Error History Display: any open error history window is replaced by
    // a new one showing the entries; its Save gives this window its caption.
    void showErrorRecord(const QStringList& entries);
    errorRecord* errorRecordWindow() const;

    // LinkHost
    void enableWindow() override { setEnabled(true); }
    void hideProgress() override;

  protected:
    // Asks about unsaved work before the window closes; false keeps the window open.
    virtual bool confirmClose() { return true; }
    // Stops what runs (timers, a motion) before the program ends.
    virtual void stopActivities() {}
    void closeEvent(QCloseEvent* event) override;

    // The communication boxes Txt_ComS, Txt_ComR and Txt_Error in a small frame.
    QWidget* createMonitorBoxes(QWidget* parent);
    // The logo button "Command1": a mouse press opens About while logoEnabled().
    QPushButton* createLogoButton(QWidget* parent);
    virtual bool logoEnabled() const { return true; }
    // Runs before the version query of About (the window's flags for the link's reports).
    virtual void prepareVersionQuery() {}

    LinkState& m_state;
    OperatorInteraction& m_op;
    Link m_link;
    QString m_iniPath;

  private:
    QLabel* m_panels[3] = {};
    frmbar* m_progress = nullptr;
    frmstop* m_stop = nullptr;
    QPointer<errorRecord> m_errorRecord;
    QString m_controllerVersion;
};
