#pragma once

#include <QList>
#include <QString>

// The serial devices the system knows now, and whether the place a port leads to exists.
namespace SerialDevices {

struct Device {
    QString path;        // what a port is mapped to: /dev/ttyUSB0, or COM3 on Windows
    QString description; // each empty where the system does not know it
    QString manufacturer;
    QString serialNumber;
};

// The serial ports the system lists, by path.
QList<Device> present();

enum class Presence {
    VirtualController, // "sim:point" or "sim:pulse": always there
    Listed,            // a serial port the system lists
    FileOnly,          // the device file exists, but the system lists no serial port there
                       // (a pseudo-terminal, an unused legacy port)
    Missing,
};

struct Destination {
    QString target; // where the port leads: a device path or "sim:point" / "sim:pulse"
    Presence presence = Presence::Missing;
    QString description; // of the listed device
};

// Where a port leads by the INI file's port map, and whether it is there now among devices.
Destination describe(const QString& iniPath, const QString& portName, const QList<Device>& devices);
Presence presenceOf(const QString& target, const QList<Device>& devices,
                    QString* description = nullptr);
// For the operator: "present: USB Serial", "not present", "virtual controller" ...
QString presenceText(const Destination& d);

} // namespace SerialDevices
