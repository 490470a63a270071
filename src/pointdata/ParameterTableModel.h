#pragma once

#include "pointdata/PointData.h"
#include "tables/ParameterRowsModel.h"

class OperatorInteraction;

// The point-input parameter table as the parameter grid shows it: the actuator type row
// first, then the 19 other parameters. Rows whose Initial Value is "**" stay "**".
class ParameterTableModel final : public ParameterRowsModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterTableModel)

  public:
    // Starts with the start-up table (type 30 defaults).
    explicit ParameterTableModel(OperatorInteraction& op, QObject* parent = nullptr);

    static QString headerText(int column);
    // Column width in the grid's own units; the view scales it to pixels.
    static int columnWidth(int column);

    ParameterTableData table() const { return rowsAs<ParameterCount>(); }
    // Replaces the whole table without any check.
    void setTable(const ParameterTableData& table) { replaceRows(table); }

  protected:
    QString defaultList(const QString& type) const override;
    std::unique_ptr<GridTableModel> createLike(OperatorInteraction& op) const override;
    bool checkEdit(ParameterRow& row) override;
};
