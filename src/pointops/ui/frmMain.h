#pragma once

#include "pointdata/SettingsFileOps.h"
#include "startup/Drive.h"
#include "startup/ui/MainWindowBase.h"

#include <QHash>
#include <QPointer>
#include <functional>
#include <memory>

class DrivePanel;
class IoLamps;
class PointDrive;
struct PointOpsContext;
class SizeDetection;
class ParameterGrid;
class ParameterTableModel;
class PointGrid;
class PointTableModel;
class QAction;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolBar;
class SizeDetectionPanel;

// The main window of the point-input kind: point grid and parameter grid (one shown at a
// time), drive panel, size detection panel, I/O lamps and the communication boxes, with its
// menus, toolbar and status bar. It wires events to operations and owns the table models;
// the rules live in the models and the operations.
class frmMain final : public MainWindowBase {
    Q_OBJECT
  public:
    frmMain(LinkState& state, OperatorInteraction& op, SerialChannel& channel, QString iniPath,
            QWidget* parent = nullptr);
    ~frmMain() override;

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QAction* toolbarKey(const QString& key) const { return m_keys.value(key); }
    QToolBar* toolbar() const { return m_toolbar; }
    PointTableModel& points() { return *m_pointModel; }
    ParameterTableModel& parameters() { return *m_paramModel; }
    PointGrid* pointGrid() const { return m_pointGrid; }
    ParameterGrid* parameterGrid() const { return m_paramGrid; }
    DrivePanel* drivePanel() const { return m_drive; }
    SizeDetectionPanel* sizePanel() const { return m_size; }
    IoLamps* ioLamps() const { return m_lamps; }
    PointDrive& drive() { return *m_driveOps; }
    SizeDetection& sizeDetection() { return *m_sizeOps; }
    DriveState& driveState() { return m_driveState; }
    bool pointGridShown() const;

    void DisableCommands();
    void EnableCommands();
    void EnableToolbar();
    void DisableToolbar();
    void RestoreWindow();
    // Copies parameter values into the drive panel, the size detection panel and panel 2.
    void RefreshDependentDisplays();
    void ShowPointGrid();
    void ShowParameterGrid();

    // File menu and Help.
    bool SaveAs();
    void NewFile();
    void OpenFile();
    void PrintLists();
    void Exit();
    // Error History Display: reads the controller's error history into a new errorRecord.
    void ErrorHistoryDisplay();

    // "Do you save data?" with its Save As while the tables hold unsaved changes; false when
    // the operator cancelled or the save did not complete.
    bool confirmDiscard();
    void setSettei(int value) { m_settei = value; }
    // Runs an operation of the Tool menu with this window as its host; the window is usable
    // again afterwards, whatever happened inside.
    void runOperation(const std::function<void(PointOpsContext&)>& operation);

    // LinkHost
    bool settei() const override { return m_settei != 0; }
    int orgpos() const override { return m_driveState.orgpos; }
    bool numericInputMode() const override;
    void focusNumericInputOption() override;
    void clearMotionBusy() override { m_driveState.motionBusy = false; }
    // The link's reports give the toolbar back, except while Operation mode, teaching or
    // size detection keep the commands locked.
    void enableToolbar() override;

  protected:
    bool confirmClose() override;
    void stopActivities() override;
    bool logoEnabled() const override;
    void prepareVersionQuery() override { m_settei = 0; }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    QWidget* buildCentral();
    void wireOperations();
    void wireDrivePanel();
    void wireSizePanel();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    SettingsDocument document() const;
    void loadDocument(const SettingsDocument& doc);
    // Runs a file operation on a copy of the tables and takes back what it changed.
    template <typename Op> bool runFileOperation(Op op);

    QHash<QString, QAction*> m_actions;
    QHash<QString, QAction*> m_keys;
    QToolBar* m_toolbar = nullptr;
    QStackedWidget* m_grids = nullptr;
    PointTableModel* m_pointModel = nullptr;
    ParameterTableModel* m_paramModel = nullptr;
    PointGrid* m_pointGrid = nullptr;
    ParameterGrid* m_paramGrid = nullptr;
    DrivePanel* m_drive = nullptr;
    SizeDetectionPanel* m_size = nullptr;
    IoLamps* m_lamps = nullptr;
    SettingsFileOps m_fileOps;
    SettingsDocument* m_runningDoc = nullptr;

    // The window as the operations and the drive panel see it (frmMainDrive.cpp).
    class Host;
    DriveState m_driveState;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<PointOpsContext> m_ctx;
    PointDrive* m_driveOps = nullptr;
    std::unique_ptr<SizeDetection> m_sizeOps;

    int m_settei = 0;
    bool m_userAction = false;
    bool m_closing = false;
    bool m_commandsLocked = false;
    bool m_checkingBox = false;
};
