#include "pointops/InitOps.h"

#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "startup/InitSteps.h"

namespace InitOps {

namespace {
constexpr int VersionTimeoutMs = 2000;
constexpr int QueryTimeoutMs = 3000;
} // namespace

void initPoints(PointOpsContext& c) {
    PointTableData table = c.points.table();
    InitSteps::clearTable(c, {QStringLiteral("Point initialization"),
                              QStringLiteral(" Do you initialize point data?"), Command::InitPNT,
                              PointCount - 1, c.points.modified(),
                              [&table](int n) { table[n] = PointRecord{.note = table[n].note}; },
                              [&] { c.points.setTable(table); }});
}

void initParameters(PointOpsContext& c) {
    const QString title = QStringLiteral("Parameter initialization");
    c.host.setSettei(0);
    c.link.operationTitle = title;
    c.link.setCancelMessage(title, QStringLiteral("Stop"));
    if (!InitSteps::confirm(c, QStringLiteral("Do you initialize parameter data?"),
                            c.points.modified()))
        return;
    c.host.disableWindow();

    // The controller must answer before its parameters are reset.
    Ops::exchange(c, Command::QueryVER, {}, VersionTimeoutMs);
    if (Ops::failed(c))
        return;
    Ops::exchange(c, Command::ReadDIO, {}, QueryTimeoutMs);
    if (Ops::failed(c))
        return;
    const QString controllerType = Ops::readParameterValue(c, 0).trimmed();
    if (Ops::failed(c))
        return;
    InitSteps::initParameters(c, c.params, controllerType, title);
}

void initOrigin(PointOpsContext& c) {
    InitSteps::initOrigin(c);
}

} // namespace InitOps
