#include "pointdata/PointTableModel.h"

#include "startup/NoteText.h"
#include "startup/OperatorInteraction.h"

#include <array>

namespace {
struct ColumnDef {
    const char* header;
    int width;
};

// Header texts keep their blanks: the grid shows them as they are.
constexpr std::array<ColumnDef, PointRules::ColumnCount> kColumns{{
    {"PntNo", 40},
    {"Mode", 75},
    {"Position (mm) ", 85},
    {"Speed (mm/s) ", 85},
    {"Pushing level  ", 85},
    {"                 Note", 240},
}};
} // namespace

PointTableModel::PointTableModel(OperatorInteraction& op, QObject* parent)
    : QAbstractTableModel(parent), m_op(op) {}

QString PointTableModel::headerText(int column) {
    return column >= 0 && column < PointRules::ColumnCount
               ? QString::fromLatin1(kColumns[column].header)
               : QString();
}

int PointTableModel::columnWidth(int column) {
    return column >= 0 && column < PointRules::ColumnCount ? kColumns[column].width : 0;
}

int PointTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PointCount;
}

int PointTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PointRules::ColumnCount;
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

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headerText(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString::number(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != PointRules::ColNumber && !m_locked)
        f |= Qt::ItemIsEditable;
    return f;
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
        emit dataChanged(this->index(0, 0), this->index(PointCount - 1, PointRules::ColNote));
    else
        emit dataChanged(this->index(row, 0), this->index(row, PointRules::ColNote));
    if (changed)
        setModified(true);
    return true;
}

bool PointTableModel::activate(const QModelIndex& index) {
    if (!index.isValid() || m_locked)
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

void PointTableModel::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

QString PointTableModel::tagText() const {
    return m_modified ? QStringLiteral("Change") : QString();
}

void PointTableModel::setLocked(bool locked) {
    if (m_locked == locked)
        return;
    m_locked = locked;
    emit dataChanged(index(0, 0), index(PointCount - 1, PointRules::ColNote));
}
