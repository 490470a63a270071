#include "window/ui/ParameterGrid.h"

#include "tables/ParameterRowsModel.h"

#include <algorithm>

namespace {
GridCellDelegate::Look lookOf(ParameterGrid::Style style) {
    constexpr quint32 blue = ParameterRowsModel::CellColourBgr;
    if (style == ParameterGrid::Style::LightBlueCells)
        return {blue, std::nullopt, {0}, {}};
    return {std::nullopt, blue, {0}, {ParameterRowsModel::ColNumber}};
}
} // namespace

ParameterGrid::ParameterGrid(ParameterRowsModel* model, QWidget* parent, Style style)
    : TableGrid(model, QStringLiteral("Grid2"), new GridCellDelegate(lookOf(style)), parent),
      m_model(model) {
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    if (style == Style::LightBlueFixedCells)
        setHeaderColour(ParameterRowsModel::CellColourBgr);
    QList<int> units;
    for (int c = 0; c < ParameterRowsModel::ColumnCount; ++c)
        units << model->columnUnits(c);
    setColumnUnits(units);
    // Range texts and names are the longest cells: keep them whole.
    for (int c : {int(ParameterRowsModel::ColRange), int(ParameterRowsModel::ColNote)})
        setColumnWidth(c, std::max(columnWidth(c), sizeHintForColumn(c) + 8));
    setCurrentIndex(model->index(1, ParameterRowsModel::ColSetting));
}
