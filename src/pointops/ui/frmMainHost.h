#pragma once

// The point-input main window as its operations and drive panel see it. Private to the
// window's own files.
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointDrive.h"
#include "pointops/SizeDetection.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "startup/ui/CarriageFigure.h"
#include "startup/ui/IoLamps.h"
#include "startup/ui/MainWindowHost.h"
#include "startup/ui/PanelControls.h"
#include "startup/ui/frmstop.h"

class frmMain::Host final : public MainWindowHost<PointDriveHost> {
  public:
    explicit Host(frmMain& w)
        : MainWindowHost<PointDriveHost>(w, w.m_driveState), m_w(w), m_controls(w.centralWidget()) {
    }

    // OperationHost.
    void refreshDependentDisplays() override { m_w.RefreshDependentDisplays(); }

    // PanelHost.
    void setControlEnabled(const QString& name, bool enabled) override {
        m_controls.setEnabled(name, enabled);
    }
    bool controlEnabled(const QString& name) const override { return m_controls.isEnabled(name); }
    void setControlColour(const QString& name, std::optional<quint32> bgr) override {
        m_controls.setColour(name, bgr);
    }
    QString controlText(const QString& name) const override { return m_controls.text(name); }
    void setControlText(const QString& name, const QString& text) override {
        m_controls.setText(name, text);
    }
    void setControlChecked(const QString& name, bool checked) override {
        m_controls.setChecked(name, checked);
    }
    void focusControl(const QString& name) override { m_controls.focus(name); }
    void setLamp(int index, bool on) override { m_w.m_lamps->setLamp(index, on); }
    void resetLamps() override { m_w.m_lamps->resetLamps(); }
    void showCarriage(double positionMm, double strokeMm, int originDirection) override {
        m_w.m_drive->carriage()->setCarriageLeft(
            CarriageFigure::carriageLeftFor(positionMm, strokeMm, originDirection));
    }
    void setStopDialogShown(bool shown) override {
        if (shown)
            m_w.stopDialog().show();
        else if (m_w.stopDialogShown())
            m_w.stopDialog().hide();
    }
    void setStatusText(int panel, const QString& text) override { m_w.setPanelText(panel, text); }
    void disableCommands() override { m_w.DisableCommands(); }
    void enableCommands() override { m_w.EnableCommands(); }

    // PointDriveHost.
    void showPointGrid() override { m_w.ShowPointGrid(); }
    int currentPointRow() const override {
        const int row = m_w.m_pointGrid->currentIndex().row();
        return row < 0 ? 0 : row;
    }
    void setLampShown(int index, bool shown) override { m_w.m_lamps->setLampShown(index, shown); }

  private:
    frmMain& m_w;
    PanelControls m_controls;
};
