#include "pointops/ReceiveOps.h"

#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "transfers/ParameterTransfer.h"

namespace ReceiveOps {

namespace {
constexpr int ReadTimeoutMs = 5000;
} // namespace

namespace {
using PointRows = TableRows<PointTableModel, PointRecord>;
} // namespace

void receivePoints(const PointOpsContext& c) {
    PointRows rows(c.points, Command::ReadPNT, &PointReply::point);
    Ops::receiveRows(c, rows, QStringLiteral("Point reception"),
                     QStringLiteral("Do you receive point data?"), ReadTimeoutMs,
                     QStringLiteral("Receive Point"));
}

void receiveParameters(const PointOpsContext& c) {
    ParameterTransfer::receive(c, c.params, c.points, ReadTimeoutMs, 1);
}

StartupTables startupTables(PointTableModel& points, ParameterTableModel& params,
                            std::function<void()> refresh) {
    return {{{Command::QueryVER, 2000}, {Command::ReadDIO, 3000}},
            std::make_unique<PointRows>(points, Command::ReadPNT, &PointReply::point),
            ReadTimeoutMs,
            params,
            ReadTimeoutMs,
            std::move(refresh)};
}

} // namespace ReceiveOps
