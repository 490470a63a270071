#pragma once

#include "window/ui/TableGrid.h"

class ParameterRowsModel;

// A parameter grid (object name "Grid2"): only the Setting Value column of the rows after
// the actuator type row can be edited, by typing, F2 or a double click. The point-input
// grid draws its cells light blue and the type row like a header row; the pulse-train grid
// gives the light blue to its fixed cells (header, number column and type row).
class ParameterGrid final : public TableGrid {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterGrid)

  public:
    enum class Style { LightBlueCells, LightBlueFixedCells };

    explicit ParameterGrid(ParameterRowsModel* model, QWidget* parent = nullptr,
                           Style style = Style::LightBlueCells);

    ParameterRowsModel* parameterModel() const { return m_model; }

  private:
    ParameterRowsModel* m_model;
};
