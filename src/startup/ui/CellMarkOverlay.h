#pragma once

#include <QWidget>

class CellMarks;
class QTableView;

// Shows the marks of one grid over its cells: a translucent amber fill inside an orange frame,
// painted on a layer above the view's viewport that lets every mouse event through, so the
// grid's model, delegate and editing stay as they are.
class CellMarkOverlay final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellMarkOverlay)
  public:
    CellMarkOverlay(QTableView* view, CellMarks& marks, int grid);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow();

    QTableView* m_view;
    CellMarks& m_marks;
    int m_grid;
};
