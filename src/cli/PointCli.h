#pragma once

#include "cli/TableCli.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointHistory.h"
#include "pointdata/PointTableModel.h"

class OperatorInteraction;

// The command-line actions of the point-input kind: Receive(Points) and Receive(Parameters),
// Compare, Transmit(Points) and Transmit(Parameters) of the point-input window, run on two
// tables of their own.
class PointCli final : public TableCli {
  public:
    explicit PointCli(OperatorInteraction& op);

    static QString kindName() { return QStringLiteral("point input type"); }
    QString name() const override { return kindName(); }

  protected:
    QList<Step> receiveSteps() override;
    QList<Step> transmitSteps() override;
    CompareFlow::Result compare(const OperationContext& c) override;
    QString firstTableName() const override { return QStringLiteral("points"); }
    SettingsFileKind& settingsFile() override { return m_file; }
    std::optional<TableProblem> unsendable() const override;
    void prepareTransmit(CliSession& s) override;
    TablesSnapshot historySnapshot() const override {
        return PointHistory::snapshot(m_points.table(), m_params.table(), m_file.fileForm());
    }

  private:
    PointTableModel m_points;
    ParameterTableModel m_params;
    PointFileOps m_file{m_points, m_params};
};
