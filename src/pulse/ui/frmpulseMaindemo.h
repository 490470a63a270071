#pragma once

#include "window/ui/MainWindowBase.h"

#include <functional>
#include <memory>

class OperationHost;
class ParameterGrid;
class PulseFileOps;
class PulseDrive;
class PulsePanel;
class PulseParameterModel;
class ZoneGrid;
class ZoneTableModel;
class frmkeisan;
struct PulseOpsContext;

// The main window of the pulse-train kind: the zone grid and the parameter grid, the
// operation panel and the communication boxes, with its menus, toolbar and status bar. It
// wires events to operations and owns the table models; the rules live in the models, the
// file and print layouts in src/pulse/.
//
// The modified flag of both tables is the zone grid's ("Change"): an edit of either table
// sets it, Save As and New clear it. Status bar panel 2 shows the origin point shift
// (parameter 35) in mm, refreshed after every parameter edit, Open and New.
class frmpulseMaindemo final : public MainWindowBase {
    Q_OBJECT
  public:
    frmpulseMaindemo(LinkState& state, OperatorInteraction& op, SerialChannel& channel,
                     QString iniPath, QWidget* parent = nullptr);
    ~frmpulseMaindemo() override;

    // The tables and the panel; the grids (Grid1, Grid2) and the I/O monitor timer
    // (Tim_IO_Mon) are found by their object names.
    ZoneTableModel& zones() { return *m_zoneModel; }
    PulseParameterModel& parameters() { return *m_paramModel; }
    PulsePanel* panel() const { return m_panel; }
    // The operation panel's sequences (Setting/Operation, servo, start, direct teaching ...).
    PulseDrive& drive() { return *m_driveOps; }

    // File menu.
    bool SaveAs() override;
    void NewFile() override;
    void OpenFile() override;
    void PrintLists() override;
    void CompareWithFile() override;
    bool confirmDiscard() override;
    StartupTables startupTables() override;
    // Status bar panel 2 from parameter 35.
    void RefreshOriginShift();

    // The Tool menu (frmpulseMaindemoOps.cpp). Runs an operation with this window as its
    // host; the window is usable again afterwards, whatever happened inside.
    void runOperation(const std::function<void(const PulseOpsContext&)>& operation);
    // Error History Display: reads the controller's error history into a new errorRecord.
    void ErrorHistoryDisplay();
    // Slider operating speed calculation: the tool window opens with the type of the
    // parameter table's type row selected, and this window stays disabled until it closes.
    void SpeedCalculation();
    frmkeisan* speedCalculationWindow() const { return m_keisan; }

  protected:
    ControlPanel* controlPanel() const override;
    void refreshTableDisplays() override { RefreshOriginShift(); }
    // The controller history (frmpulseMaindemoHistory.cpp).
    TablesSnapshot historySnapshot() const override;
    void compareWithVersion(const QByteArray& bytes) override;
    SettingsFileKind& settingsFileKind() override;
    void clearModified() override;
    void stopActivities() override;
    void requestStop() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    QWidget* buildCentral();
    void wireOperations();
    // The operation panel's buttons and Txt_Pos to their sequences (frmpulseMaindemoPanel.cpp).
    void wirePanel();

    ZoneTableModel* m_zoneModel = nullptr;
    PulseParameterModel* m_paramModel = nullptr;
    PulseFileOps* m_file = nullptr;
    ZoneGrid* m_zoneGrid = nullptr;
    ParameterGrid* m_paramGrid = nullptr;
    PulsePanel* m_panel = nullptr;
    std::unique_ptr<OperationHost> m_opsHost;
    std::unique_ptr<PulseOpsContext> m_ctx;
    frmkeisan* m_keisan = nullptr;

    // The window as its operation panel sees it (frmpulseMaindemoPanel.cpp).
    class Host;
    std::unique_ptr<Host> m_host;
    PulseDrive* m_driveOps = nullptr; // owns the I/O monitor timer Tim_IO_Mon
};
