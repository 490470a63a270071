#include "pointdata/ParameterTableModel.h"

#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterRules.h"

#include <array>

namespace {
struct ColumnDef {
    const char* header;
    int width;
};

// Header texts keep their blanks: the grid shows them as they are.
constexpr std::array<ColumnDef, ParameterTableModel::ColumnCount> kColumns{{
    {"No", 25},
    {"Setting Value", 80},
    {"Setting Range     ", 230},
    {"Initial Value ", 70},
    {"                 Note", 220},
}};
} // namespace

ParameterTableModel::ParameterTableModel(OperatorInteraction& op, QObject* parent)
    : QAbstractTableModel(parent), m_op(op), m_table(ParameterRules::startupTable()) {}

QString ParameterTableModel::headerText(int column) {
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(kColumns[column].header)
                                               : QString();
}

int ParameterTableModel::columnWidth(int column) {
    return column >= 0 && column < ColumnCount ? kColumns[column].width : 0;
}

int ParameterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ParameterCount;
}

int ParameterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ParameterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ParameterCount)
        return {};
    const ParameterRow& r = m_table[index.row()];
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

QVariant ParameterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headerText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ParameterTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The type row is fixed: the type changes only through parameter initialisation.
    if (index.column() == ColSetting && index.row() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ParameterTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != ColSetting)
        return false;
    const int row = index.row();
    const QString text = value.toString();
    if (m_table[row].setting == text)
        return true;
    m_table[row].setting = text;
    if (!m_receiving) {
        const auto result = ParameterRules::checkEdit(m_table, row);
        emit dataChanged(index, index);
        if (result != ParameterRules::EditResult::NotHeld)
            emit edited();
        return true;
    }
    emit dataChanged(index, index);
    return true;
}

void ParameterTableModel::replace(const ParameterTableData& table) {
    m_table = table;
    emit dataChanged(index(0, 0), index(ParameterCount - 1, ColumnCount - 1));
}

void ParameterTableModel::setTable(const ParameterTableData& table) {
    replace(table);
}

QString ParameterTableModel::settingValue(int number) const {
    return ParameterRules::settingValue(m_table, number);
}

bool ParameterTableModel::setSettingValue(int number, const QString& value) {
    const int row = ActuatorTypes::rowOfParameter(number);
    if (row < 0)
        return false;
    m_table[row].setting = value;
    emit dataChanged(index(row, ColSetting), index(row, ColSetting));
    return true;
}

bool ParameterTableModel::fillInitialValues(const QString& type) {
    ParameterTableData table = m_table;
    if (!ParameterRules::fillInitialValues(table, type, m_op))
        return false;
    replace(table);
    return true;
}

bool ParameterTableModel::resetToDefaults() {
    ParameterTableData table = m_table;
    if (!ParameterRules::resetToDefaults(table, m_op))
        return false;
    replace(table);
    return true;
}
