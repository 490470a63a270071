#include "cli/CommandLine.h"

#include "cli/CliHistory.h"
#include "cli/CliKind.h"
#include "cli/CliPorts.h"
#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "cli/FileDiff.h"
#include "cli/Fleet.h"
#include "fileio/AtomicFile.h"
#include "history/ControllerHistory.h"
#include "link/IniLocation.h"
#include "link/LinkState.h"
#include "link/PortName.h"
#include "simulator/RoutedChannel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <functional>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace CommandLine {

namespace {

const QString Program = QStringLiteral("qrx5-cli");
// How long the end of a run waits for the history's commit and push.
constexpr int HistoryWaitMs = 60000;

#ifdef Q_OS_UNIX
int g_interruptPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_interrupts = 0;

void onInterrupt(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_interruptPipe[1], &c, 1);
    // After the second interrupt (which stops at once) a third ends the program outright.
    g_interrupts = g_interrupts + 1;
    if (g_interrupts >= 2)
        std::signal(SIGINT, SIG_DFL);
}

// The interrupt key reaches the run from the event loop: a single controller's session lets
// a write block finish on the first one and cancels on any other, as the progress dialog's
// Cancel does; several controllers' runs each get every interrupt passed on.
std::unique_ptr<QSocketNotifier> catchInterrupt(std::function<void()> interrupt) {
#ifdef SOCK_CLOEXEC
    // Not handed down to the runs a run over several controllers starts.
    const int type = SOCK_STREAM | SOCK_CLOEXEC;
#else
    const int type = SOCK_STREAM;
#endif
    if (::socketpair(AF_UNIX, type, 0, g_interruptPipe) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                     [interrupt = std::move(interrupt)] {
                         char c = 0;
                         [[maybe_unused]] const auto n = ::read(g_interruptPipe[0], &c, 1);
                         interrupt();
                     });
    std::signal(SIGINT, onInterrupt);
    return notifier;
}
#endif

const char* const Description =
    "Backs up, verifies and restores the tables of a controller on a serial line, without a\n"
    "window or a display. The controller's kind is asked for first, as the program does at\n"
    "start-up; then the action runs the same operations as the window's menu items.\n"
    "\n"
    "Questions the window would ask are answered by --yes (and --move-soft-limits) or refused.\n"
    "Messages go to standard error, with progress when it is a terminal; --verify lists the\n"
    "differences on standard output, one per line. The interrupt key cancels; while a table\n"
    "is being written into the controller the first interrupt lets that table finish and a\n"
    "second one stops at once. The last message of a transmit that did not complete says\n"
    "what the controller holds.\n"
    "\n"
    "Several controllers at once: --port COM1,COM2,/dev/ttyUSB3 serves them all at the same\n"
    "time; --receive, --verify and --transmit then name a folder with one settings file per\n"
    "controller, named by its port (COM1.csv, ttyUSB3.csv), and --traffic a folder for one\n"
    "log per controller (COM1.log). Every line is prefixed with its port, and a table of\n"
    "port, kind, result and seconds ends the run.\n"
    "\n"
    "--diff FILE_A FILE_B compares two settings files without a controller: every difference\n"
    "on standard output, one per line (file A \"...\", file B \"...\").\n"
    "\n"
    "Every receive and transmit that finished is recorded in the controller history, a git\n"
    "repository in ~/.local/share/qrx5/history ($XDG_DATA_HOME/qrx5/history; [History] Folder\n"
    "in QRX5.ini), one settings file per port (COM1.csv), and pushed to its remote \"origin\"\n"
    "when it has one. --history [PORT] lists the versions; --diff takes a version PORT@ID or\n"
    "PORT@~1 (the one before the newest) in place of a file. [History] Keep=0 in QRX5.ini\n"
    "turns the history off, --no-history for one run.\n"
    "\n"
    "Exit status: 0 done (--verify, --diff: equal); 1 different (--verify, --diff), or a check\n"
    "or an unanswered question refused the action; 2 a link or file error (--diff: also two\n"
    "files of different kinds or actuator types); 64 the command line is wrong (unknown\n"
    "option, missing file, no such port); 130 interrupted. Over several controllers the\n"
    "worst of theirs: 130 before 2 before 1 before 0.\n"
    "\n"
    "The port and the port map are the window program's, from QRX5.ini: the file beside the\n"
    "program when one is there, otherwise ~/.config/qrx5/QRX5.ini ($XDG_CONFIG_HOME/qrx5 when\n"
    "that is set); one that cannot be read is said, and the defaults are used. A real serial\n"
    "device needs permission to use it: on Debian, membership of the group dialout. One\n"
    "device named twice in --port (a link to it, a COM port mapped to it) is refused.\n"
    "\n"
    "Files are written only over regular files and never through a symbolic link: an output\n"
    "named by a link (one found in an output folder) is refused and nothing is written there.";

