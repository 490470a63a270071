#include "tables/GridTableModel.h"

GridTableModel::GridTableModel(std::span<const ColumnDef> columns, int rows, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns), m_rows(rows) {}

QString GridTableModel::headerOf(std::span<const ColumnDef> columns, int column) {
    return column >= 0 && size_t(column) < columns.size()
               ? QString::fromLatin1(columns[size_t(column)].header)
               : QString();
}

int GridTableModel::widthOf(std::span<const ColumnDef> columns, int column) {
    return column >= 0 && size_t(column) < columns.size() ? columns[size_t(column)].width : 0;
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? columnHeader(section) : QString::number(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != 0 && !m_locked)
        f |= Qt::ItemIsEditable;
    return f;
}

void GridTableModel::setModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

QString GridTableModel::tagText() const {
    return m_modified ? QStringLiteral("Change") : QString();
}

void GridTableModel::setLocked(bool locked) {
    if (m_locked == locked)
        return;
    m_locked = locked;
    allCellsChanged();
}

void GridTableModel::allCellsChanged() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QString GridTableModel::rowNumber(int row) const {
    return index(row, 0).data(Qt::DisplayRole).toString();
}

QString GridTableModel::rowName(int row) const {
    QString item = rowItem();
    if (!item.isEmpty())
        item[0] = item[0].toUpper();
    return item + QLatin1Char(' ') + rowNumber(row);
}

std::unique_ptr<GridTableModel> GridTableModel::trialCopy(OperatorInteraction& op) const {
    std::unique_ptr<GridTableModel> copy = createLike(op);
    copy->restoreImage(image());
    copy->setLocked(m_locked);
    return copy;
}
