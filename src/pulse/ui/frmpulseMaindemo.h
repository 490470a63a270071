#pragma once

#include "startup/ui/MainWindowBase.h"

class ParameterGrid;
class PulseFileKind;
class PulsePanel;
class PulseParameterModel;
class QTimer;
class ZoneGrid;
class ZoneTableModel;

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

    // File menu.
    bool SaveAs() override;
    void NewFile() override;
    void OpenFile() override;
    void PrintLists() override;
    bool confirmDiscard() override;
    // Status bar panel 2 from parameter 35.
    void RefreshOriginShift();

  protected:
    ControlPanel* controlPanel() const override;
    void clearModified() override;
    void stopActivities() override;

  private:
    void buildMenus();
    QWidget* buildCentral();

    ZoneTableModel* m_zoneModel = nullptr;
    PulseParameterModel* m_paramModel = nullptr;
    PulseFileKind* m_file = nullptr;
    ZoneGrid* m_zoneGrid = nullptr;
    ParameterGrid* m_paramGrid = nullptr;
    PulsePanel* m_panel = nullptr;
    QTimer* m_ioMonitor = nullptr; // Tim_IO_Mon
};