int usage(Console& console, const QString& problem) {
    console.err(Program + QStringLiteral(": ") + problem);
    console.err(QStringLiteral("Try '%1 --help'.").arg(Program));
    return ExitStatus::Usage;
}

// Many controllers at once: one run of this program per port (Fleet).
int runFleet(Console& console, const QCommandLineParser& parser, Fleet::Request request) {
    request.program = QCoreApplication::applicationFilePath();
    request.yes = parser.isSet(QStringLiteral("yes"));
    request.moveSoftLimits = parser.isSet(QStringLiteral("move-soft-limits"));
    request.trafficFolder = parser.value(QStringLiteral("traffic"));
    request.noHistory = parser.isSet(QStringLiteral("no-history"));
    request.iniPath = IniLocation::forThisProgram();
    Fleet fleet(console, std::move(request));
#ifdef Q_OS_UNIX
    const auto interrupt = catchInterrupt([&fleet] { fleet.interrupt(); });
#endif
    return fleet.run();
}

} // namespace

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption helpOpt = parser.addHelpOption();
    const QCommandLineOption versionOpt = parser.addVersionOption();
    const QCommandLineOption portOpt(
        QStringLiteral("port"),
        QStringLiteral("COM1 to COM8 (led where the port map of QRX5.ini says), or a device "
                       "path such as /dev/ttyUSB0, or sim:point / sim:pulse for the built-in "
                       "virtual controller. Default: the port of QRX5.ini. Several ports "
                       "separated by commas serve their controllers at the same time; the "
                       "action then names a folder."),
        QStringLiteral("COMn|DEVICE[,...]"));
    const QCommandLineOption receiveOpt(
        QStringLiteral("receive"),
        QStringLiteral("Read the controller's tables and write them to FILE as the window's Save "
                       "As writes them. With several ports: into FOLDER (made when missing), "
                       "one file per controller named by its port."),
        QStringLiteral("FILE|FOLDER"));
    const QCommandLineOption verifyOpt(
        QStringLiteral("verify"),
        QStringLiteral("Compare the controller with FILE; print every difference with the "
                       "table (file) value and the controller value. With several ports: each "
                       "controller with its file in FOLDER."),
        QStringLiteral("FILE|FOLDER"));
    const QCommandLineOption transmitOpt(
        QStringLiteral("transmit"),
        QStringLiteral("Write FILE's tables (points or zones, then parameters) into the "
                       "controller after the checks the window applies. Needs --yes. With "
                       "several ports: each controller's file in FOLDER."),
        QStringLiteral("FILE|FOLDER"));
    const QCommandLineOption diffOpt(
        QStringLiteral("diff"),
        QStringLiteral("Compare the settings file FILE_A with FILE_B, given after it, without a "
                       "controller; print every difference with both values."),
        QStringLiteral("FILE_A"));
    const QCommandLineOption historyOpt(
        QStringLiteral("history"),
        QStringLiteral("List the versions the controller history holds of PORT's settings file "
                       "(of every port without PORT), newest first: date, operation, port, kind "
                       "and id."));
    const QCommandLineOption noHistoryOpt(
        QStringLiteral("no-history"),
        QStringLiteral("Record nothing in the controller history in this run."));
    const QCommandLineOption yesOpt(
        QStringLiteral("yes"),
        QStringLiteral("Answer Yes to the confirmations (transmit) and let --receive replace an "
                       "existing FILE."));
    const QCommandLineOption softOpt(
        QStringLiteral("move-soft-limits"),
        QStringLiteral("When a transmit changes the origin, move the soft limits along with it "
                       "as the window suggests. Without it the file's soft limits are written "
                       "as they stand."));
    const QCommandLineOption trafficOpt(
        QStringLiteral("traffic"),
        QStringLiteral("Write every line sent and received, with time stamps, to FILE. With "
                       "several ports: one log per controller in FOLDER (made when missing)."),
        QStringLiteral("FILE|FOLDER"));
    parser.addOptions({portOpt, receiveOpt, verifyOpt, transmitOpt, diffOpt, historyOpt,
                       noHistoryOpt, yesOpt, softOpt, trafficOpt});

    Console console(Console::errorIsTerminal());
    if (!parser.parse(arguments))
        return usage(console, parser.errorText());
    if (parser.isSet(helpOpt) || parser.isSet(QStringLiteral("help-all"))) {
        console.out(parser.helpText());
        return ExitStatus::Done;
    }
    if (parser.isSet(versionOpt)) {
        console.out(Program + QLatin1Char(' ') + QCoreApplication::applicationVersion());
        return ExitStatus::Done;
    }
    int chosen = 0;
    for (const QCommandLineOption* o :
         {&receiveOpt, &verifyOpt, &transmitOpt, &diffOpt, &historyOpt})
        chosen += parser.isSet(*o) ? 1 : 0;
    const bool diff = parser.isSet(diffOpt);
    // The controller history of this account, as the window program keeps it.
    const QString iniPath = IniLocation::forThisProgram();
    ControllerHistory::Settings historySettings = ControllerHistory::settingsFrom(iniPath);
    if (parser.isSet(noHistoryOpt))
        historySettings.keep = false;
    ControllerHistory history(historySettings);
    if (chosen == 1 && parser.isSet(historyOpt) && parser.positionalArguments().size() <= 1)
        return CliHistory::list(console, history, parser.positionalArguments().value(0));
    if (chosen != 1 || parser.positionalArguments().size() != (diff ? 1 : 0))
        return usage(console, diff ? QStringLiteral("--diff takes two files: --diff FILE_A FILE_B")
                                   : QStringLiteral("give one of --receive, --verify or "
                                                    "--transmit with a file, --diff with "
                                                    "two files, or --history [PORT]"));
    if (diff) {
        // Two files on the disk: no controller, no line.
        if (parser.isSet(portOpt) || parser.isSet(trafficOpt))
            return usage(console, QStringLiteral("--diff compares two files without a "
                                                 "controller: it takes no --port or --traffic"));
        return FileDiff::run(console, parser.value(diffOpt), parser.positionalArguments().first(),
                             &history);
    }
    const QStringList ports =
        parser.isSet(portOpt) ? CliPorts::split(parser.value(portOpt)) : QStringList();
    if (ports.size() > 1) {
        Fleet::Request request;
        request.ports = ports;
        request.action = parser.isSet(receiveOpt)  ? Fleet::Action::Receive
                         : parser.isSet(verifyOpt) ? Fleet::Action::Verify
                                                   : Fleet::Action::Transmit;
        request.folder = parser.value(parser.isSet(receiveOpt)  ? receiveOpt
                                      : parser.isSet(verifyOpt) ? verifyOpt
                                                                : transmitOpt);
        return runFleet(console, parser, std::move(request));
    }
    // Where the run's files go is settled before the controller is asked anything: the traffic
    // log and the backup replace only regular files, and never through a symbolic link.
    if (parser.isSet(trafficOpt)) {
        const QString traffic = parser.value(trafficOpt);
        if (const QString why = AtomicFile::notReplaceable(traffic, AtomicFile::Links::Refuse);
            !why.isEmpty()) {
            console.err(QStringLiteral("%1: --traffic %2: %3").arg(Program, traffic, why));
            // A link found where the log goes (planted in a folder of logs) is a file problem,
            // not a mistake in the command line.
            return QFileInfo(traffic).isSymLink() ? ExitStatus::Failed : ExitStatus::Usage;
        }
    }

    // The same INI file as the window's: the port and its port map.
    LinkState state;
    SimulatorHub simulators;
    RoutedChannel channel(iniPath, simulators);
    state.PortName = PortName::readFromIni(iniPath);
    bool portMapUsed = true;
    QString historyPort;    // the port's name in the history: COM1, or a device's (ttyUSB0)
    QString historyLeadsTo; // where the port leads
    if (parser.isSet(portOpt)) {
        const CliPorts::Port port = CliPorts::resolve(parser.value(portOpt));
        if (!port.problem.isEmpty()) {
            console.err(Program + QStringLiteral(": ") + port.problem);
            return ExitStatus::Usage;
        }
        if (!port.comName.isEmpty()) {
            state.PortName = port.comName;
        } else {
            state.PortName = QStringLiteral("COM1");
            channel.setFixedTarget(port.device);
            portMapUsed = false;
            // A device given by its path keeps its history under its own name (ttyUSB0.csv).
            historyPort = CliPorts::fileStem(port);
            historyLeadsTo = port.device;
        }
    }
    // An INI file that cannot be read gives the defaults: said, so that a "no answer" later
    // is not taken for a controller fault.
    if (portMapUsed)
        if (const QString problem = PortName::readProblem(iniPath, state.PortName);
            !problem.isEmpty())
            console.err(Program + QStringLiteral(": ") + problem);

    Link link(state, channel);
    ConsoleOperator op(console);
    ConsoleProgress progress(console);
    link.attachProgress(progress);
    CliHost host;
    CliSession session{
        console, link, op, progress, host, parser.isSet(yesOpt), parser.isSet(softOpt)};
    session.history = &history;
    session.historyPort = historyPort.isEmpty() ? state.PortName : historyPort;
    session.historyLeadsTo =
        historyLeadsTo.isEmpty() ? PortName::target(iniPath, state.PortName) : historyLeadsTo;
