#pragma once

#include "transfers/Operation.h"

#include <QString>
#include <functional>

class ParameterRowsModel;

// The Init menu's steps that both kinds share: emptying a table after its "@INIT" command,
// resetting the parameters to the defaults of a type the operator picks, and the origin.
namespace InitSteps {

inline constexpr char Completed[] = "Initializing has completed.";

// The question, then "Do you save data?" with its Save As while the tables hold unsaved
// changes (modified). False, the window put back, when the operator declined or cancelled.
bool confirm(const OperationContext& c, const QString& question, bool modified);

// A table's initialisation (Init > Points, Init > Zones), titled title: the question and the
// save question, the window disabled, the progress from 0 to last, the init command (10000 ms).
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
void clearTable(const OperationContext& c, const TableClear& init);

// Init > Parameters of either kind, titled "Parameter initialization": "Do you initialize
// parameter data?" and the save question (modified), the window disabled, the kind's own
// exchanges (before, with the operation's context; anything but Done ends the operation
// there, reported), then
// "@?PRM 0" (3000 ms), whose type is preselected in the type dialog (the table's own when
// the controller's is not one of 30 to 33). Then "@INIT PRM " with the chosen type (5000 ms),
// the type's defaults into both value columns with the progress from 0 to the last row,
// "Initializing has completed.", and "Do you change to English?" (title "Parameter") with its
// one-line write block "PRM22 = 0" and "    Complete." (progress 0 to englishProgressLast when
// above 0). A cancelled type dialog ends the operation with the dependent displays
// refreshed; a time-out or a refusal before the dialog is reported and changes nothing.
// With englishProgressLast above 0 the English write shows the progress dialog (its Cancel
// ends the write as in any write block) with the window disabled. Returns how it ended:
// Cancelled after the type dialog's Cancel or a Cancel in the progress dialog.
enum class Outcome { Done, Declined, Cancelled, Failed };
Outcome initParameters(const OperationContext& c, ParameterRowsModel& params, bool modified,
                       const std::function<Outcome(const OperationContext&)>& before,
                       int englishProgressLast = 0);

// Init > ORG: " Do you initialize the origin?", "@INIT ORG " (3000 ms), "Initialization of the
// origin has finished." titled "Initialization of the origin". The window offers it only
// while no motion runs. With progressLast above 0 the window is disabled and the progress
// dialog shown (0 to progressLast) during the exchange, whose wait its Cancel ends.
void initOrigin(const OperationContext& c, int progressLast = 0);

} // namespace InitSteps
