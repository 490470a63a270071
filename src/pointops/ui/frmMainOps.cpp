// The Tool menu's transfers of the point-input main window: each runs a window-free
// operation with this window as its host, and the window is put back on every way out.
#include "dialogs/ui/frmbar.h"
#include "drive/ErrorHistory.h"
#include "pointops/CompareOps.h"
#include "pointops/InitOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"
#include "pointops/ui/frmMainHost.h"

#include <QAction>
#include <QLatin1String>

void frmMain::runOperation(const std::function<void(const PointOpsContext&)>& operation) {
    runTransfer([&] { operation(*m_ctx); });
}

void frmMain::wireOperations() {
    const std::pair<const char*, void (*)(const PointOpsContext&)> items[] = {
        {"mnuToolsRecP", &ReceiveOps::receivePoints},
        {"mnuToolsRecA", &ReceiveOps::receiveParameters},
        {"mnuToolsTranP", &TransmitPoints::run},
        {"mnuToolsTranA", &TransmitParameters::run},
        {"mnuToolsComp", &CompareOps::compare},
        {"mnuToolsIniPo", &InitOps::initPoints},
        {"mnuToolsIniPa", &InitOps::initParameters},
        {"mnuToolsIniORG", &InitOps::initOrigin},
    };
    for (const auto& item : items) {
        QAction* a = action(item.first);
        a->setEnabled(true);
        // The origin is not reset under a moving actuator.
        const bool originReset = QLatin1String(item.first) == QLatin1String("mnuToolsIniORG");
        connect(a, &QAction::triggered, this, [this, originReset, fn = item.second] {
            if (originReset && m_driveOps->motionRunning())
                return;
            runOperation(fn);
        });
    }
    connect(action("mnuToolsBag"), &QAction::triggered, this, &frmMain::ErrorHistoryDisplay);
}

StartupTables frmMain::startupTables() {
    return ReceiveOps::startupTables(*m_pointModel, *m_paramModel,
                                     [this] { RefreshDependentDisplays(); });
}

void frmMain::ErrorHistoryDisplay() {
    runOperation([this](const PointOpsContext& c) {
        ErrorHistory::display(c, [this](const QStringList& e) { showErrorRecord(e); });
    });
}
