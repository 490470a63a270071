#pragma once

#include "cli/CliKind.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"

class OperatorInteraction;
struct PointOpsContext;

// The command-line actions of the point-input kind: Receive(Points) and Receive(Parameters),
// Compare, Transmit(Points) and Transmit(Parameters) of the point-input window, run on two
// tables of their own.
class PointCli final : public CliKind {
  public:
    explicit PointCli(OperatorInteraction& op);

    QString name() const override { return QStringLiteral("point input type"); }
    int receive(CliSession& s, const QString& file) override;
    int verify(CliSession& s, const QString& file) override;
    int transmit(CliSession& s, const QString& file) override;

  private:
    // The settings file into the two tables; false (told) when it cannot be used.
    bool load(CliSession& s, const QString& file);

    PointTableModel m_points;
    ParameterTableModel m_params;
};
