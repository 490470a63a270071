#include "cli/PointCli.h"

#include "cli/CliSession.h"
#include "cli/ConsoleOperator.h"
#include "pointdata/PointRules.h"
#include "pointops/CompareOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"

PointCli::PointCli(OperatorInteraction& op) : m_points(op), m_params(op) {}

QList<TableCli::Step> PointCli::receiveSteps() {
    const QString finished = QStringLiteral("Receiving has finished.");
    return {{on(&ReceiveOps::receivePoints, m_points, m_params), QStringLiteral("Receive Point"),
             finished},
            {on(&ReceiveOps::receiveParameters, m_points, m_params),
             QStringLiteral("Receive Parameter"), finished}};
}

QList<TableCli::Step> PointCli::transmitSteps() {
    // The parameters' checks then see the points written.
    return {{on(&TransmitPoints::run, m_points, m_params), QLatin1String(TransmitPoints::Title),
             QLatin1String(TransmitPoints::Finished)},
            {on(&TransmitParameters::run, m_points, m_params),
             QLatin1String(TransmitParameters::FinishedTitle),
             QLatin1String(TransmitParameters::Finished)}};
}

CompareFlow::Result PointCli::compare(const OperationContext& oc) {
    PointOpsContext c{oc, m_points, m_params};
    return CompareOps::compareTables(c);
}

std::optional<TableProblem> PointCli::unsendable() const {
    const PointTableData points = m_points.table();
    for (int n = 0; n < PointCount; ++n)
        if (auto problem = PointRules::valueProblem(points[n], n))
            return problem;
    // A parameter the file leaves out is not written to an older controller: the transmit
    // tells those.
    for (const ParameterRow& row : m_params.rows())
        if (row.number != 0)
            if (auto problem = ParameterRows::valueProblem(row, true))
                return problem;
    return std::nullopt;
}

void PointCli::prepareTransmit(CliSession& s) {
    // The file's soft limits are written as they stand unless asked to move them with a
    // changed origin, as the window's soft limit dialog would suggest.
    s.op.setAnswer(
        QLatin1String(TransmitParameters::SoftLimitQuestion),
        s.moveSoftLimits ? OperatorInteraction::Answer::Yes : OperatorInteraction::Answer::No,
        s.moveSoftLimits ? QString()
                         : QStringLiteral("the file's soft limits are written as they stand "
                                          "(--move-soft-limits moves them with the origin)"));
}
