#pragma once

#include <QPointer>
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
    // Kept apart from the view: while the view is being destroyed its viewport still sends
    // events here, and the view can no longer be asked for it.
    QPointer<QWidget> m_viewport;
    CellMarks& m_marks;
    int m_grid;
};
