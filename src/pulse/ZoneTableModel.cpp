#include "pulse/ZoneTableModel.h"

#include "operator/OperatorInteraction.h"
#include "tables/NoteText.h"

#include <array>

namespace {
// Header texts keep their blanks: the grid shows them as they are.
constexpr std::array<GridTableModel::ColumnDef, ZoneRules::ColumnCount> kColumns{{
    {"No  ", 25},
    {"Zone position A (mm)", 140},
    {"Zone position B (mm)", 140},
    {"                 Note", 285},
}};

bool isPosition(int column) {
    return column == ZoneRules::ColA || column == ZoneRules::ColB;
}

// The field of a zone shown in a column; null for the number column.
QString ZoneRecord::*fieldOf(int column) {
    switch (column) {
    case ZoneRules::ColA:
        return &ZoneRecord::a;
    case ZoneRules::ColB:
        return &ZoneRecord::b;
    case ZoneRules::ColNote:
        return &ZoneRecord::note;
    default:
        return nullptr;
    }
}
} // namespace

ZoneTableModel::ZoneTableModel(OperatorInteraction& op, QObject* parent)
    : GridTableModel(kColumns, ZoneCount, parent), m_op(op) {}

QVariant ZoneTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ZoneCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() == ZoneRules::ColNumber)
            return QString::number(index.row());
        const auto field = fieldOf(index.column());
        if (!field)
            return QString();
        const QString& text = m_table[index.row()].*field;
        // Positions are shown with two decimals ("#0.00"), as they are sent; the cell keeps its
        // text, which is what is saved and printed. A text that is no number is shown as it is.
        if (role == Qt::DisplayRole && isPosition(index.column()))
            return ZoneRules::shown(text);
        return text;
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() != ZoneRules::ColNote;
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}

bool ZoneTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const auto field = fieldOf(index.column());
    if (!field || index.row() >= ZoneCount)
        return false;
    ZoneRecord& z = m_table[index.row()];
    QString text = value.toString();
    if (field == &ZoneRecord::note)
        text = NoteText::bounded(text); // what Save As writes, Open must read back
    if (z.*field == text)
        return true;
    z.*field = text;
    if (m_bulk == BulkWrite::None) {
        for (QString* position : {&z.a, &z.b}) {
            const std::optional<QString> checked = ZoneRules::checkPosition(*position);
            if (checked) {
                *position = *checked;
                continue;
            }
            m_op.message(ZoneRules::ErrorTitle, ZoneRules::RangeText,
                         OperatorInteraction::Icon::Warning);
            position->clear();
        }
        setModified(true);
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ZoneRules::ColNote));
    return true;
}

bool ZoneTableModel::activate(const QModelIndex& index) {
    if (locked() || !index.isValid() || !isPosition(index.column()))
        return false;
    const QString before = index.data(Qt::EditRole).toString();
    const QString typed = m_op.numericKeypad(before);
    if (typed.isEmpty() || typed == before)
        return false;
    return setData(index, typed);
}

ZoneRecord ZoneTableModel::zone(int row) const {
    return row >= 0 && row < ZoneCount ? m_table[row] : ZoneRecord{};
}

void ZoneTableModel::setTable(const ZoneTableData& table) {
    m_table = table;
    allCellsChanged();
}

GridTableModel::TableImage ZoneTableModel::image() const {
    TableImage out;
    out.reserve(ZoneCount);
    for (const ZoneRecord& z : m_table)
        out.append({z.a, z.b, z.note});
    return out;
}

void ZoneTableModel::restoreImage(const TableImage& image) {
    ZoneTableData table;
    for (int row = 0; row < ZoneCount && row < image.size(); ++row)
        table[row] = {image[row].value(0), image[row].value(1), image[row].value(2)};
    setTable(table);
}

std::unique_ptr<GridTableModel> ZoneTableModel::createLike(OperatorInteraction& op) const {
    return std::make_unique<ZoneTableModel>(op);
}
