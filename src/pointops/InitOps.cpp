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

void initPoints(const PointOpsContext& c) {
    PointTableData table = c.points.table();
    InitSteps::clearTable(c, {QStringLiteral("Point initialization"),
                              QStringLiteral(" Do you initialize point data?"), Command::InitPNT,
                              PointCount - 1, c.points.modified(),
                              [&table](int n) { table[n] = PointRecord{.note = table[n].note}; },
                              [&] { c.points.setTable(table); }});
}

void initParameters(const PointOpsContext& c) {
    using InitSteps::Outcome;
    InitSteps::initParameters(c, c.params, c.points.modified(), [](const OperationContext& c) {
        // A Cancel of the progress dialog while these wait ends the operation as cancelled.
        for (const auto& [code, timeoutMs] :
             {std::pair{Command::QueryVER, VersionTimeoutMs}, {Command::ReadDIO, QueryTimeoutMs}}) {
            const ExchangeResult r = Ops::exchange(c, code, {}, timeoutMs);
            if (Ops::failed(c, r))
                return r.cancelled() ? Outcome::Cancelled : Outcome::Failed;
        }
        return Outcome::Done;
    });
}

void initOrigin(const PointOpsContext& c) {
    InitSteps::initOrigin(c);
}

} // namespace InitOps
