#pragma once

#include "window/ui/TableGrid.h"

class PointTableModel;

// The point grid (object name "Grid1"): typing into a cell edits it through the entry
// filter; a double click or Enter on a cell opens the operation mode dialog (Mode column) or
// the numeric keypad (Position, Speed, Pushing level).
class PointGrid final : public TableGrid {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointGrid)

  public:
    explicit PointGrid(PointTableModel* model, QWidget* parent = nullptr);

    PointTableModel* pointModel() const { return m_model; }

  private:
    PointTableModel* m_model;
};
