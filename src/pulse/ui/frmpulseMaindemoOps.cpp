// The Tool menu of the pulse-train main window: each transfer runs a window-free operation
// with this window as its host, and the window is put back on every way out; the error
// history and the speed calculation open their windows.
#include "dialogs/ui/frmbar.h"
#include "drive/ErrorHistory.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseOpsContext.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseTransfers.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "speedcalc/ui/frmkeisan.h"
#include "tables/ParameterRowsModel.h"
#include "window/ui/MainWindowHost.h"
#include "window/ui/ParameterGrid.h"

#include <QAction>
#include <QPushButton>

namespace {
// The pulse-train window as its operations see it: the origin shift display is the one
// display that mirrors a parameter.
class PulseOpsHost final : public MainWindowHost<OperationHost> {
  public:
    explicit PulseOpsHost(frmpulseMaindemo& w) : MainWindowHost<OperationHost>(w), m_w(w) {}
    void refreshDependentDisplays() override { m_w.RefreshOriginShift(); }

  private:
    frmpulseMaindemo& m_w;
};
} // namespace

void frmpulseMaindemo::wireOperations() {
    m_opsHost = std::make_unique<PulseOpsHost>(*this);
    m_ctx.reset(new PulseOpsContext{
        {m_link, m_op, progress(), *m_opsHost, operationState()}, *m_zoneModel, *m_paramModel});
    markGrid(m_zoneGrid, CompareReport::FirstGrid);
    markGrid(m_paramGrid, CompareReport::ParameterGrid);

    const std::pair<const char*, void (*)(const PulseOpsContext&)> items[] = {
        {"mnuToolsRecZ", &PulseTransfers::receiveZones},
        {"mnuToolsRecA", &PulseTransfers::receiveParameters},
        {"mnuToolsTranZ", &PulseTransfers::transmitZones},
        {"mnuToolsTranA", &PulseTransfers::transmitParameters},
        {"mnuToolsComp", &PulseTransfers::compare},
        {"mnuToolsIniZo", &PulseTransfers::initZones},
        {"mnuToolsIniPa", &PulseTransfers::initParameters},
    };
    for (const auto& item : items)
        connect(action(item.first), &QAction::triggered, this,
                [this, fn = item.second] { runOperation(fn); });
    connect(action("mnuToolsIniORG"), &QAction::triggered, this, [this] {
        // The origin is not reset under a moving actuator.
        if (m_driveOps->motionRunning())
            return;
        runOperation(&PulseTransfers::initOrigin);
    });
    connect(action("mnuToolsBag"), &QAction::triggered, this,
            &frmpulseMaindemo::ErrorHistoryDisplay);
    connect(action("mnuToolsSpeed"), &QAction::triggered, this,
            &frmpulseMaindemo::SpeedCalculation);
}

StartupTables frmpulseMaindemo::startupTables() {
    return PulseTransfers::startupTables(*m_zoneModel, *m_paramModel,
                                         [this] { RefreshOriginShift(); });
}

void frmpulseMaindemo::runOperation(const std::function<void(const PulseOpsContext&)>& operation) {
    runTransfer([&] { operation(*m_ctx); });
}

void frmpulseMaindemo::ErrorHistoryDisplay() {
    runOperation([this](const PulseOpsContext& c) {
        ErrorHistory::display(c, [this](const QStringList& e) { showErrorRecord(e); });
    });
}

void frmpulseMaindemo::SpeedCalculation() {
    if (!m_keisan) {
        m_keisan = new frmkeisan(this);
        connect(m_keisan, &frmkeisan::closed, this, [this] { setEnabled(true); });
    }
    // The tool selects the type of the table's type row: its Initial Value.
    m_keisan->openFor(m_paramModel->rows().front().initial);
    setEnabled(false);
}
