#include "pulse/PulseTransfers.h"

#include "link/Command.h"
#include "operator/ProgressView.h"
#include "pulse/PulseOpsContext.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneReply.h"
#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"
#include "tables/CellText.h"
#include "transfers/InitSteps.h"
#include "transfers/ParameterTransfer.h"
#include "transfers/ReceivedRows.h"
#include "transfers/WriteBlock.h"

namespace PulseTransfers {

namespace {

constexpr int ReadTimeoutMs = 3000;
constexpr int ZoneClearTimeoutMs = 5000;
constexpr int LastZone = ZoneCount - 1;

const QString Unsent = QStringLiteral("Data un-transmitting");

using ZoneRows = TableRows<ZoneTableModel, ZoneRecord>;

// A refusal of the checks before anything is sent: the message, the window given back.
void refuse(const PulseOpsContext& c, const QString& text) {
    c.op.message(Unsent, text, OperatorInteraction::Icon::None);
    c.state.settei = 1;
    Ops::restore(c);
}

// The zone consistency rule over the whole table, then the positions of every set zone as
// plain numbers: they go on the line as they stand. False when refused (told).
bool zonesSendable(const PulseOpsContext& c, const ZoneTableData& zones) {
    const ZoneRules::TableVerdict v = ZoneRules::checkTable(zones);
    if (v.verdict == ZoneRules::Verdict::Incomplete) {
        refuse(c, QLatin1String(ParameterTransfer::NotANumber));
        return false;
    }
    if (v.verdict == ZoneRules::Verdict::Rejected) {
        refuse(
            c,
            QStringLiteral("Please confirm position data entry value of point No.%1.").arg(v.zone));
        return false;
    }
    for (int n = 0; n < ZoneCount; ++n) {
        const ZoneRecord& z = zones[n];
        if (z.a.isEmpty())
            continue;
        if (!CellText::number(z.a) || !CellText::number(z.b)) {
            c.link.setErrorText(QStringLiteral("Z%1=").arg(n) + Command::visible(z.a + u',' + z.b));
            refuse(c, QLatin1String(ParameterTransfer::NotANumber));
            return false;
        }
        // Within the range the controller takes, as the zone grid's own check holds it.
        if (const auto problem = ZoneRules::valueProblem(z, n)) {
            c.link.setErrorText(QStringLiteral("Z%1=").arg(n) + Command::visible(z.a + u',' + z.b));
            c.op.informativeMessage(Unsent, problem->ruleText, OperatorInteraction::Icon::None,
                                    problem->text());
            c.state.settei = 1;
            Ops::restore(c);
            return false;
        }
    }
    return true;
}

} // namespace

void receiveParameters(const PulseOpsContext& c) {
    c.link.setErrorText({}); // this window empties the error box before the question
    ParameterTransfer::receive(c, c.params, c.zones, ReadTimeoutMs, 0);
}

void receiveZones(const PulseOpsContext& c) {
    c.link.setErrorText({});
    ZoneRows rows(c.zones, Command::ReadZON, &ZoneReply::zone);
    Ops::receiveRows(c, rows, QStringLiteral("Zone reception"),
                     QStringLiteral("Do you receive zone data?"), ReadTimeoutMs,
                     QStringLiteral("Receive Zone"));
}

void transmitParameters(const PulseOpsContext& base) {
    const PulseOpsContext c = Ops::titled(base, QStringLiteral("Parameter reception"));
    c.link.setErrorText({});
    if (!Ops::askYesNo(c, QStringLiteral("Do you transmit parameter data?"))) {
        Ops::restore(c);
        return;
    }
    QList<Ops::DataLine> lines;
    for (const ParameterRow& row : c.params.rows())
        if (row.number != 0) // the actuator type is never written
            lines.append({row.number, row.setting});
    if (!ParameterTransfer::allAccepted(c, c.params.rows(), lines))
        return;

    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, int(lines.size()) + 1);
    c.progress.setValue(0);
    Ops::WriteBlock block(c, QStringLiteral("parameters"));
    if (!block.open(Command::WritePRM) || !block.sendAll(Command::ParameterData, lines)) {
        c.state.settei = 1;
        return;
    }
    Ops::restore(c);
    c.host.refreshDependentDisplays();
    c.host.transferFinished({FinishedTransfer::Way::Transmit, FinishedTransfer::Table::Parameters});
    c.op.message(QStringLiteral("Transmit Parameter"), QLatin1String(Finished),
                 OperatorInteraction::Icon::None);
    c.state.settei = 1;
}

