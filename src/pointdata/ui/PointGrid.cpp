#include "pointdata/ui/PointGrid.h"

#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGridDelegate.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

int gridColumnPixels(int units, const QString& header, const QFontMetrics& metrics) {
    const int scaled = units * 6 / 5;
    const int headerWidth = metrics.horizontalAdvance(header) + 2 * metrics.averageCharWidth() + 8;
    return std::max(scaled, headerWidth);
}

PointGrid::PointGrid(PointTableModel* model, QWidget* parent) : QTableView(parent), m_model(model) {
    setObjectName(QStringLiteral("Grid1"));
    setModel(model);
    setItemDelegate(new PointGridDelegate(this));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    verticalHeader()->hide(); // the point number is a column of its own
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    applyColumnWidths();
    connect(this, &QAbstractItemView::doubleClicked, this, &PointGrid::activateCell);
}

void PointGrid::applyColumnWidths() {
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < PointRules::ColumnCount; ++c)
        setColumnWidth(c, gridColumnPixels(PointTableModel::columnWidth(c),
                                           PointTableModel::headerText(c), metrics));
}

bool PointGrid::activateCell(const QModelIndex& index) {
    return m_model && m_model->activate(index);
}

void PointGrid::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState && currentIndex().isValid()) {
        activateCell(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
