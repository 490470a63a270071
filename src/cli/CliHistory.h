#pragma once

#include "history/TablesSnapshot.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class Console;
class ControllerHistory;
struct CliSession;

// One command-line action as a record of the controller history: what its operations
// finished on the session's port is recorded when the action ends (tables gives the action's
// tables as they then stand), and a write block that changed the controller without ending
// is said on standard error ("The history was not updated: ...").
class CliRecord final {
  public:
    CliRecord(CliSession& session, std::function<TablesSnapshot()> tables);
    ~CliRecord();
    Q_DISABLE_COPY_MOVE(CliRecord)

  private:
    CliSession& m_s;
    std::function<TablesSnapshot()> m_tables;
};

// Reading the controller history on the command line.
namespace CliHistory {

// --history [PORT]: the versions of PORT's file (of every port without one), newest first,
// one a line on standard output: date, operation, port, kind and short id. Returns the exit
// status: Done (also for a history without a version, said on standard error), Failed when
// the history cannot be read.
int list(Console& console, const ControllerHistory& history, const QString& port);

// Whether a --diff operand names a version rather than a file: PORT@ID or PORT@~N, and no
// file of that name is there.
bool namesVersion(const QString& operand);
// The file a version holds; none with the reason on standard error.
std::optional<QByteArray> read(Console& console, const ControllerHistory& history,
                               const QString& operand);

// Waits for the run's records to be committed and pushed (at most timeoutMs) and tells on
// standard error what the history said.
void finish(Console& console, ControllerHistory& history, int timeoutMs);

} // namespace CliHistory
