#pragma once

#include <QString>

// Port names "COM1".."COM8" and where each one leads.
namespace PortName {

// The name itself when it is one of "COM1".."COM8", else "COM1".
QString normalised(const QString& name);
// The digit after "COM" (1..8) of a normalised name.
int number(const QString& name);

// Where a port leads: section "Ports" of the INI file may map "COM1".."COM8" to a device path
// or to "sim:point" / "sim:pulse" (the built-in virtual controller). Without a mapping: the
// name itself on Windows, /dev/ttyS<n-1> elsewhere.
QString target(const QString& iniPath, const QString& name);
// Where a port leads without a mapping: the name itself on Windows, /dev/ttyS<n-1> elsewhere.
QString defaultTarget(const QString& name);
// Maps a port to a device path or "sim:point" / "sim:pulse": key "COM1".."COM8" of section
// "Ports", every other line of the file kept as it is. An empty target gives the port its
// default again. why: as Profile::WriteSetting.
bool writeTarget(const QString& iniPath, const QString& name, const QString& target,
                 QString* why = nullptr);

// The port kept in the INI file: section "Data", key "COM", a number 1..8 (blanks ignored);
// any other value, a missing key or a missing file give "COM1".
QString readFromIni(const QString& iniPath);
// Writes the port number with its leading blank (" 3") as key "COM" of section "Data".
// why: as Profile::WriteSetting.
bool writeToIni(const QString& iniPath, const QString& name, QString* why = nullptr);

// An INI file that is there but cannot be read (a folder, a FIFO, binary, too large) gives
// the defaults as a missing one does; this says so for the operator, with the port used
// instead and where it leads: "QRX5.ini cannot be read; the port is COM1 (/dev/ttyS0).
// /home/op/.config/qrx5/QRX5.ini: it is a folder". Empty when the file can be read or is not
// there.
QString readProblem(const QString& iniPath, const QString& name);

} // namespace PortName
