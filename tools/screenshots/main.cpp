// qrx5-screenshots: writes the pictures of the documentation (docs/*.png) from the real
// windows on the in-process virtual controller and on qrx5-sim. Run by tools/screenshots.sh;
// not a test.
//
//   qrx5-screenshots [FOLDER]            every picture of a window (offscreen will do)
//   qrx5-screenshots --screen [FOLDER]   the whole screen and the framed dialogs (under X with
//                                        a window manager; run once per screen size)
#include "Shots.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const QString program = args.takeFirst();
    Shots::setScreenMode(args.removeAll(QStringLiteral("--screen")) > 0);
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith('-'))) {
        qInfo("usage: qrx5-screenshots [--screen] [FOLDER]");
        return 64;
    }
    const QString folder = args.value(0, QStringLiteral("docs"));
    if (!QDir().mkpath(folder)) {
        qWarning("cannot make the folder %s", qPrintable(folder));
        return 2;
    }
    Shots::setFolder(folder);
    // The start-up pictures run the virtual controller built beside this program.
    if (qEnvironmentVariableIsEmpty("QRX5_SIM_BIN"))
        qputenv("QRX5_SIM_BIN", QDir(app.applicationDirPath()).filePath("qrx5-sim").toLocal8Bit());

    const QStringList run{program, QStringLiteral("-silent")};
    if (Shots::screenMode())
        return screenShots(run);
    int failures = 0;
    for (const auto group :
         {pointWindowShots, pulseWindowShots, dialogShots, editShots, historyShots, startupShots})
        failures += group(run);
    return failures == 0 ? 0 : 1;
}
