#pragma once

#include "files/SettingsFileFlow.h"
#include "tables/CompareReport.h"
#include "transfers/Operation.h"

#include <QList>
#include <QString>
#include <functional>

class ParameterRowsModel;

// Compare of either kind: the controller's first table (points or zones) and its parameters
// read and compared with the window's tables, titled "Compare". The message names the first
// difference ("Point_No4 NG", "Zone_No2 NG", "Parameter_No35 NG"); its detailed text lists
// every difference and the window marks their cells. Changes nothing.
namespace CompareFlow {

enum class Outcome { Equal, Different, Failed, Cancelled };

struct Result {
    Outcome outcome = Outcome::Failed;
    QList<Difference> differences; // in the order found: the first table, then parameters
    // Why the parameters were not compared after the first table differed (their read failed
    // or was cancelled, or the controller's type has no table here); empty when they were.
    QString parametersNotCompared;
};

// The kind's first table: its read command, its last row number, the name its first
// difference is given in the message, and the differences at row n of the read reply.
struct FirstTable {
    int readCode = 0;
    int last = 0;
    QString messagePrefix; // "Point_No", "Zone_No"
    std::function<QList<Difference>(const QString& reply, int n)> differencesAt;
};

// The whole operation: "Do you compare data?", the progress from 0 to the first table's last
// row, then 0 to 63 for the parameters, Cancel ending with "Stop" titled "Compare". The first
// table's read reports a refusal as a reply error; the parameter read must be answered "OK"
// (anything else, a refusal included, is a communication error). A controller whose
// parameter 0 is not an actuator type 30 to 33 is told as "Controller type is different."
// and the program goes on. Each parameter line is compared with the row of its own number.
// A difference found in the first table is always reported: when the parameters cannot be
// compared after it (their read fails or is cancelled, the type is unknown), the message
// still names that difference and its details say why the parameters were not compared.
Result run(const OperationContext& c, const FirstTable& first, const ParameterRowsModel& params);

// The result message of a compare, titled "Compare": "Comparison of data has finished
// successfully." when nothing differs, else the first difference's name and " NG" with every
// difference as the detailed text (side naming the other value). Equal or Different.
Outcome tell(OperatorInteraction& op, const CompareReport::Findings& found,
             const QString& side = CompareReport::ControllerSide);

// File > "Compare with file...": the open dialog titled "Compare with file" with the settings
// file filter, the chosen file read and checked by read (the very reading of Open, a refusal
// told as Open tells it), then compare() gives the differences between the window's tables
// and what was read; mark() marks their cells and the result is told as Compare tells it,
// the details naming the file's values. Nothing is sent and no table changes. Cancelled when
// the dialog was cancelled, Failed when the file was refused.
inline const QString CompareWithFileTitle = QStringLiteral("Compare with file");
Result compareWithFile(OperatorInteraction& op, const SettingsFileFlow::FileCheck& read,
                       const std::function<CompareReport::Findings()>& compare,
                       const std::function<void(const QList<Difference>&)>& mark);

// The same for a settings file already read (a version of the controller history): checked
// by read (a refusal told as Open tells it, Failed), then compared, marked and told alike.
Result compareWithBytes(OperatorInteraction& op, const QByteArray& bytes,
                        const SettingsFileFlow::FileCheck& read,
                        const std::function<CompareReport::Findings()>& compare,
                        const std::function<void(const QList<Difference>&)>& mark);

// Whether a parameter value from the controller and a Setting Value are the same number
// ("100" and "100.0", " 0" and an empty cell, which reads as 0); texts that are not numbers
// must match exactly.
bool sameParameter(const QString& controllerValue, const QString& setting);

} // namespace CompareFlow
