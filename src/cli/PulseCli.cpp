#include "cli/PulseCli.h"

#include "pulse/PulseOpsContext.h"
#include "pulse/PulseTransfers.h"
#include "pulse/ZoneRules.h"

PulseCli::PulseCli(OperatorInteraction& op) : m_zones(op), m_params(op) {}

QList<TableCli::Step> PulseCli::receiveSteps() {
    const QString finished = QStringLiteral("Receiving has finished.");
    return {{on(&PulseTransfers::receiveZones, m_zones, m_params), QStringLiteral("Receive Zone"),
             finished},
            {on(&PulseTransfers::receiveParameters, m_zones, m_params),
             QStringLiteral("Receive Parameter"), finished}};
}

QList<TableCli::Step> PulseCli::transmitSteps() {
    const QString finished = QLatin1String(PulseTransfers::Finished);
    return {{on(&PulseTransfers::transmitZones, m_zones, m_params),
             QLatin1String(PulseTransfers::TransmitZoneTitle), finished},
            {on(&PulseTransfers::transmitParameters, m_zones, m_params),
             QStringLiteral("Transmit Parameter"), finished}};
}

CompareFlow::Result PulseCli::compare(const OperationContext& oc) {
    PulseOpsContext c{oc, m_zones, m_params};
    return PulseTransfers::compareTables(c);
}

std::optional<TableProblem> PulseCli::unsendable() const {
    const ZoneTableData zones = m_zones.table();
    for (int n = 0; n < ZoneCount; ++n)
        if (auto problem = ZoneRules::valueProblem(zones[n], n))
            return problem;
    for (const ParameterRow& row : m_params.rows())
        if (row.number != 0)
            if (auto problem = ParameterRows::valueProblem(row))
                return problem;
    return std::nullopt;
}
