#include "pointops/InitOps.h"

#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "transfers/InitSteps.h"

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
    InitSteps::initParameters(c, c.params, c.points.modified(), [&c] {
        Ops::exchange(c, Command::QueryVER, {}, VersionTimeoutMs);
        if (Ops::failed(c))
            return false;
        Ops::exchange(c, Command::ReadDIO, {}, QueryTimeoutMs);
        return !Ops::failed(c);
    });
}

void initOrigin(PointOpsContext& c) {
    InitSteps::initOrigin(c);
}

} // namespace InitOps
