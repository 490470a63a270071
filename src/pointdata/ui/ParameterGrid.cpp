#include "pointdata/ui/ParameterGrid.h"

#include "pointdata/ParameterTableModel.h"
#include "pointdata/ui/ParameterGridDelegate.h"
#include "pointdata/ui/PointGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>

ParameterGrid::ParameterGrid(ParameterTableModel* model, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setObjectName(QStringLiteral("Grid2"));
    setModel(model);
    setItemDelegate(new ParameterGridDelegate(this));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < ParameterTableModel::ColumnCount; ++c) {
        int width = gridColumnPixels(ParameterTableModel::columnWidth(c),
                                     ParameterTableModel::headerText(c), metrics);
        // Range texts and names are the longest cells: keep them whole.
        if (c == ParameterTableModel::ColRange || c == ParameterTableModel::ColNote)
            width = std::max(width, sizeHintForColumn(c) + 8);
        setColumnWidth(c, width);
    }
    setCurrentIndex(model->index(1, ParameterTableModel::ColSetting));
}
