#pragma once

#include <QString>
#include <QStringList>

// The --port value: one port, or several separated by commas, each a COM port of the port
// map, a device path or a built-in virtual controller.
namespace CliPorts {

// One port as a run opens it.
struct Port {
    QString given;   // as the command line gives it
    QString comName; // "COM3" for a port of the port map, else empty
    QString device;  // otherwise where the line leads: an absolute path when it exists
    QString problem; // why the command line is wrong about it; empty when it is fine
};

Port resolve(const QString& given);

// The ports of a --port value, split at its commas. A value that names an existing file is
// one port, commas and all.
QStringList split(const QString& value);

// The name a controller's files carry in a folder (COM3.csv, COM3.log): the COM port, or the
// device's own name ("ttyUSB0", "sim_point") with every character other than an ASCII letter,
// a digit, '-' or '_' made '_', so that it is a plain file name everywhere.
QString fileStem(const Port& port);

} // namespace CliPorts
