// qrx5-sim on a pseudo-terminal, opened the way the program opens a real port.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Starts qrx5-sim with the given options and returns the device path it prints.
QString startSim(QProcess& sim, const QStringList& args) {
    const QString bin = qEnvironmentVariable("QRX5_SIM_BIN");
    if (bin.isEmpty())
        return {};
    sim.setProgram(bin);
    sim.setArguments(args);
    sim.start();
    if (!sim.waitForStarted(5000))
        return {};
    QElapsedTimer clock;
    clock.start();
    while (!sim.canReadLine() && clock.elapsed() < 5000)
        sim.waitForReadyRead(100);
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

void stopSim(QProcess& sim) {
    if (sim.state() == QProcess::NotRunning)
        return;
    sim.terminate(); // SIGTERM: the server removes its link and ends cleanly
    if (!sim.waitForFinished(5000)) {
        sim.kill();
        sim.waitForFinished(2000);
    }
}

// The line settings are given before opening: a pseudo-terminal cannot hold the parity flag
// (the kernel clears it), and QSerialPort refuses a parity change on an open pseudo-terminal,
// while it accepts the same settings applied by open().
bool openPort(QSerialPort& port, const QString& path) {
    port.setPortName(path);
    port.setBaudRate(QSerialPort::Baud9600);
    port.setParity(QSerialPort::OddParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return port.open(QIODevice::ReadWrite);
}

// One exchange: open, clear, write, read until "OK" CR LF or "NG" + detail, close.
QByteArray exchange(const QString& path, const QByteArray& line, int timeoutMs = 3000) {
    QSerialPort port;
    if (!openPort(port, path))
        return "open failed: " + port.errorString().toLocal8Bit();
    port.clear();
    port.write(line);
    port.flush();
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs && !got.endsWith("OK\r\n") &&
           !(got.startsWith("NG\r\n") && got.count('\n') >= 2)) {
        port.waitForReadyRead(50);
        got += port.readAll();
    }
    port.close();
    return got;
}

} // namespace

class TstSimPty final : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void answersAcrossReopen();
    void clientKilledMidBlockLeavesTheDeviceUsable();
    void kindAndOptions_data();
    void kindAndOptions();
    void linkIsPlacedAndRemoved();
    void refusesToReplaceAFile();
};

void TstSimPty::init() {
    if (qEnvironmentVariable("QRX5_SIM_BIN").isEmpty())
        QSKIP("QRX5_SIM_BIN is not set (run through CTest)");
}

void TstSimPty::answersAcrossReopen() {
    QProcess sim;
    const QString path = startSim(sim, {});
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    QCOMPARE(exchange(path, "@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));
    // The PC closes the port after every exchange; the device must survive that.
    QCOMPARE(exchange(path, "@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));

    // A write block spread over several openings of the port, as the program sends it.
    QCOMPARE(exchange(path, "@WRITE PNT ,\r\n"), QByteArray("READY\r\n"));
    QCOMPARE(exchange(path, "P7=U,12.50,20,5\r\n", 150), QByteArray());
    QCOMPARE(exchange(path, QByteArray(1, '\x1a')), QByteArray("OK\r\n"));
    QCOMPARE(exchange(path, "@READ PNT ,\r\n"), QByteArray("P7=U,12.50,20,5\r\nOK\r\n"));

    stopSim(sim);
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

// A PC killed in the middle of a write block restores nothing it changed on the line; the
// next PC must still open the device and be answered.
void TstSimPty::clientKilledMidBlockLeavesTheDeviceUsable() {
    QProcess sim;
    const QString path = startSim(sim, {});
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    const QByteArray device = QFile::encodeName(path);
    const pid_t child = ::fork();
    if (child == 0) {
        // As the serial port class opens a line: exclusive use, its own settings (parity
        // errors ignored, odd parity asked for); then a block starts and the PC dies.
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 && ::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            tio.c_iflag |= IGNPAR;
            tio.c_cflag |= CLOCAL | CREAD | PARENB | PARODD;
            ::tcsetattr(fd, TCSANOW, &tio);
            const char block[] = "@WRITE PNT ,\r\nP7=U,12.50,20,5\r\n";
            [[maybe_unused]] const auto n = ::write(fd, block, sizeof block - 1);
        }
        ::raise(SIGKILL);
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));

    // The server notices the closing on its own event loop: tried until then.
    QTRY_COMPARE_WITH_TIMEOUT(exchange(path, "@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"), 5000);
    QCOMPARE(exchange(path, "@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));
    stopSim(sim);
}

void TstSimPty::kindAndOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("pulse kind") << QStringList{"--kind", "pulse"} << QByteArray("@?PRM 13,\r\n")
                                << QByteArray("1\r\nOK\r\n");
    // The pulse-train start sequence writes some commands without comma and line end: the
    // quiet after them ends them, also through the terminal layer.
    QTest::newRow("raw line") << QStringList{"--kind", "pulse"} << QByteArray("@?SRVO")
                              << QByteArray("0\r\nOK\r\n");
    QTest::newRow("raw line, paced") << QStringList{"--kind", "pulse", "--pace"}
                                     << QByteArray("@SRVO 1") << QByteArray("OK\r\n");
    QTest::newRow("type 34") << QStringList{"--type", "34"} << QByteArray("@?PRM 0,\r\n")
                             << QByteArray("34\r\nOK\r\n");
    QTest::newRow("old model") << QStringList{"--old-model"} << QByteArray("@READ DIO ,\r\n")
                               << QByteArray("DO00100\r\nDI000000000\r\nOK\r\n");
    QTest::newRow("ng for") << QStringList{"--ng-for", "@?VER "} << QByteArray("@?VER ,\r\n")
                            << QByteArray("NG\r\n37:RANGE OVER\r\n");
    QTest::newRow("silent") << QStringList{"--silent"} << QByteArray("@?VER ,\r\n") << QByteArray();
    QTest::newRow("silent for") << QStringList{"--silent-for", "@?VER"} << QByteArray("@?VER ,\r\n")
                                << QByteArray();
    QTest::newRow("paced") << QStringList{"--pace", "--delay", "10"} << QByteArray("@?PRM 13,\r\n")
                           << QByteArray("0\r\nOK\r\n");
}

void TstSimPty::kindAndOptions() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QProcess sim;
    const QString path = startSim(sim, args);
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    QCOMPARE(exchange(path, command, reply.isEmpty() ? 300 : 3000), reply);
    stopSim(sim);
}

void TstSimPty::linkIsPlacedAndRemoved() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyQRX"));
    // An old link (from a server that was killed) is replaced.
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/old"), link));

    QProcess sim;
    const QString path = startSim(sim, {"--link", link});
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);
    QCOMPARE(exchange(link, "@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));

    stopSim(sim);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TstSimPty::refusesToReplaceAFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();

    QProcess sim;
    sim.start(qEnvironmentVariable("QRX5_SIM_BIN"), {"--link", file});
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY(sim.exitCode() != 0);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(TstSimPty)
#include "tst_simpty.moc"
