#pragma once

#include "startup/Operation.h"

#include <QString>
#include <functional>

class ParameterRowsModel;

// The Init menu's steps that both kinds share: emptying a table after its "@INIT" command,
// resetting the parameters to the defaults of a type the operator picks, and the origin.
namespace InitSteps {

inline constexpr char Completed[] = "Initializing has completed.";

// The question, then "Do you save data?" with its Save As while the tables hold unsaved
// changes (modified). False, the toolbar enabled again, when the operator declined or
// cancelled.
bool confirm(OperationContext& c, const QString& question, bool modified);

// A table's initialisation (Init > Points, Init > Zones): settei 0, the question and the save
// question, the window disabled, the progress from 0 to last, the init command (10000 ms).
// A time-out is a communication error; a reply other than "OK" goes to the error box ("NG")
// or is a reply error, the table untouched. On "OK" each row is emptied (clearRow, with the
// progress and Cancel ending with "Stop" titled title), commit() takes the rows emptied so
// far into the table (the controller is already erased, so also after a cancel), and
// "Initializing has completed." titled title follows unless cancelled.
struct TableClear {
    QString title;
    QString question;
    int code = 0;
    int last = 0;
    bool modified = false;
    std::function<void(int row)> clearRow;
    std::function<void()> commit;
};
void clearTable(OperationContext& c, const TableClear& init);

// Init > Parameters from the type dialog on (the question, the save question and the reads
// before it are the kind's): the type dialog with the controller's type preselected (the
// table's own when the controller's is not one of 30 to 33), "@INIT PRM " with the chosen type
// (5000 ms), the type's defaults into both value columns with the progress from 0 to the last
// row, "Initializing has completed." titled title, then "Do you change to English?" (title
// "Parameter") with its one-line write block "PRM22 = 0" and "    Complete.". A cancelled type
// dialog ends the operation with the dependent displays refreshed. englishProgressLast, when
// above 0, is the progress range's end during the English write block.
void initParameters(OperationContext& c, ParameterRowsModel& params, const QString& controllerType,
                    const QString& title, int englishProgressLast = 0);

// Init > ORG: " Do you initialize the origin?", "@INIT ORG " (3000 ms), "Initialization of the
// origin has finished." titled "Initialization of the origin". The window offers it only
// while no motion runs.
void initOrigin(OperationContext& c);

} // namespace InitSteps
