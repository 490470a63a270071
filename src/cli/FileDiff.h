#pragma once

#include <QString>

class Console;
class ControllerHistory;

// --diff: two settings files compared without a controller, cell by cell as the window's
// Compare with file compares its tables with a file (every cell a file keeps, numbers as
// numbers). Every difference goes to standard output, one per line in the form --verify
// prints, the values named file A and file B; the result goes to standard error as Compare
// tells it. Each file is read as Open reads it, and a refused file is told as Open tells it.
// Returns ExitStatus: Done when the files hold the same tables, Different when they do not,
// Failed when a file cannot be read or is refused, or when the two belong to different
// controller kinds or actuator types (said on standard error; such files are not compared).
namespace FileDiff {

// Either file may be a version of the controller history instead (PORT@ID, PORT@~1:
// CliHistory::namesVersion), read from history.
int run(Console& console, const QString& fileA, const QString& fileB,
        const ControllerHistory* history = nullptr);

} // namespace FileDiff
