#pragma once

#include "pulse/PulseData.h"

#include <QList>
#include <QString>

// The pulse-train kind's parameter table: its twelve rows, their range texts and names, and
// the type default lists.
namespace PulseParameters {

// The type default list ("30,100,0,5,1,0,5,10,1,1,0,1000,"), or an empty text for a type
// other than 30 to 33.
QString defaultList(const QString& type);
// The parameter numbers held by the table, in row order: 0, 4, 5, 10, 22, 35, 36, 37, 38,
// 39, 43, 53.
const QList<int>& parameterNumbers();
// The row of parameter number n, or -1 when the table does not hold it.
int rowOfParameter(int number);
// The table with numbers, names and range texts, and initial and setting values of the type
// (type 30's for a type without defaults).
PulseParameterData initialTable(const QString& type = QStringLiteral("30"));

} // namespace PulseParameters