void transmitZones(const PulseOpsContext& base) {
    const PulseOpsContext c = Ops::titled(base, QLatin1String(TransmitZoneTitle));
    c.link.setErrorText({});
    if (!Ops::askYesNo(c, QStringLiteral("Do you transmit zone data?"))) {
        Ops::restore(c);
        return;
    }
    const ZoneTableData zones = c.zones.table();
    if (!zonesSendable(c, zones))
        return;

    QList<Ops::DataLine> lines;
    int set = 0;
    for (int n = 0; n < ZoneCount; ++n) {
        lines.append({n, ZoneRules::transmissionText(zones[n]), !zones[n].a.isEmpty()});
        set += zones[n].a.isEmpty() ? 0 : 1;
    }
    c.progress.showModeless();
    c.progress.setRange(0, ZoneCount + 1);
    c.progress.setValue(0);
    c.host.disableWindow();
    // The line is held from the erase to the end of the block.
    Ops::WriteBlock block(c, QStringLiteral("zones"), set);
    if (Ops::failed(c, block.erase(Command::InitZON, ZoneClearTimeoutMs))) {
        c.state.settei = 1;
        return;
    }
    if (!block.open(Command::WriteZON) || !block.sendAll(Command::ZoneData, lines)) {
        c.state.settei = 1;
        return;
    }
    Ops::restore(c);
    c.host.refreshDependentDisplays();
    c.host.transferFinished({FinishedTransfer::Way::Transmit, FinishedTransfer::Table::First});
    c.op.message(QLatin1String(TransmitZoneTitle), QLatin1String(Finished),
                 OperatorInteraction::Icon::None);
    c.state.settei = 1;
}

CompareFlow::Result compareTables(const PulseOpsContext& c) {
    c.link.setErrorText({});
    const ZoneTableData zones = c.zones.table();
    const CompareFlow::FirstTable first{
        Command::ReadZON, LastZone, QStringLiteral("Zone_No"),
        [&zones](const QString& reply, int n) {
            const std::optional<QString> line = ZoneReply::line(reply, n);
            return ZoneReply::differences(n, line ? &*line : nullptr, zones[n]);
        }};
    return CompareFlow::run(c, first, c.params);
}

void compare(const PulseOpsContext& c) {
    compareTables(c);
}

void initZones(const PulseOpsContext& c) {
    c.link.setErrorText({});
    ZoneTableData table = c.zones.table();
    InitSteps::clearTable(c, {QStringLiteral("Zone initialization"),
                              QStringLiteral("Do you initialize zone data?"), Command::InitZON,
                              LastZone, c.zones.modified(), [&table](int n) { table[n] = {}; },
                              [&] { c.zones.setTable(table); }});
}

void initParameters(const PulseOpsContext& c) {
    c.link.setErrorText({});
    // Of this window's operations only a cancelled parameter initialisation sets settei back.
    if (InitSteps::initParameters(c, c.params, c.zones.modified(), {}, 2) ==
        InitSteps::Outcome::Cancelled)
        c.state.settei = 1;
}

void initOrigin(const PulseOpsContext& c) {
    c.link.setErrorText({});
    InitSteps::initOrigin(c, 1);
    c.state.settei = 1;
}

StartupTables startupTables(ZoneTableModel& zones, PulseParameterModel& params,
                            std::function<void()> refresh) {
    return {{},
            std::make_unique<ZoneRows>(zones, Command::ReadZON, &ZoneReply::zone),
            ReadTimeoutMs,
            params,
            ReadTimeoutMs,
            std::move(refresh)};
}

} // namespace PulseTransfers
