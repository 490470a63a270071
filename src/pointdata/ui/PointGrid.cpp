#include "pointdata/ui/PointGrid.h"

#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "tables/NoteText.h"

PointGrid::PointGrid(PointTableModel* model, QWidget* parent)
    : TableGrid(model, QStringLiteral("Grid1"),
                new GridCellDelegate({PointTableModel::CellColourBgr, std::nullopt, {}, {}}),
                parent),
      m_model(model) {
    cellDelegate()->setKeyFilter(&PointRules::acceptsText);
    cellDelegate()->setMaxLength(PointRules::ColMode, 1); // the mode is one letter
    cellDelegate()->setMaxLength(PointRules::ColNote, int(NoteText::MaxChars));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    QList<int> units;
    for (int c = 0; c < PointRules::ColumnCount; ++c)
        units << PointTableModel::columnWidth(c);
    setColumnUnits(units);
    setActivation([this](const QModelIndex& index) { return m_model->activate(index); });
}
