#include "pulse/PulseParameterModel.h"

#include "pulse/PulseParameters.h"

namespace {
// Header texts keep their blanks: the grid shows them as they are.
constexpr auto kColumns = ParameterRowsModel::columns("Setting Range         ", 200);
} // namespace

PulseParameterModel::PulseParameterModel(OperatorInteraction& op, QObject* parent)
    : ParameterRowsModel(op, kColumns, PulseParameters::initialTable(), parent) {}

QString PulseParameterModel::defaultList(const QString& type) const {
    return PulseParameters::defaultList(type);
}

std::unique_ptr<GridTableModel> PulseParameterModel::createLike(OperatorInteraction& op) const {
    return std::make_unique<PulseParameterModel>(op);
}
