#pragma once

#include "drive/Drive.h"
#include "history/TablesSnapshot.h"
#include "history/TransferRecorder.h"
#include "link/Link.h"
#include "startup/StartupRead.h"
#include "tables/CellMarks.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <initializer_list>

class ControlPanel;
class ControllerHistory;
class SettingsFileKind;
class OperatorInteraction;
class QAbstractItemView;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTableView;
class QToolBar;
class TableGrid;
class TableHistory;
class TrafficLogWindow;
class frmbar;
class frmstop;
class errorRecord;

// What both main windows share: their own link on their own serial port, the three status
// bar panels (1: link faults, 2: the window's own text, 3: the port name, and beside it where
// that port leads), the monitor boxes,
// the File, View and Help menus, the toolbar with its keys, the port dialog, the version
// query, and closing, which writes the port to the INI file and ends the program.
//
// Menu items and toolbar keys carry their program names as object names (mnuFileOpen,
// "SaveAS" ...). A toolbar click marks a user action in progress, then runs the key's menu
// item (or the window's own action for a key without one).
//
// Every operation the operator starts (a menu item, a toolbar key, a panel button) begins in
// operatorStarts(), the one place that clears settei, so that no failure of an operation is
// silenced by a flag that an earlier one left set.
class MainWindowBase : public QMainWindow {
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

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QAction* toolbarKey(const QString& key) const { return m_keys.value(key); }
    QToolBar* toolbar() const { return m_toolbar; }

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    // The status bar's notice that the controller does not answer the I/O monitor (on `line`),
    // shown while silent; the monitor polls on quietly meanwhile.
    void showControllerSilent(bool silent, const QString& line);
    QString silentNotice() const;

    // Com_Setup: an empty port name becomes "COM1", then a new port dialog is shown.
    void openPortDialog();

    // The File menu; each kind gives its tables.
    virtual bool SaveAs() = 0;
    virtual void NewFile() = 0;
    virtual void OpenFile() = 0;
    virtual void PrintLists() = 0;
    // File > "Compare with file...": the window's tables against a settings file, reported as
    // Compare reports them; nothing is sent and no table changes.
    virtual void CompareWithFile() = 0;
    // "Do you save data?" with its Save As while the tables hold unsaved changes; false when
    // the operator cancelled or the save did not complete.
    virtual bool confirmDiscard() = 0;
    // The window's tables as the start-up read fills them before the window is shown.
    virtual StartupTables startupTables() = 0;
    // Exit: after confirmDiscard() the modified flag is cleared and the window closes.
    void Exit();
    // Help > Version and the logo button: "@?VER " (500 ms), then the About box
    // with the controller version (the first four characters of the trimmed reply).
    void About();
    QString controllerVersion() const { return m_controllerVersion; }

    // The last step of Error History Display: any open error history window is replaced by
    // a new one showing the entries; its Save gives this window its caption.
    void showErrorRecord(const QStringList& entries);
    errorRecord* errorRecordWindow() const;

    // Compare's marks on this window's grids; an operation on the controller clears them.
    CellMarks& cellMarks() { return m_marks; }

