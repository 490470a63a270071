#pragma once

#include <QTableView>

class PointTableModel;
class QFontMetrics;

// Pixel width of a grid column given in the grid's own units: scaled for readable text and
// never narrower than its header text.
int gridColumnPixels(int units, const QString& header, const QFontMetrics& metrics);

// The point grid (object name "Grid1"): typing into a cell edits it through the entry
// filter; a double click or Enter on a cell opens the operation mode dialog (Mode column) or
// the numeric keypad (Position, Speed, Pushing level).
class PointGrid final : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointGrid)

  public:
    explicit PointGrid(PointTableModel* model, QWidget* parent = nullptr);

    PointTableModel* pointModel() const { return m_model; }
    // Activates the cell as a double click does; returns true when the cell changed.
    bool activateCell(const QModelIndex& index);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void applyColumnWidths();

    PointTableModel* m_model;
};
