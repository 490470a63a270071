#pragma once

#include "pointdata/PointData.h"
#include "tables/ActuatorType.h"

#include <QString>
#include <QStringList>

// Actuator types 30..33 of the point-input kind and the fixed layout of its parameter table.
namespace PointParameters {

using ActuatorType::isSupported;
using ActuatorType::model;
using ActuatorType::stroke;
// The type default list ("30,2000,-20,...,5,"), or an empty text for an unsupported type.
QString defaultList(const QString& type);
// The 20 values of the type default list in row order; empty for an unsupported type.
QStringList defaultValues(const QString& type);
// Upper speed limit of modes A, I and U at transmission (mm/s): 50 or 120.
int transmitSpeedLimit(const QString& type);

// The parameter numbers held by the table, in row order.
const QList<int>& parameterNumbers();
// The row of parameter number n, or -1 when the table does not hold it.
int rowOfParameter(int number);
// The table with numbers, names and range texts, and initial and setting values of the type.
ParameterTableData initialTable(const QString& type = QStringLiteral("30"));

} // namespace PointParameters
