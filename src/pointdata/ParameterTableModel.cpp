#include "pointdata/ParameterTableModel.h"

#include "pointdata/ParameterRules.h"
#include "pointdata/PointParameters.h"

namespace {
// Header texts keep their blanks: the grid shows them as they are.
constexpr auto kColumns = ParameterRowsModel::columns("Setting Range     ", 220);
} // namespace

ParameterTableModel::ParameterTableModel(OperatorInteraction& op, QObject* parent)
    : ParameterRowsModel(op, kColumns, ParameterRules::startupTable(), parent) {}

QString ParameterTableModel::headerText(int column) {
    return headerOf(kColumns, column);
}

int ParameterTableModel::columnWidth(int column) {
    return widthOf(kColumns, column);
}

QString ParameterTableModel::defaultList(const QString& type) const {
    return PointParameters::defaultList(type);
}

bool ParameterTableModel::checkEdit(ParameterRow& row) {
    return ParameterRules::checkRow(row) != ParameterRules::EditResult::NotHeld;
}

std::unique_ptr<GridTableModel> ParameterTableModel::createLike(OperatorInteraction& op) const {
    return std::make_unique<ParameterTableModel>(op);
}