    // The Edit menu (MainWindowEdit.cpp): undo and redo of every change of the window's
    // tables (TableHistory; recording starts when the window is first shown), copy and paste
    // of a block of cells as tab-separated text (GridClipboard) in the grid that has or last
    // had the focus.
    TableHistory& history() { return *m_history; }
    void Undo();
    void Redo();
    void CopyCells();
    void PasteCells();
    // The grid Copy and Paste work on; null when no grid is shown.
    TableGrid* activeGrid() const;
    // The traffic log window of the View menu: every line sent and received by the program.
    void openTrafficLog();
    TrafficLogWindow* trafficLogWindow() const;
    void EnableToolbar();
    void DisableToolbar();
    // DisableCommands: the toolbar and the window's locked menu items (setLockedItems) are
    // disabled, as while Operation mode runs; EnableCommands enables them again.
    void DisableCommands();
    void EnableCommands();
    // While anything moves or may (the drive panel's motion state is not idle), the menu items
    // that open a window or a modal dialog are locked, and with them their toolbar keys and
    // the logo button: nothing may cover or disable the stop controls then.
    void lockWhileMoving(bool moving);
    bool lockedWhileMoving() const { return m_motionLocked; }
    // The one restore step of every way out of an operation: the window enabled, its toolbar
    // too unless DisableCommands keeps the commands locked (Operation mode, teaching, size
    // detection), the progress dialog hidden.
    void restoreWindow();
    // Runs an operation of the Tool menu: Compare's marks are cleared first (they hold until
    // the next transfer), and the window is usable again afterwards, whatever happened inside.
    void runTransfer(const std::function<void()>& operation);
    // Where every operation the operator starts begins: settei is cleared.
    void operatorStarts() { m_opState.settei = 0; }
    // Runs a panel button's action whose exchanges and questions may change the tables (a
    // teaching SET) as one undo step: undo and paste are refused until it has ended.
    void runAsStep(const std::function<void()>& action);
    // A slot for a control's signal that starts an operation: operatorStarts(), then run.
    template <typename Run> auto operatorAction(Run run) {
        return [this, run] {
            operatorStarts();
            run();
        };
    }
    // True while a toolbar key's action runs.
    bool userActionInProgress() const { return m_userAction; }

    // The controller history (MainWindowHistory.cpp). What a Tool-menu operation run by
    // runTransfer finished (transferFinished, told by the operation through its host) is
    // recorded for this window's port when the operation is over: the window's tables as
    // they then stand, the tables the operation did not cover as last recorded. A write
    // block that changed the controller and did not end (writeBlockChanged) records nothing
    // and says so in status bar panel 1; so do the history's own reports.
    void transferFinished(const FinishedTransfer& transfer) { m_recorder.finished(transfer); }
    void writeBlockChanged(const BlockProgress& block) { m_recorder.blockChanged(block); }
    ControllerHistory& controllerHistory() { return *m_controllerHistory; }
    // File > History...: this port's versions, each compared with the tables or opened as new
    // unsaved tables (one undo step).
    void OpenHistory();

    bool numericInputMode() const;
    void focusNumericInputOption();
    void hideProgress();
    // The toolbar given back, except while DisableCommands keeps the commands locked.
    void enableToolbar();

    // What the window's operations keep between them (settei, the moving flag, the count of
    // failures told).
    OperationState& operationState() { return m_opState; }
    // The drive panel's state (Operation mode, the motion state, the controller values read
    // on entering Operation mode).
    DriveState& driveState() { return m_driveState; }

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
    // The kind's side of the history: copies of its tables for a record, a recorded file
    // compared with the tables (as Compare with file compares one), and its settings file.
    virtual TablesSnapshot historySnapshot() const = 0;
    virtual void compareWithVersion(const QByteArray& bytes) = 0;
    virtual SettingsFileKind& settingsFileKind() = 0;

    // The window's controller panel (its teaching options tell numeric input mode).
    virtual ControlPanel* controlPanel() const = 0;
    // The displays that mirror table values, after undo or redo put tables back.
    virtual void refreshTableDisplays() {}
    void showEvent(QShowEvent* event) override;
    // Clears the modified flag ("Change") of the window's tables.
    virtual void clearModified() = 0;
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

    // The stop dialog's STOP, Exit and closing the window ask the drive panel to stop through
    // its one stop path (nothing is sent when nothing moves).
    virtual void requestStop() {}
    // Asks about unsaved work before the window closes; false keeps the window open.
    virtual bool confirmClose() { return confirmDiscard(); }
    // Stops what runs (timers, a motion) before the program ends; the window is marked as
    // closing (m_closing) by then.
    virtual void stopActivities() {}
    // The action of a toolbar key that runs no menu item.
    virtual void runOwnKey(const QString& key) { (void)key; }
    // The window's own controls that DisableCommands and EnableCommands lock and free.
    virtual void lockOwnControls(bool locked) { (void)locked; }
    void closeEvent(QCloseEvent* event) override;

