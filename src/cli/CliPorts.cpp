#include "cli/CliPorts.h"

#include "link/PortName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace CliPorts {

Port resolve(const QString& given) {
    static const QRegularExpression comPort(QStringLiteral("^COM[1-8]$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression anyComPort(QStringLiteral("^COM[0-9]+$"),
                                               QRegularExpression::CaseInsensitiveOption);
    Port port{given, {}, {}, {}};
    if (comPort.match(given).hasMatch()) {
        port.comName = given.toUpper();
    } else if (anyComPort.match(given).hasMatch() && !QFileInfo::exists(given)) {
        // A port name the program does not offer is a mistake in the command line, not a
        // device path.
        port.problem = QStringLiteral("--port %1: the ports are COM1 to COM8 (or give a device "
                                      "path)")
                           .arg(given);
    } else {
        // A device given by a path relative to the working folder (a link to the device).
        const QFileInfo file(given);
        port.device = file.exists() ? file.absoluteFilePath() : given;
    }
    return port;
}

QStringList split(const QString& value) {
    if (!value.contains(QLatin1Char(',')) || QFileInfo::exists(value))
        return {value};
    QStringList ports = value.split(QLatin1Char(','));
    for (QString& p : ports)
        p = p.trimmed();
    return ports;
}

QString deviceOf(const Port& port, const QString& iniPath) {
    const QString device =
        port.comName.isEmpty() ? port.device : PortName::target(iniPath, port.comName);
    return device.startsWith(QLatin1String("sim:")) ? QString() : device;
}

QString identityOf(const QString& device) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) == 0) {
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return QStringLiteral("device %1").arg(quint64(st.st_rdev));
        return QStringLiteral("file %1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
    }
#endif
    const QString canonical = QFileInfo(device).canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
#ifdef Q_OS_WIN
    return QDir::cleanPath(QFileInfo(device).absoluteFilePath()).toUpper();
#else
    return QDir::cleanPath(QFileInfo(device).absoluteFilePath());
#endif
}

QString fileStem(const Port& port) {
    if (!port.comName.isEmpty())
        return port.comName;
    QString name = QFileInfo(port.given).fileName();
    for (QChar& c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('-') &&
            c != QLatin1Char('_'))
            c = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("port");
    return name;
}

} // namespace CliPorts
