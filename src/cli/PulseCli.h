#pragma once

#include "cli/TableCli.h"
#include "pulse/PulseFileOps.h"
#include "pulse/PulseHistory.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"

class OperatorInteraction;

// The command-line actions of the pulse-train kind: Receive(Zones) and Receive(Parameters),
// Compare, Transmit(Zones) and Transmit(Parameters) of the pulse-train window, run on two
// tables of their own; the file is the pulse-train settings file.
class PulseCli final : public TableCli {
  public:
    explicit PulseCli(OperatorInteraction& op);

    static QString kindName() { return QStringLiteral("pulse train input type"); }
    QString name() const override { return kindName(); }

  protected:
    QList<Step> receiveSteps() override;
    QList<Step> transmitSteps() override;
    CompareFlow::Result compare(const OperationContext& c) override;
    QString firstTableName() const override { return QStringLiteral("zones"); }
    SettingsFileKind& settingsFile() override { return m_file; }
    std::optional<TableProblem> unsendable() const override;
    TablesSnapshot historySnapshot() const override {
        return PulseHistory::snapshot(m_zones.table(), m_params.table(), m_file.fileForm());
    }

  private:
    ZoneTableModel m_zones;
    PulseParameterModel m_params;
    PulseFileOps m_file{m_zones, m_params};
};
