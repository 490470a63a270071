#pragma once

#include "link/Link.h"
#include "startup/CellMarks.h"

#include <QMainWindow>
#include <QPointer>

class OperatorInteraction;
class QAbstractItemView;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTableView;
class TrafficLogWindow;
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

    // Compare's marks on this window's grids; an operation on the controller clears them.
    CellMarks& cellMarks() { return m_marks; }
    // The traffic log window of the View menu: every line sent and received by the program.
    void openTrafficLog();
    TrafficLogWindow* trafficLogWindow() const;

    // LinkHost
    void enableWindow() override { setEnabled(true); }
    void hideProgress() override;

    // Room the window frame (title bar and borders) takes around the window's inside.
    static constexpr int FrameWidth = 16;
    static constexpr int FrameHeight = 48;
    // Where a window opens on a screen whose free area is free: the preferred inside size, or
    // as much of it as fits there with its frame (never below minimum), centred. Returns the
    // frame's rectangle.
    static QRect fittedFrame(QSize preferred, QSize minimum, QRect free);

    // The menu item's caption as a tool tip says it: without its access key ("Save As(&A)..."
    // gives "Save As..."), followed by its shortcut if it has one.
    static QString toolTipOf(const QAction* item);
    // Disabled views keep dark text (an operation disables the window while it runs, and
    // light grey on the grid colour could not be read); the header and cells stay as they are.
    static void keepReadableWhenDisabled(QAbstractItemView* view);

  protected:
    // Opens at the preferred size on a large screen, fully visible on a small one.
    void fitToScreen(QSize preferred);
    // A column of panels that scrolls when the window is lower than the panels; its width
    // stays that of the panels.
    QScrollArea* scrollColumn(QWidget* content, QWidget* parent);
    // The standard shortcuts of File > Open, Save As, Print and Exit (the items named
    // mnuFileOpen, mnuFileSave, mnuFilePrint and mnuFileExit), shown beside their captions.
    void addStandardShortcuts();
    // A toolbar key runs item: it gets the item's caption and shortcut as its tool tip.
    static void describeKey(QAction* key, const QAction* item);

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
    // Shows Compare's marks over a grid: grid is CompareReport::FirstGrid or ParameterGrid.
    void markGrid(QTableView* view, int grid);
    // The View menu's item "Traffic Log" (object name mnuViewTraffic).
    QAction* addTrafficLogItem(QMenu* view);

    LinkState& m_state;
    OperatorInteraction& m_op;
    Link m_link;
    QString m_iniPath;

  private:
    QLabel* m_panels[3] = {};
    frmbar* m_progress = nullptr;
    frmstop* m_stop = nullptr;
    QPointer<errorRecord> m_errorRecord;
    QPointer<TrafficLogWindow> m_traffic;
    CellMarks m_marks;
    QString m_controllerVersion;
};
