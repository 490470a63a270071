#include "link/IniLocation.h"
#include "link/LinkState.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"
#include "window/ui/DialogOperator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTextStream>

#include <optional>

namespace {

// What --help prints; the manual page qrx5(1) is made from it.
const char* const Description =
    "QRX5 Support Software: the window program with which an operator, connected to one slider\n"
    "controller over an RS-232 line, reads, edits, compares, initialises, saves, prints and\n"
    "writes back the controller's settings and moves the actuator by hand. At start it asks the\n"
    "controller for its kind and opens the point-input or the pulse-train window with the\n"
    "controller's tables read into it.\n"
    "\n"
    "The serial port (Tool > Com_Setup, COM1 to COM8) and where each port leads (section Ports;\n"
    "Devices... of Com_Setup maps a port to a listed device or to any path typed in) are kept\n"
    "in QRX5.ini when Com_Setup is confirmed and when the program closes: the file beside the\n"
    "program when one is there, otherwise ~/.config/qrx5/QRX5.ini ($XDG_CONFIG_HOME/qrx5 when\n"
    "that is set). qrx5-cli uses the same file. One that cannot be read is said at start, and\n"
    "the defaults are used.\n"
    "\n"
    "A real serial device needs permission to use it: on Debian, membership of the group\n"
    "dialout (sudo adduser $USER dialout, then log in again).\n"
    "\n"
    "Qt's own options, such as -platform offscreen, are taken as by any Qt program.";

// --help and --version answer on standard output before any window or display is needed;
// without them the program starts exactly as it always has.
std::optional<int> answerHelpOrVersion(int argc, char** argv) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        help = help || arg == "--help" || arg == "-h";
        version = version || arg == "--version" || arg == "-v";
    }
    if (!help && !version)
        return std::nullopt;
    int coreArgc = argc;
    const QCoreApplication core(coreArgc, argv);
    QTextStream out(stdout);
    if (help) {
        QCommandLineParser parser;
        parser.setApplicationDescription(QString::fromLatin1(Description));
        parser.addOptions({QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                              QStringLiteral("Displays this help and ends.")),
                           QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                              QStringLiteral("Displays the version and ends."))});
        out << parser.helpText();
    } else {
        out << "qrx5 " << QRX5_VERSION << Qt::endl;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = answerHelpOrVersion(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QRX5 Support-Software"));
    QApplication::setApplicationVersion(QStringLiteral(QRX5_VERSION));
    // Installed, the desktop entry qrx5.desktop and the icon qrx5 of the icon theme belong to
    // these windows; from a build folder the theme has no such icon and nothing changes.
    QApplication::setDesktopFileName(QStringLiteral("qrx5"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("qrx5")));

    // The port and the port map: QRX5.ini beside the program when it is there, else in the
    // user's configuration folder.
    const QString iniPath = IniLocation::forThisProgram();

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
            // A QRX5.ini that could not be read, and why the controller gave no kind (a port
            // that cannot be opened, no answer), stay said in the main window from the start.
            if (const QString problems = sequence.problems(); !problems.isEmpty())
                static_cast<MainWindowBase*>(w)->setPanelText(1, problems);
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
