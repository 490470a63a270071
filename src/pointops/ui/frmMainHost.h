#pragma once

// The point-input main window as its operations and drive panel see it. Private to the
// window's own files.
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointDrive.h"
#include "pointops/SizeDetection.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "window/ui/WindowPanelHost.h"

class frmMain::Host final : public WindowPanelHost<PointDriveHost> {
  public:
    explicit Host(frmMain& w) : WindowPanelHost(w, w.m_lamps, w.m_drive->carriage()), m_w(w) {}

    void refreshDependentDisplays() override { m_w.RefreshDependentDisplays(); }

    // PointDriveHost.
    void showPointGrid() override { m_w.ShowPointGrid(); }
    int currentPointRow() const override {
        const int row = m_w.m_pointGrid->currentIndex().row();
        return row < 0 ? 0 : row;
    }
    void setLampShown(int index, bool shown) override { m_w.m_lamps->setLampShown(index, shown); }

  private:
    frmMain& m_w;
};
