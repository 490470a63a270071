#include "pulse/ui/ZoneGrid.h"

#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"
#include "tables/NoteText.h"

ZoneGrid::ZoneGrid(ZoneTableModel* model, QWidget* parent)
    : TableGrid(model, QStringLiteral("Grid1"),
                new GridCellDelegate(
                    {std::nullopt, ZoneTableModel::FixedColourBgr, {}, {ZoneRules::ColNumber}}),
                parent),
      m_model(model) {
    cellDelegate()->setKeyFilter(&ZoneRules::acceptsText);
    cellDelegate()->setMaxLength(ZoneRules::ColNote, int(NoteText::MaxChars));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setHeaderColour(ZoneTableModel::FixedColourBgr);
    QList<int> units;
    for (int c = 0; c < ZoneRules::ColumnCount; ++c)
        units << model->columnUnits(c);
    setColumnUnits(units);
    setActivation([this](const QModelIndex& index) {
        const bool position =
            index.column() == ZoneRules::ColA || index.column() == ZoneRules::ColB;
        if (position && m_keypadAllowed && m_keypadAllowed())
            return m_model->activate(index);
        if (m_model->flags(index) & Qt::ItemIsEditable)
            edit(index);
        return false;
    });
    setCurrentIndex(model->index(0, ZoneRules::ColA));
}
