#pragma once

// The pulse-train main window as its operation panel sees it. Private to the window's own
// files.
#include "pulse/PulseDrive.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/WindowPanelHost.h"

class frmpulseMaindemo::Host final : public WindowPanelHost<PulseDriveHost> {
  public:
    explicit Host(frmpulseMaindemo& w)
        : WindowPanelHost(w, w.m_panel->lamps(), w.m_panel->carriage()), m_w(w) {}

    void refreshDependentDisplays() override { m_w.RefreshOriginShift(); }
    std::pair<int, int> currentZoneCell() const override {
        const QModelIndex cell = m_w.m_zoneGrid->currentIndex();
        return cell.isValid() ? std::pair{cell.row(), cell.column()} : std::pair{0, 0};
    }

  private:
    frmpulseMaindemo& m_w;
};
