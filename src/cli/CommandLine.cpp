#include "cli/CommandLine.h"

#include "cli/CliKind.h"
#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "fileio/AtomicFile.h"
#include "link/IniLocation.h"
#include "link/LinkState.h"
#include "link/PortName.h"
#include "simulator/RoutedChannel.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace CommandLine {

namespace {

const QString Program = QStringLiteral("qrx5-cli");

#ifdef Q_OS_UNIX
int g_interruptPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_interrupts = 0;

void onInterrupt(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_interruptPipe[1], &c, 1);
    // After the second interrupt (which stops at once) a third ends the program outright.
    if (++g_interrupts >= 2)
        std::signal(SIGINT, SIG_DFL);
}

// The interrupt key reaches the session from the event loop: the first one within a write
// block lets the block finish, any other cancels as the progress dialog's Cancel does.
std::unique_ptr<QSocketNotifier> catchInterrupt(CliSession& session) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_interruptPipe) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [&session] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_interruptPipe[0], &c, 1);
        session.interrupt();
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
    "Exit status: 0 done (--verify: the controller equals the file); 1 the controller differs\n"
    "(--verify), or a check or an unanswered question refused the action; 2 a link or file\n"
    "error; 64 the command line is wrong (unknown option, missing file, no such port);\n"
    "130 interrupted.\n"
    "\n"
    "The port and the port map are the window program's, from QRX5.ini: the file beside the\n"
    "program when one is there, otherwise ~/.config/qrx5/QRX5.ini ($XDG_CONFIG_HOME/qrx5 when\n"
    "that is set). A real serial device needs permission to use it: on Debian, membership of\n"
    "the group dialout.";

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
                       "virtual controller. Default: the port of QRX5.ini."),
        QStringLiteral("COMn|DEVICE"));
    const QCommandLineOption receiveOpt(
        QStringLiteral("receive"),
        QStringLiteral("Read the controller's tables and write them to FILE as the window's Save "
                       "As writes them."),
        QStringLiteral("FILE"));
    const QCommandLineOption verifyOpt(
        QStringLiteral("verify"),
        QStringLiteral("Compare the controller with FILE; print every difference with the "
                       "table (file) value and the controller value."),
        QStringLiteral("FILE"));
    const QCommandLineOption transmitOpt(
        QStringLiteral("transmit"),
        QStringLiteral("Write FILE's tables (points or zones, then parameters) into the "
                       "controller after the checks the window applies. Needs --yes."),
        QStringLiteral("FILE"));
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
        QStringLiteral("Write every line sent and received, with time stamps, to FILE."),
        QStringLiteral("FILE"));
    parser.addOptions({portOpt, receiveOpt, verifyOpt, transmitOpt, yesOpt, softOpt, trafficOpt});

    Console console(Console::errorIsTerminal());
    if (!parser.parse(arguments)) {
        console.err(Program + QStringLiteral(": ") + parser.errorText());
        console.err(QStringLiteral("Try '%1 --help'.").arg(Program));
        return ExitStatus::Usage;
    }
    if (parser.isSet(helpOpt) || parser.isSet(QStringLiteral("help-all"))) {
        console.out(parser.helpText());
        return ExitStatus::Done;
    }
    if (parser.isSet(versionOpt)) {
        console.out(Program + QLatin1Char(' ') + QCoreApplication::applicationVersion());
        return ExitStatus::Done;
    }
    int chosen = 0;
    for (const QCommandLineOption* o : {&receiveOpt, &verifyOpt, &transmitOpt})
        chosen += parser.isSet(*o) ? 1 : 0;
    if (chosen != 1 || !parser.positionalArguments().isEmpty()) {
        console.err(Program +
                    QStringLiteral(": give one of --receive, --verify or --transmit with a file"));
        console.err(QStringLiteral("Try '%1 --help'.").arg(Program));
        return ExitStatus::Usage;
    }
    // Where the run's files go is settled before the controller is asked anything: the traffic
    // log and the backup replace only regular files.
    if (parser.isSet(trafficOpt)) {
        if (const QString why = AtomicFile::notReplaceable(parser.value(trafficOpt));
            !why.isEmpty()) {
            console.err(
                QStringLiteral("%1: --traffic %2: %3").arg(Program, parser.value(trafficOpt), why));
            return ExitStatus::Usage;
        }
    }

    // The same INI file as the window's: the port and its port map.
    const QString iniPath = IniLocation::forThisProgram();
    LinkState state;
    SimulatorHub simulators;
    RoutedChannel channel(iniPath, simulators);
    state.PortName = PortName::readFromIni(iniPath);
    if (parser.isSet(portOpt)) {
        const QString port = parser.value(portOpt);
        static const QRegularExpression comPort(QStringLiteral("^COM[1-8]$"),
                                                QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression anyComPort(QStringLiteral("^COM[0-9]+$"),
                                                   QRegularExpression::CaseInsensitiveOption);
        if (comPort.match(port).hasMatch()) {
            state.PortName = port.toUpper();
        } else if (anyComPort.match(port).hasMatch() && !QFileInfo::exists(port)) {
            // A port name the program does not offer is a mistake in the command line, not a
            // device path.
            console.err(QStringLiteral("%1: --port %2: the ports are COM1 to COM8 (or give a "
                                       "device path)")
                            .arg(Program, port));
            return ExitStatus::Usage;
        } else {
            // A device given by a path relative to the working folder (a link to the device).
            const QFileInfo file(port);
            state.PortName = QStringLiteral("COM1");
            channel.setFixedTarget(file.exists() ? file.absoluteFilePath() : port);
        }
    }

    Link link(state, channel);
    ConsoleOperator op(console);
    ConsoleProgress progress(console, [&link] { return link.operationTitle; });
    link.attachProgress(progress);
    CliHost host;
    CliSession session{
        console, link, op, progress, host, parser.isSet(yesOpt), parser.isSet(softOpt)};
#ifdef Q_OS_UNIX
    const auto interrupt = catchInterrupt(session);
#endif

    const auto finish = [&](int status) {
        if (parser.isSet(trafficOpt) &&
            !session.writeFile(parser.value(trafficOpt), state.traffic->text().toUtf8()))
            return status == ExitStatus::Done ? ExitStatus::Failed : status;
        return status;
    };

    const std::optional<QString> kindValue = StartupSequence::queryKind(link);
    if (!kindValue) {
        console.err(QStringLiteral("The communication error. Please check the connection."));
        console.err(QStringLiteral("  ") + link.lineFailure() +
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
    console.err(
        QStringLiteral("Controller type found: %1 on %2").arg(actions->name(), link.lineName()));

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
