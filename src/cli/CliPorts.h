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

// Where a port's line leads: the device path the port map of iniPath gives a COM port, or the
// device given. Empty for the built-in virtual controller, of which every run has its own.
QString deviceOf(const Port& port, const QString& iniPath);
// What two names of one device have in common: the device number of a device file (a link to
// it, a second device file for it), the file itself for anything else, or the absolute path
// with "." and ".." resolved when nothing is there.
QString identityOf(const QString& device);

// The name a controller's files carry in a folder (COM3.csv, COM3.log): the COM port, or the
// device's own name ("ttyUSB0", "sim_point") with every character other than an ASCII letter,
// a digit, '-' or '_' made '_', so that it is a plain file name everywhere.
QString fileStem(const Port& port);

} // namespace CliPorts
