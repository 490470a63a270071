#include "link/IniLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace IniLocation {

QString choose(const QString& programDir, const QString& userConfigDir) {
    const QString beside = QDir(programDir).filePath(QLatin1String(FileName));
    // Without a configuration folder (no home folder) there is nowhere else to keep it.
    if (QFileInfo(beside).isFile() || userConfigDir.isEmpty())
        return beside;
    return QDir(QDir(userConfigDir).filePath(QLatin1String(UserFolder)))
        .filePath(QLatin1String(FileName));
}

QString forThisProgram() {
    return choose(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace IniLocation
