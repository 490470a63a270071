#include "link/LinkState.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"
#include "window/ui/DialogOperator.h"

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
    // The start-up window talks over the point-input window's port and reads the tables into
    // the main window of the controller's kind before it shows it.
    StartupSequence sequence(state, pointPort, iniPath);
    sequence.setTableReader(op, [&](StartupSequence::Kind kind) {
        return kind == StartupSequence::Kind::PointInput ? pointWindow.startupTables()
                                                         : pulseWindow.startupTables();
    });
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
    // Dialogs open over the window the operator sees: the start-up window during the start-up
    // read, then the main window.
    op.setParentGetter([&]() -> QWidget* {
        if (select.isVisible())
            return &select;
        return pulseWindow.isVisible() ? static_cast<QWidget*>(&pulseWindow)
                                       : static_cast<QWidget*>(&pointWindow);
    });
    select.start();
    return app.exec();
}
