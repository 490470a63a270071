#pragma once

#include "pulse/PulseData.h"
#include "tables/ParameterRowsModel.h"

// The pulse-train parameter table as its grid shows it: the actuator type row above the
// eleven editable rows. The Setting Value of parameter 0 is the window's current actuator
// type. Starts with the type 30 defaults.
class PulseParameterModel final : public ParameterRowsModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PulseParameterModel)

  public:
    explicit PulseParameterModel(OperatorInteraction& op, QObject* parent = nullptr);

    PulseParameterData table() const { return rowsAs<PulseParameterCount>(); }
    // Replaces the whole table without any check.
    void setTable(const PulseParameterData& table) { replaceRows(table); }

  protected:
    QString defaultList(const QString& type) const override;
    std::unique_ptr<GridTableModel> createLike(OperatorInteraction& op) const override;
};
