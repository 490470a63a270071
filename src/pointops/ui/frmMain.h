#pragma once

#include "drive/Drive.h"
#include "window/ui/MainWindowBase.h"

#include <QPointer>
#include <functional>
#include <memory>

class DrivePanel;
class PointFileOps;
class IoLamps;
class PointDrive;
struct PointOpsContext;
class SizeDetection;
class ParameterGrid;
class ParameterTableModel;
class PointGrid;
class PointTableModel;
class QStackedWidget;
class QTimer;
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

    PointTableModel& points() { return *m_pointModel; }
    ParameterTableModel& parameters() { return *m_paramModel; }
    PointGrid* pointGrid() const { return m_pointGrid; }
    ParameterGrid* parameterGrid() const { return m_paramGrid; }
    DrivePanel* drivePanel() const { return m_drive; }
    SizeDetectionPanel* sizePanel() const { return m_size; }
    IoLamps* ioLamps() const { return m_lamps; }
    PointDrive& drive() { return *m_driveOps; }
    SizeDetection& sizeDetection() { return *m_sizeOps; }
    bool pointGridShown() const;

    // Copies parameter values into the drive panel, the size detection panel and panel 2.
    void RefreshDependentDisplays();
    void ShowPointGrid();
    void ShowParameterGrid();

    // File menu.
    bool SaveAs() override;
    void NewFile() override;
    void OpenFile() override;
    void PrintLists() override;
    void CompareWithFile() override;
    bool confirmDiscard() override;
    StartupTables startupTables() override;
    // Error History Display: reads the controller's error history into a new errorRecord.
    void ErrorHistoryDisplay();
    // Runs an operation of the Tool menu with this window as its host; the window is usable
    // again afterwards, whatever happened inside.
    void runOperation(const std::function<void(const PointOpsContext&)>& operation);

  protected:
    ControlPanel* controlPanel() const override;
    void refreshTableDisplays() override { RefreshDependentDisplays(); }
    // The controller history (frmMainHistory.cpp).
    TablesSnapshot historySnapshot() const override;
    void compareWithVersion(const QByteArray& bytes) override;
    SettingsFileKind& settingsFileKind() override;
    void clearModified() override;
    void stopActivities() override;
    void requestStop() override;
    void runOwnKey(const QString& key) override;
    void lockOwnControls(bool locked) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildMenus();
    QWidget* buildCentral();
    void wireOperations();
    void wireDrivePanel();
    void wireSizePanel();

    QStackedWidget* m_grids = nullptr;
    PointTableModel* m_pointModel = nullptr;
    ParameterTableModel* m_paramModel = nullptr;
    PointGrid* m_pointGrid = nullptr;
    ParameterGrid* m_paramGrid = nullptr;
    DrivePanel* m_drive = nullptr;
    SizeDetectionPanel* m_size = nullptr;
    IoLamps* m_lamps = nullptr;
    PointFileOps* m_file = nullptr;

    // The window as the operations and the drive panel see it (frmMainDrive.cpp).
    class Host;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<PointOpsContext> m_ctx;
    PointDrive* m_driveOps = nullptr;
    std::unique_ptr<SizeDetection> m_sizeOps;

    bool m_checkingBox = false;
};
