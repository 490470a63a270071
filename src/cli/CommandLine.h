#pragma once

#include <QStringList>

// The headless command line: backup (--receive), verify (--verify) and restore (--transmit)
// of one controller, without a window or a display. Runs inside a QCoreApplication.
namespace CommandLine {

// Runs the command line given by arguments (the program name first) and returns the exit
// status (ExitStatus).
int run(const QStringList& arguments);

} // namespace CommandLine
