#pragma once

#include <QTableView>

class ParameterTableModel;

// The parameter grid (object name "Grid2"): only the Setting Value column of the parameter
// rows can be edited, by typing, F2 or a double click.
class ParameterGrid final : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterGrid)

  public:
    explicit ParameterGrid(ParameterTableModel* model, QWidget* parent = nullptr);

    ParameterTableModel* parameterModel() const { return m_model; }

  private:
    ParameterTableModel* m_model;
};
