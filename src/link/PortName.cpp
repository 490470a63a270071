#include "link/PortName.h"

#include "link/Profile.h"

#include <QDir>

namespace PortName {

QString normalised(const QString& name) {
    if (name.size() == 4 && name.startsWith(QLatin1String("COM")) && name[3] >= QLatin1Char('1') &&
        name[3] <= QLatin1Char('8'))
        return name;
    return QStringLiteral("COM1");
}

int number(const QString& name) {
    return normalised(name).at(3).digitValue();
}

QString target(const QString& iniPath, const QString& name) {
    const QString port = normalised(name);
    const QString mapped = Profile::ReadSetting(port, QStringLiteral("Ports"), iniPath);
    if (mapped != QLatin1String("ERROR") && !mapped.isEmpty())
        return mapped;
    return defaultTarget(port);
}

QString defaultTarget(const QString& name) {
#ifdef Q_OS_WIN
    return normalised(name);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number(name) - 1);
#endif
}

bool writeTarget(const QString& iniPath, const QString& name, const QString& target, QString* why) {
    return Profile::WriteSetting(target, normalised(name), QStringLiteral("Ports"), iniPath, why);
}

QString readFromIni(const QString& iniPath) {
    const QString value =
        Profile::ReadSetting(QStringLiteral("COM"), QStringLiteral("Data"), iniPath).trimmed();
    bool ok = false;
    const int n = value.toInt(&ok);
    if (ok && n >= 1 && n <= 8 && !value.startsWith(QLatin1Char('+')))
        return QStringLiteral("COM%1").arg(n);
    return QStringLiteral("COM1");
}

bool writeToIni(const QString& iniPath, const QString& name, QString* why) {
    // The number-to-text conversion of a non-negative number puts a blank in front of it.
    const QString value = QLatin1Char(' ') + QString::number(number(name));
    return Profile::WriteSetting(value, QStringLiteral("COM"), QStringLiteral("Data"), iniPath,
                                 why);
}

QString readProblem(const QString& iniPath, const QString& name) {
    const QString problem = Profile::problem(iniPath);
    if (problem.isEmpty())
        return {};
    const QString port = normalised(name);
    // What the operator needs first comes first: a status bar panel cuts a long text.
    return QStringLiteral("QRX5.ini cannot be read; the port is %1 (%2). %3: %4")
        .arg(port, defaultTarget(port), QDir::toNativeSeparators(iniPath), problem);
}

} // namespace PortName
