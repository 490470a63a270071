#pragma once

#include "transfers/Operation.h"
#include "transfers/WriteBlock.h"

#include "tables/ParameterRows.h"

#include <QList>
#include <QString>
#include <span>

class GridTableModel;
class ParameterRowsModel;

// What both kinds do alike with their parameter tables on the controller: taking a
// "@READ PRM " reply into the table, Receive(Parameters) around it, and the data lines of a
// parameter write block.
namespace ParameterTransfer {

enum class Taken {
    All,             // every value of the reply was walked
    Cancelled,       // the operator cancelled; the rows taken so far stay
    NoTable,         // the reply holds no parameter line at all: nothing changed
    UnsupportedType, // parameter 0 is no actuator type 30 to 33: nothing changed
};

// The reply's values into the table by position (ReplyRules::parameterValues): value k is
// parameter number k. Parameter 0 is the actuator type: its type default list fills the
// Initial Value column. A value whose number the table holds becomes that row's Setting
// Value, without the after-edit check. Each k is one row of the progress (Ops::eachRow with
// the context's Cancel message). A reply without values or whose type has no default list
// changes nothing; the caller tells the operator.
Taken take(const OperationContext& c, ParameterRowsModel& params, const QString& reply);

// Receive(Parameters) of either kind, titled "Parameter reception": asks "Do you receive
// parameter data?", reads the table with the progress from 0 to 63 (starting at
// firstProgress) and takes it. A time-out, an "NG" reply or a reply without any parameter
// line leaves the table as it was and is reported; a type without defaults is told as
// "Controller type is different." and the program goes on. Otherwise the modified flag of
// `flag` is set (also after a cancel), "Receiving has finished." (title "Receive Parameter")
// is shown unless cancelled, and the dependent displays are refreshed.
void receive(const OperationContext& c, ParameterRowsModel& params, GridTableModel& flag,
             int timeoutMs, int firstProgress);

using Ops::DataLine;

inline constexpr char NotANumberTitle[] = "Data un-transmitting";
inline constexpr char NotANumber[] = "Data is not completed. Please check data.";

// Every value goes on the line as it stands, so each line to be sent must hold a value the
// controller takes: a plain number within its row's range (a choice exactly 0 or 1;
// ParameterRows::valueProblem over rows). Shows the first that does not (its line in the
// error box, then NotANumber titled NotANumberTitle with the row, field and what is wrong
// beside it), sets settei and restores the window: false, nothing written.
bool allAccepted(const OperationContext& c, std::span<const ParameterRow> rows,
                 const QList<DataLine>& lines);

} // namespace ParameterTransfer
