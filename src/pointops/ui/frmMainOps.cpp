// The Tool menu's transfers of the point-input main window: each runs a window-free
// operation with this window as its host, and the window is put back on every way out.
#include "pointops/CompareOps.h"
#include "pointops/InitOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"
#include "pointops/ui/frmMain.h"
#include "startup/ui/frmbar.h"

#include <QAction>
#include <exception>

namespace {
// The window as the operations see it.
class WindowHost final : public OperationHost {
  public:
    explicit WindowHost(frmMain& w) : m_w(w) {}
    bool settei() const override { return m_w.settei(); }
    int orgpos() const override { return m_w.orgpos(); }
    bool numericInputMode() const override { return m_w.numericInputMode(); }
    void focusNumericInputOption() override { m_w.focusNumericInputOption(); }
    void clearMotionBusy() override { m_w.clearMotionBusy(); }
    void enableWindow() override { m_w.setEnabled(true); }
    void hideProgress() override { m_w.hideProgress(); }
    void enableToolbar() override { m_w.EnableToolbar(); }
    void setSettei(int value) override { m_w.setSettei(value); }
    void disableWindow() override { m_w.setEnabled(false); }
    void refreshDependentDisplays() override { m_w.RefreshDependentDisplays(); }
    bool confirmDiscard() override { return m_w.confirmDiscard(); }

  private:
    frmMain& m_w;
};
} // namespace

void frmMain::runOperation(const std::function<void(PointOpsContext&)>& operation) {
    WindowHost host(*this);
    PointOpsContext context{{m_link, m_op, progress(), host}, *m_pointModel, *m_paramModel};
    try {
        operation(context);
    } catch (const std::exception&) {
        // A failure inside an operation must never leave the window locked.
    }
    RestoreWindow();
}

void frmMain::wireOperations() {
    const std::pair<const char*, void (*)(PointOpsContext&)> items[] = {
        {"mnuToolsRecP", &ReceiveOps::receivePoints},
        {"mnuToolsRecA", &ReceiveOps::receiveParameters},
        {"mnuToolsTranP", &TransmitPoints::run},
        {"mnuToolsTranA", &TransmitParameters::run},
        {"mnuToolsComp", &CompareOps::compare},
        {"mnuToolsIniPo", &InitOps::initPoints},
        {"mnuToolsIniPa", &InitOps::initParameters},
        {"mnuToolsIniORG", &InitOps::initOrigin},
    };
    for (const auto& [name, fn] : items) {
        QAction* a = action(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, [this, fn] { runOperation(fn); });
    }
}
