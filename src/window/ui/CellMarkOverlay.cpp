#include "window/ui/CellMarkOverlay.h"

#include "tables/CellMarks.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

CellMarkOverlay::CellMarkOverlay(QTableView* view, CellMarks& marks, int grid)
    : QWidget(view), m_view(view), m_viewport(view->viewport()), m_marks(marks), m_grid(grid) {
    setObjectName(QStringLiteral("CellMarks%1").arg(grid));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    // A sibling of the viewport, not its child: scrolling moves the viewport's children.
    m_viewport->installEventFilter(this);
    auto repaint = [this] { update(); };
    connect(&marks, &CellMarks::changed, this, repaint);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        connect(header, &QHeaderView::sectionResized, this, repaint);
        connect(header, &QHeaderView::sectionMoved, this, repaint);
    }
    follow();
    show();
}

void CellMarkOverlay::follow() {
    if (!m_viewport)
        return;
    setGeometry(m_viewport->geometry());
    raise();
    update();
}

bool CellMarkOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && (event->type() == QEvent::Resize ||
                                  event->type() == QEvent::Move || event->type() == QEvent::Show))
        follow();
    return QWidget::eventFilter(watched, event);
}

void CellMarkOverlay::paintEvent(QPaintEvent*) {
    const QAbstractItemModel* model = m_view->model();
    if (!model || m_marks.isEmpty())
        return;
    QPainter painter(this);
    const QColor fill(255, 190, 0, 90);
    const QPen frame(QColor(225, 95, 0), 2);
    for (const auto& [row, column] : m_marks.cells(m_grid)) {
        const QRect cell = m_view->visualRect(model->index(row, column));
        if (!cell.isValid() || !cell.intersects(rect()))
            continue;
        painter.fillRect(cell, fill);
        painter.setPen(frame);
        painter.drawRect(cell.adjusted(1, 1, -2, -2));
    }
}
