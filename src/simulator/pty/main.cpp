// qrx5-sim: a virtual controller on a pseudo-terminal. Prints the device path to open as the
// serial port, and serves until SIGTERM or SIGINT.
#include "simulator/VirtualController.h"
#include "simulator/pty/PtyServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

bool installSignalHandlers() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &sa, nullptr) == 0 && ::sigaction(SIGINT, &sa, nullptr) == 0;
}

int fail(const QString& text) {
    QTextStream(stderr) << "qrx5-sim: " << text << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qrx5-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QRX5_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Virtual controller on a pseudo-terminal. Prints the device path.\n"
        "\n"
        "It answers as a point-input or a pulse-train controller would, so the program and\n"
        "qrx5-cli can be tried without a controller: map a port to the printed path (or to the\n"
        "--link path) in the section Ports of QRX5.ini, or give it to qrx5-cli --port. It serves\n"
        "until it is ended (SIGTERM or the interrupt key)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption kindOpt(QStringLiteral("kind"),
                                     QStringLiteral("Controller kind: point or pulse."),
                                     QStringLiteral("kind"), QStringLiteral("point"));
    const QCommandLineOption typeOpt(QStringLiteral("type"),
                                     QStringLiteral("Actuator type (30..33; 34 is unsupported)."),
                                     QStringLiteral("type"), QStringLiteral("30"));
    const QCommandLineOption linkOpt(QStringLiteral("link"),
                                     QStringLiteral("Place a symbolic link to the device here."),
                                     QStringLiteral("path"));
    const QCommandLineOption oldOpt(QStringLiteral("old-model"),
                                    QStringLiteral("Behave as the older model."));
    const QCommandLineOption paceOpt(QStringLiteral("pace"),
                                     QStringLiteral("Take the time of a 9600 bit/s line."));
    const QCommandLineOption silentOpt(QStringLiteral("silent"),
                                       QStringLiteral("Answer nothing at all."));
    const QCommandLineOption silentForOpt(QStringLiteral("silent-for"),
                                          QStringLiteral("Answer nothing to this command word."),
                                          QStringLiteral("word"));
    const QCommandLineOption ngForOpt(QStringLiteral("ng-for"),
                                      QStringLiteral("Refuse this command word with NG."),
                                      QStringLiteral("word"));
    const QCommandLineOption delayOpt(QStringLiteral("delay"),
                                      QStringLiteral("Extra delay before every reply."),
                                      QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption widthOpt(
        QStringLiteral("value-width"),
        QStringLiteral("Pad the value of a parameter query with blanks to this width."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption motionOpt(QStringLiteral("motion-ms"),
                                       QStringLiteral("Time a motion takes (return to origin, "
                                                      "point move, step, measurement)."),
                                       QStringLiteral("ms"), QStringLiteral("200"));
    const QCommandLineOption fillOpt(
        QStringLiteral("fill"),
        QStringLiteral("Start with every point and every zone set (a full table to read)."));
    const QCommandLineOption recordOpt(
        QStringLiteral("record"),
        QStringLiteral("Write every byte received from the PC to this file when ending."),
        QStringLiteral("file"));
    parser.addOptions({kindOpt, typeOpt, linkOpt, oldOpt, paceOpt, silentOpt, silentForOpt,
                       ngForOpt, delayOpt, widthOpt, motionOpt, fillOpt, recordOpt});
    parser.process(app);

    const QString kindText = parser.value(kindOpt).toLower();
    if (kindText != QLatin1String("point") && kindText != QLatin1String("pulse"))
        return fail(QStringLiteral("--kind must be point or pulse"));
    bool ok = false;
    const int type = parser.value(typeOpt).toInt(&ok);
    if (!ok || type < 0 || type > 99)
        return fail(QStringLiteral("--type must be a two-digit number"));
    const int delay = parser.value(delayOpt).toInt(&ok);
    if (!ok || delay < 0)
        return fail(QStringLiteral("--delay must be a number of milliseconds"));
    const int width = parser.value(widthOpt).toInt(&ok);
    if (!ok || width < 0 || width > 16)
        return fail(QStringLiteral("--value-width must be a number from 0 to 16"));

    const int motionMs = parser.value(motionOpt).toInt(&ok);
    if (!ok || motionMs < 0)
        return fail(QStringLiteral("--motion-ms must be a number of milliseconds"));

    VirtualController controller(kindText == QLatin1String("pulse")
                                     ? VirtualController::Kind::Pulse
                                     : VirtualController::Kind::Point);
    controller.setReceiveLogging(parser.isSet(recordOpt));
    controller.setActuatorType(type);
    controller.setOldModel(parser.isSet(oldOpt));
    controller.setPaced(parser.isSet(paceOpt));
    controller.setSilent(parser.isSet(silentOpt));
    controller.setReplyDelay(delay);
    controller.setValueWidth(width);
    controller.setMotionDuration(motionMs);
    if (parser.isSet(fillOpt))
        controller.memory().fillSample();
    for (const QString& word : parser.values(silentForOpt))
        controller.setSilentFor(word);
    for (const QString& word : parser.values(ngForOpt))
        controller.setNgFor(word);

    if (!installSignalHandlers())
        return fail(QStringLiteral("cannot install signal handlers"));
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });

    PtyServer server(controller);
    if (!server.start())
        return fail(server.errorString());
    if (parser.isSet(linkOpt) && !server.placeLink(parser.value(linkOpt)))
        return fail(server.errorString());

    std::fputs(qPrintable(server.slavePath() + QLatin1Char('\n')), stdout);
    std::fflush(stdout);

    const int rc = QCoreApplication::exec();
    server.removeLink();
    if (parser.isSet(recordOpt)) {
        QFile record(parser.value(recordOpt));
        if (!record.open(QIODevice::WriteOnly) || record.write(controller.received()) < 0)
            return fail(QStringLiteral("cannot write ") + record.fileName());
    }
    return rc;
}