    QMenu* addMenu(const QString& name, const QString& caption);
    QMenu* addSubmenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    struct ItemDef {
        const char* name;
        const char* caption; // nullptr: a separator carrying the name
    };
    void addItems(QMenu* menu, std::initializer_list<ItemDef> items);
    // File(&F): New File, Open, Compare with file, Save As, Print and Exit, wired to the
    // functions above, with the standard shortcuts (addStandardShortcuts); then the Edit menu.
    // What New File, Open, Save As and Exit change in the tables is one undo step each.
    void buildFileMenu();
    // Tool(&T) with the kind's items and its Init submenu; Com_Setup (mnuToolsCom) opens the
    // port dialog.
    void buildToolMenu(std::initializer_list<ItemDef> items, std::initializer_list<ItemDef> init);
    // Toolbar(&T) and Statusbar(&B): each toggles its check mark and shows or hides its bar;
    // then Traffic Log(&L)... (mnuViewTraffic), the window of every line sent and received.
    void addViewToggles(QMenu* view);
    // Help(&H) with Version(&A).
    void buildHelpMenu();
    struct KeyDef {
        const char* key;
        const char* item; // the menu item the key runs; nullptr: runOwnKey()
    };
    // The toolbar Toolbar1: "NewFile", "Open", "SaveAS", "Print" and "ComSetup", the kind's
    // keys, then "Exit". A key follows the enabled state of its item and its caption as its
    // tool tip (describeKey).
    void buildToolbar(std::initializer_list<KeyDef> kindKeys);
    // The kind's menu items that DisableCommands locks; "Compare with file...", Copy, Paste and
    // "Traffic Log" are locked with them in both kinds.
    void setLockedItems(const QStringList& names);

    // The communication boxes Txt_ComS, Txt_ComR and Txt_Error in a small frame; with
    // errorBoxOut, Txt_Error is handed out for the window to place instead.
    QWidget* createMonitorBoxes(QWidget* parent, QLineEdit** errorBoxOut = nullptr);
    // The logo button "Command1": a mouse press opens About while logoEnabled(): outside
    // Operation mode and while no toolbar key's action runs.
    QPushButton* createLogoButton(QWidget* parent);
    virtual bool logoEnabled() const;
    // Shows Compare's marks over a grid: grid is CompareReport::FirstGrid or ParameterGrid.
    // The grid's table is also kept by the undo history (the first grid's table carries the
    // modified flag) and the grid takes part in copy and paste.
    void markGrid(QTableView* view, int grid);

    LinkState& m_state;
    OperatorInteraction& m_op;
    Link m_link;
    QString m_iniPath;
    OperationState m_opState;
    DriveState m_driveState;
    bool m_closing = false;
    bool m_commandsLocked = false;

  private:
    void setUpControllerHistory();
    void recordTransfer();
    void openVersion(const QByteArray& bytes);

    void buildEditMenu();
    void refreshEditItems();
    // Every item that DisableCommands or lockWhileMoving locks, enabled or not as both say.
    void applyItemLocks();
    // The name an undo step takes from the menu item or button that made it: "table change
    // by Receive(Points)", "table change by Init > Points".
    static QString stepNameOf(const QObject* source);

    QLabel* m_panels[3] = {};
    QLabel* m_portTarget = nullptr;
    QLabel* m_silent = nullptr;
    frmbar* m_progress = nullptr;
    frmstop* m_stop = nullptr;
    QPointer<errorRecord> m_errorRecord;
    QPointer<TrafficLogWindow> m_traffic;
    CellMarks m_marks;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QAction*> m_keys;
    QToolBar* m_toolbar = nullptr;
    QStringList m_lockedItems;
    bool m_motionLocked = false;
    bool m_userAction = false;
    QString m_controllerVersion;
    TableHistory* m_history = nullptr;
    QList<QPointer<TableGrid>> m_tableGrids;
    QPointer<TableGrid> m_focusGrid;
    QString m_itemStep; // the step name of the menu item triggered last
    TransferRecorder m_recorder;
    ControllerHistory* m_controllerHistory = nullptr;
};