#ifdef Q_OS_UNIX
    const auto interrupt = catchInterrupt([&session] { session.interrupt(); });
#endif

    const auto finish = [&](int status) {
        // The run's records reach the disk (and origin) before the program ends.
        CliHistory::finish(console, history, HistoryWaitMs);
        if (parser.isSet(trafficOpt) &&
            !session.writeFile(parser.value(trafficOpt), state.traffic->text().toUtf8()))
            return status == ExitStatus::Done ? ExitStatus::Failed : status;
        return status;
    };

    const StartupSequence::KindQuery query = StartupSequence::queryKind(link);
    const std::optional<QString>& kindValue = query.value;
    if (!kindValue) {
        console.err(QStringLiteral("The communication error. Please check the connection."));
        console.err(QStringLiteral("  ") + query.failure +
                    QStringLiteral(" (asking the controller for its kind)"));
        return finish(progress.interrupted() ? ExitStatus::Interrupted : ExitStatus::Failed);
    }
    const std::optional<StartupSequence::Kind> kind = StartupSequence::kindOf(*kindValue);
    if (!kind) {
        console.err(QStringLiteral("Controller type cannot be obtained"));
        console.err(QStringLiteral("  %1: the controller names its kind \"%2\", which is neither "
                                   "0 (point input type) nor 1 (pulse train input type)")
                        .arg(link.lineName(), *kindValue));
        return finish(ExitStatus::Failed);
    }
    const std::unique_ptr<CliKind> actions = CliKinds::make(*kind, session);
    if (!actions) {
        console.err(QStringLiteral("%1: this controller's tables cannot be received, verified or "
                                   "transmitted from the command line.")
                        .arg(link.lineName()));
        return finish(ExitStatus::Failed);
    }
    console.err(CliKinds::foundMessage(actions->name(), link.lineName()));

    int status = ExitStatus::Failed;
    if (parser.isSet(receiveOpt))
        status = actions->receive(session, parser.value(receiveOpt));
    else if (parser.isSet(verifyOpt))
        status = actions->verify(session, parser.value(verifyOpt));
    else
        status = actions->transmit(session, parser.value(transmitOpt));
    return finish(status);
}

} // namespace CommandLine
