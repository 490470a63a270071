#include "pointdata/PointTableModel.h"

#include "operator/OperatorInteraction.h"
#include "tables/NoteText.h"

#include <array>

namespace {
// Header texts keep their blanks: the grid shows them as they are.
constexpr std::array<GridTableModel::ColumnDef, PointRules::ColumnCount> kColumns{{
    {"PntNo", 40},
    {"Mode", 75},
    {"Position (mm) ", 85},
    {"Speed (mm/s) ", 85},
    {"Pushing level  ", 85},
    {"                 Note", 240},
}};
} // namespace

PointTableModel::PointTableModel(OperatorInteraction& op, QObject* parent)
    : GridTableModel(kColumns, PointCount, parent), m_op(op) {}

QString PointTableModel::headerText(int column) {
    return headerOf(kColumns, column);
}

int PointTableModel::columnWidth(int column) {
    return widthOf(kColumns, column);
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= PointCount)
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (column == PointRules::ColNumber)
            return QString::number(index.row());
        const QString* text = PointRules::field(m_table[index.row()], column);
        return text ? *text : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        switch (column) {
        case PointRules::ColMode:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case PointRules::ColNote:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        }
    }
    return {};
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() == PointRules::ColNumber)
        return false;
    QString text = value.toString();
    if (index.column() == PointRules::ColNote)
        text = NoteText::bounded(text); // what Save As writes, Open must read back
    if (*PointRules::field(m_table[index.row()], index.column()) == text)
        return true;
    return store(index, text, false);
}

bool PointTableModel::store(const QModelIndex& index, const QString& text, bool teachingSet) {
    const int row = index.row();
    *PointRules::field(m_table[row], index.column()) = text;
    if (m_suspended) {
        emit dataChanged(index, index);
        return true;
    }
    const bool changed = PointRules::applyChange(m_table, row, index.column(), m_op, teachingSet);
    if (teachingSet)
        allCellsChanged();
    else
        emit dataChanged(this->index(row, 0), this->index(row, PointRules::ColNote));
    if (changed)
        setModified(true);
    return true;
}

bool PointTableModel::activate(const QModelIndex& index) {
    if (!index.isValid() || locked())
        return false;
    QString answer;
    switch (index.column()) {
    case PointRules::ColMode:
        answer = m_op.chooseOperationMode();
        break;
    case PointRules::ColPosition:
    case PointRules::ColSpeed:
    case PointRules::ColPush:
        answer = m_op.numericKeypad(index.data(Qt::EditRole).toString());
        break;
    default:
        return false;
    }
    // Cancel gives an empty answer: the cell keeps its text.
    if (answer.isEmpty() || answer == index.data(Qt::EditRole).toString())
        return false;
    return store(index, answer, false);
}

void PointTableModel::teachPosition(int row, const QString& position) {
    if (row < 0 || row >= PointCount)
        return;
    store(index(row, PointRules::ColPosition), position, true);
}

PointRecord PointTableModel::point(int row) const {
    return row >= 0 && row < PointCount ? m_table[row] : PointRecord{};
}

void PointTableModel::setTable(const PointTableData& table) {
    beginResetModel();
    m_table = table;
    endResetModel();
}

void PointTableModel::clear() {
    setTable(PointTableData{});
}

GridTableModel::TableImage PointTableModel::image() const {
    TableImage out;
    out.reserve(PointCount);
    for (const PointRecord& p : m_table)
        out.append({p.mode, p.position, p.speed, p.push, p.note});
    return out;
}

void PointTableModel::restoreImage(const TableImage& image) {
    PointTableData table;
    for (int row = 0; row < PointCount && row < image.size(); ++row)
        for (int column = PointRules::ColMode; column <= PointRules::ColNote; ++column)
            *PointRules::field(table[row], column) = image[row].value(column - 1);
    setTable(table);
}

std::unique_ptr<GridTableModel> PointTableModel::createLike(OperatorInteraction& op) const {
    return std::make_unique<PointTableModel>(op);
}

QString PointTableModel::pasteRefusal(const QModelIndex& index, const QString& pasted) const {
    if (!index.isValid() || index.row() >= PointCount || pasted.trimmed().isEmpty())
        return {};
    const PointRecord& p = m_table[index.row()];
    const QString* kept = PointRules::field(p, index.column());
    if (!kept || !kept->isEmpty())
        return {};
    switch (index.column()) {
    case PointRules::ColMode:
        return QStringLiteral("\"%1\" is not a mode").arg(pasted);
    case PointRules::ColPosition:
        // O and C points carry no position: the check empties it, as it does when typed.
        if (p.mode == u"O" || p.mode == u"C")
            return {};
        break;
    case PointRules::ColPush:
        if (p.mode == u"A" || p.mode == u"I")
            return {};
        break;
    case PointRules::ColSpeed:
        break;
    default:
        return {};
    }
    return QStringLiteral("\"%1\" is not a number").arg(pasted);
}
