#pragma once

#include "transfers/ReceivedRows.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class Link;
class OperatorInteraction;
class ParameterRowsModel;
class ProgressView;

// One kind's tables as the start-up read fills them: the main window's own models, written by
// the rules of the kind's receive operations.
struct StartupTables {
    // Exchanges before the tables whose replies are not used further.
    struct Query {
        int code = 0;
        int timeoutMs = 0;
    };
    StartupTables(QList<Query> queries, std::unique_ptr<ReceivedRows> first, int firstTimeoutMs,
                  ParameterRowsModel& parameters, int parameterTimeoutMs,
                  std::function<void()> finished)
        : queries(std::move(queries)), first(std::move(first)), firstTimeoutMs(firstTimeoutMs),
          parameters(&parameters), parameterTimeoutMs(parameterTimeoutMs),
          finished(std::move(finished)) {}

    QList<Query> queries;
    // The first table (points or zones) and the time-out of its read.
    std::unique_ptr<ReceivedRows> first;
    int firstTimeoutMs = 0;
    ParameterRowsModel* parameters = nullptr;
    int parameterTimeoutMs = 0;
    // The read has ended and the program goes on: the displays that mirror parameter values.
    std::function<void()> finished;
};

// The start-up read: once the start-up window knows the controller's kind, it reads the
// controller's tables into the main window of that kind before it shows it, on its own link
// (the start-up variant of the exchange). It asks nothing, reports no time-out, shows no
// completion message and leaves the modified flag alone.
//
//   - The queries run first; then the first table with the progress dialog shown (0 to its
//     last row), then the parameters (0 to 63). Each exchange only after the one before got
//     its reply: a time-out (or line noise) ends the read silently with what was read.
//   - Cancel (the progress dialog's cancel request, tested once per row, or clicked while a
//     reply is awaited) hides the dialog and shows "Data not received" (caption "Stop",
//     warning icon); the rest of that table is skipped. After the first table the parameters
//     are still read, the dialog staying hidden; a cancel in the parameters ends the read.
//   - An "NG" reply leaves that table as it was and is reported as the receive operations
//     report it ("Cannot receive data from controller."); so is a parameter reply without any
//     parameter line. The parameters are still read after a refused first table.
//   - Parameter 0 is the actuator type: the type's default list fills the Initial Value
//     column. A type other than 30 to 33 shows "Controller type is different." (caption
//     "Controller type", warning icon) and ends the program through the operator's program
//     end; nothing of that reply is taken.
//
// However the read ends the progress dialog is hidden; unless the program ended the tables'
// finished() runs, and a cancelled exchange still collecting its late reply is waited out
// first, so that it cannot reach the main window's first exchange.
namespace StartupRead {

enum class Result { Done, ProgramEnded };

inline constexpr char CancelTitle[] = "Stop";
inline constexpr char CancelText[] = "Data not received";

Result run(Link& link, OperatorInteraction& op, ProgressView& progress, StartupTables& tables);

} // namespace StartupRead
