#include "pointops/ReceiveOps.h"

#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "startup/ParameterTransfer.h"
#include "startup/ProgressView.h"

namespace ReceiveOps {

namespace {
constexpr int ReadTimeoutMs = 5000;
constexpr int LastNumber = 63;
} // namespace

void receivePoints(PointOpsContext& c) {
    c.host.setSettei(0);
    c.link.operationTitle = QStringLiteral("Point reception");
    if (!Ops::readTable(c, Command::ReadPNT, QStringLiteral("Do you receive point data?"),
                        ReadTimeoutMs, LastNumber))
        return;

    const QString reply = c.link.ReplyText;
    PointTableData table{};
    c.points.setTable(table);
    const bool done = Ops::eachRow(c, 0, LastNumber, [&](int n) {
        if (const auto point = PointReply::point(reply, n))
            table[n] = *point;
    });
    c.points.setTable(table);
    c.points.setModified(true);
    Ops::restore(c);
    c.link.setErrorText({});
    if (done)
        c.op.message(QStringLiteral("Receive Point"), QStringLiteral("Receiving has finished."),
                     OperatorInteraction::Icon::None);
    c.host.setSettei(1);
    Ops::restore(c);
    c.link.setErrorText({});
}

void receiveParameters(PointOpsContext& c) {
    ParameterTransfer::receive(c, c.params, c.points, ReadTimeoutMs, 1);
}

} // namespace ReceiveOps
