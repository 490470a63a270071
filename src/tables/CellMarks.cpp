#include "tables/CellMarks.h"

#include <QAbstractItemModel>

CellMarks::CellMarks(QObject* parent) : QObject(parent) {}

quint64 CellMarks::key(int grid, int row, int column) {
    return (quint64(quint16(grid)) << 48) | (quint64(quint32(row)) << 16) | quint16(column);
}

QStringList CellMarks::texts(const QAbstractItemModel& model) {
    QStringList out;
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    out.reserve(rows * columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            out << model.index(r, c).data(Qt::DisplayRole).toString();
    return out;
}

void CellMarks::watch(QAbstractItemModel* model, int grid) {
    m_models[grid].model = model;
    auto changedHere = [this, grid] { modelChanged(grid); };
    connect(model, &QAbstractItemModel::dataChanged, this, changedHere);
    connect(model, &QAbstractItemModel::modelReset, this, changedHere);
    connect(model, &QAbstractItemModel::layoutChanged, this, changedHere);
}

void CellMarks::set(const QList<Difference>& differences) {
    m_cells.clear();
    for (const Difference& d : differences)
        m_cells.insert(key(d.grid, d.row, d.column));
    for (Watched& w : m_models)
        w.snapshot = w.model ? texts(*w.model) : QStringList();
    emit changed();
}

void CellMarks::clear() {
    if (m_cells.isEmpty())
        return;
    m_cells.clear();
    emit changed();
}

void CellMarks::modelChanged(int grid) {
    if (m_cells.isEmpty())
        return;
    const Watched& w = m_models.value(grid);
    if (!w.model || texts(*w.model) != w.snapshot)
        clear();
}

bool CellMarks::isMarked(int grid, int row, int column) const {
    return m_cells.contains(key(grid, row, column));
}

QList<QPair<int, int>> CellMarks::cells(int grid) const {
    QList<QPair<int, int>> out;
    for (quint64 k : m_cells)
        if (int(quint16(k >> 48)) == grid)
            out.append({int(quint32(k >> 16)), int(quint16(k))});
    return out;
}
