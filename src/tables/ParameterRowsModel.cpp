#include "tables/ParameterRowsModel.h"

#include "operator/OperatorInteraction.h"

#include <algorithm>

ParameterRowsModel::ParameterRowsModel(OperatorInteraction& op, const Columns& columns,
                                       std::span<const ParameterRow> rows, QObject* parent)
    : GridTableModel(columns, int(rows.size()), parent), m_op(op),
      m_rows(rows.begin(), rows.end()) {}

QVariant ParameterRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ParameterRow& r = m_rows[size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case ColNumber:
            return QString::number(r.number);
        case ColSetting:
            return r.setting;
        case ColRange:
            return r.range;
        case ColInitial:
            return r.initial;
        case ColNote:
            return r.name;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == ColNumber || index.column() == ColSetting ||
                            index.column() == ColInitial;
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}

Qt::ItemFlags ParameterRowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The type row is fixed: the type changes only through parameter initialisation.
    if (index.column() == ColSetting && index.row() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ParameterRowsModel::checkEdit(ParameterRow& row) {
    ParameterRows::checkEdit(row);
    return true;
}

bool ParameterRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != ColSetting ||
        index.row() >= rowCount())
        return false;
    ParameterRow& r = m_rows[size_t(index.row())];
    const QString text = value.toString();
    if (r.setting == text)
        return true;
    r.setting = text;
    const bool counts = !m_receiving && checkEdit(r);
    emit dataChanged(index, index);
    if (counts)
        emit edited();
    return true;
}

void ParameterRowsModel::replaceRows(std::span<const ParameterRow> rows) {
    const size_t n = std::min(rows.size(), m_rows.size());
    std::copy_n(rows.begin(), n, m_rows.begin());
    allCellsChanged();
}

QString ParameterRowsModel::settingValue(int number) const {
    const int row = ParameterRows::rowOf(m_rows, number);
    return row < 0 ? QString() : m_rows[size_t(row)].setting;
}

bool ParameterRowsModel::setSettingValue(int number, const QString& value) {
    const int row = ParameterRows::rowOf(m_rows, number);
    if (row < 0)
        return false;
    m_rows[size_t(row)].setting = value;
    emit dataChanged(index(row, ColSetting), index(row, ColSetting));
    return true;
}

void ParameterRowsModel::controllerHolds(int number) {
    // The Setting Value is the first field of a row's image.
    if (const int row = ParameterRows::rowOf(m_rows, number); row >= 0)
        emit controllerTook(row, 0);
}

bool ParameterRowsModel::setControllerValue(int number, const QString& value) {
    if (!setSettingValue(number, value))
        return false;
    controllerHolds(number);
    return true;
}

bool ParameterRowsModel::fillInitialValues(const QString& type) {
    const QString list = defaultList(type);
    if (list.isEmpty()) {
        ParameterRows::reportUnsupportedTypeAndEnd(m_op);
        return false;
    }
    ParameterRows::takeDefaults(m_rows, list, false);
    allCellsChanged();
    return true;
}

bool ParameterRowsModel::resetToDefaults() {
    const QString list = defaultList(actuatorType());
    if (list.isEmpty()) {
        ParameterRows::reportUnsupportedTypeAndEnd(m_op);
        return false;
    }
    ParameterRows::takeDefaults(m_rows, list, true);
    allCellsChanged();
    return true;
}

GridTableModel::TableImage ParameterRowsModel::image() const {
    TableImage out;
    out.reserve(qsizetype(m_rows.size()));
    for (const ParameterRow& r : m_rows)
        out.append({r.setting, r.initial});
    return out;
}

void ParameterRowsModel::restoreImage(const TableImage& image) {
    for (size_t k = 0; k < m_rows.size() && k < size_t(image.size()); ++k) {
        m_rows[k].setting = image[qsizetype(k)].value(0);
        m_rows[k].initial = image[qsizetype(k)].value(1);
    }
    allCellsChanged();
}

QString ParameterRowsModel::pasteRefusal(const QModelIndex& index, const QString& pasted) const {
    if (!index.isValid() || index.column() != ColSetting || index.row() >= rowCount())
        return {};
    const ParameterRow& r = m_rows[size_t(index.row())];
    if (r.setting == pasted)
        return {};
    return QStringLiteral("\"%1\" is outside the Setting Range \"%2\"").arg(pasted, r.range);
}
