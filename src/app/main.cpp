#include "link/LinkState.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/DialogOperator.h"
#include "startup/ui/frmselect.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QRX5 Support-Software"));
    QApplication::setApplicationVersion(QStringLiteral(QRX5_VERSION));

    // The port is kept in QRX5.ini in the folder of the program file.
    const QString iniPath = QDir(QCoreApplication::applicationDirPath()).filePath("QRX5.ini");

    LinkState state;
    SimulatorHub simulators;
    RoutedChannel pointPort(iniPath, simulators);
    RoutedChannel pulsePort(iniPath, simulators);
    DialogOperator op;

    frmMain pointWindow(state, op, pointPort, iniPath);
    frmpulseMaindemo pulseWindow(state, op, pulsePort, iniPath);
    op.setParentGetter([&pointWindow, &pulseWindow]() -> QWidget* {
        return pulseWindow.isVisible() ? static_cast<QWidget*>(&pulseWindow)
                                       : static_cast<QWidget*>(&pointWindow);
    });

    // The start-up window talks over the point-input window's port.
    StartupSequence sequence(state, pointPort, iniPath);
    frmselect select(
        sequence,
        [&](StartupSequence::Kind kind) {
            QMainWindow* w = kind == StartupSequence::Kind::PointInput
                                 ? static_cast<QMainWindow*>(&pointWindow)
                                 : static_cast<QMainWindow*>(&pulseWindow);
            static_cast<MainWindowBase*>(w)->setPanelText(3, state.PortName);
            w->show();
        },
        [&] { op.endProgram(); });
    select.start();
    return app.exec();
}
