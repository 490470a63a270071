#include "link/SerialDevices.h"

#include "link/PortName.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace SerialDevices {

namespace {
// Two names of one device: a symbolic link and its target count as the same.
QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}
} // namespace

QList<Device> present() {
    QList<Device> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString path = info.portName();
#else
        const QString path = info.systemLocation();
#endif
        out.append({path, info.description(), info.manufacturer(), info.serialNumber()});
    }
    return out;
}

Presence presenceOf(const QString& target, const QList<Device>& devices, QString* description) {
    if (target.startsWith(QLatin1String("sim:")))
        return Presence::VirtualController;
    const QString wanted = canonical(target);
    for (const Device& d : devices) {
        if (d.path.compare(target, Qt::CaseInsensitive) == 0 || canonical(d.path) == wanted) {
            if (description)
                *description = d.description;
            return Presence::Listed;
        }
    }
    return QFileInfo::exists(target) ? Presence::FileOnly : Presence::Missing;
}

Destination describe(const QString& iniPath, const QString& portName,
                     const QList<Device>& devices) {
    Destination d;
    d.target =
        iniPath.isEmpty() ? PortName::defaultTarget(portName) : PortName::target(iniPath, portName);
    d.presence = presenceOf(d.target, devices, &d.description);
    return d;
}

QString presenceText(const Destination& d) {
    switch (d.presence) {
    case Presence::VirtualController:
        return QStringLiteral("built-in virtual controller");
    case Presence::Listed:
        return d.description.isEmpty() ? QStringLiteral("present")
                                       : QStringLiteral("present: ") + d.description;
    case Presence::FileOnly:
        return QStringLiteral("present (device file, no port details)");
    case Presence::Missing:
        break;
    }
    return QStringLiteral("not present");
}

} // namespace SerialDevices
