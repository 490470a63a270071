// qrx5-cli end to end: the real binary, without a display, against qrx5-sim on a
// pseudo-terminal.
#include "CliProcess.h"
#include "FileBytes.h"

#include <QRegularExpression>
#include <QTest>

using namespace cliprocess;

namespace {

QByteArray readAll(const QString& path) {
    return fileBytes(path);
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    return writeFileBytes(path, bytes);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void restoreBackupAndVerify();
    void pulseTrainRestoreBackupAndVerify();
    void silentControllerFailsWithinTimeout();
    void refusedTransmitWritesNothing();
    void refusedBeforeTheControllerIsAsked_data();
    void refusedBeforeTheControllerIsAsked();
    void portHeldByAnotherRunIsSaidSo();
    void historyRecordsListsAndDiffs();
};

void TestCli::initTestCase() {
    if (qEnvironmentVariable("QRX5_CLI_BIN").isEmpty() ||
        qEnvironmentVariable("QRX5_SIM_BIN").isEmpty())
        QSKIP("QRX5_CLI_BIN and QRX5_SIM_BIN are not set");
}

// A file written into the controller, read back byte for byte as Save As writes it, verified
// equal; one changed point is then the one difference reported.
void TestCli::restoreBackupAndVerify() {
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--type", "31"}));
    const QString original = dir.filePath("line3.csv");
    const QString backup = dir.filePath("backup.csv");
    QVERIFY(writeAll(original, settingsFile()));

    Run r = cli({"--port", sim.device, "--transmit", original, "--yes"});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(r.err.contains("Transmit Parameter: Transmitting has finished."));

    r = cli({"--port", sim.device, "--receive", backup});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(readAll(backup), settingsFile());
    // An existing file is replaced only when asked.
    r = cli({"--port", sim.device, "--receive", backup});
    QCOMPARE(r.status, 1);

    r = cli({"--port", sim.device, "--verify", backup});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(r.out, QString());

    QVERIFY(writeAll(backup, settingsFile("7.50")));
    r = cli({"--port", sim.device, "--verify", backup});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QString("Point 5, Position: table \"7.50\", controller \"5.00\"\n"));
    QVERIFY(r.err.contains("Compare: Point_No5 NG"));
}

// The same for a pulse-train controller: zones, then parameters, each way.
void TestCli::pulseTrainRestoreBackupAndVerify() {
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "pulse", "--type", "32"}));
    const QString original = dir.filePath("line4.csv");
    const QString backup = dir.filePath("backup.csv");
    QVERIFY(writeAll(original, pulseFile()));

    Run r = cli({"--port", sim.device, "--transmit", original, "--yes"});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(r.err.contains("Controller type found: pulse train input type"));
    QVERIFY(r.err.contains("Transmit Zone: Transmitting has finished."));
    QVERIFY(r.err.contains("Transmit Parameter: Transmitting has finished."));

    r = cli({"--port", sim.device, "--receive", backup});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(readAll(backup), pulseFile());

    r = cli({"--port", sim.device, "--verify", backup});
    QVERIFY2(r.status == 0, qPrintable(r.err));

    QVERIFY(writeAll(backup, pulseFile("-35.00")));
    r = cli({"--port", sim.device, "--verify", backup});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QString("Zone 2, Position B: table \"-35.00\", controller \"-30.00\"\n"));
    QVERIFY(r.err.contains("Compare: Zone_No2 NG"));

    // A zone the rule refuses stops the transmit before the controller is changed.
    QVERIFY(writeAll(backup, pulseFile("-20.00").replace("-25.00,-20.00", "-25.00,-5.00")));
    r = cli({"--port", sim.device, "--transmit", backup, "--yes"});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("Data un-transmitting: Please confirm position data entry value of "
                            "point No.2."),
             qPrintable(r.err));
    // After the verify's reads only the kind query reached the controller.
    QVERIFY(sim.stop().endsWith("@READ PRM ,\r\n@?PRM 13,\r\n"));
}

void TestCli::silentControllerFailsWithinTimeout() {
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--silent"}));
    const QString file = dir.filePath("line3.csv");
    QVERIFY(writeAll(file, settingsFile()));
    const QString traffic = dir.filePath("traffic.txt");

    const Run r = cli({"--port", sim.device, "--verify", file, "--traffic", traffic});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(sim.device + ": no answer within 2 s"), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    const QStringList log = QString::fromUtf8(readAll(traffic)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(log.size(), 2);
    QVERIFY(log[0].endsWith(" TX @?PRM 13,<CR><LF>"));
    QVERIFY(log[1].endsWith(": no reply end within 2000 ms"));
}

// What the window refuses is refused with its message, and nothing but the queries reaches
// the controller: without --yes, and with a point beyond the stroke.
void TestCli::refusedTransmitWritesNothing() {
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--type", "30"}));
    const QString file = dir.filePath("line3.csv");
    QVERIFY(writeAll(file, settingsFile("20.01"))); // stroke of type 30: 20 mm

    Run r = cli({"--port", sim.device, "--transmit", file});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains("Transmit Point: Do you transmit point data? No"));
    QVERIFY(r.err.contains("add --yes"));

    r = cli({"--port", sim.device, "--transmit", file, "--yes"});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("Data abnormality: Values more than stroke are input. Please confirm "
                            "position data entry value of point No.5."),
             qPrintable(r.err));

    QCOMPARE(sim.stop(), QByteArray("@?PRM 13,\r\n"
                                    "@?PRM 13,\r\n@?PRM 21,\r\n"));
}

// Mistakes of the command line and files the program must not touch are told before the
// controller is asked anything: usage errors with their own status, a file Open would refuse
// with its reason, an output that is not a regular file.
void TestCli::refusedBeforeTheControllerIsAsked_data() {
    // "FILE" stands for a settings file, "DIR" its folder, "LINK" a link in it to a file
    // elsewhere, which must keep its bytes
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("file"); // the settings file's bytes
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray good = settingsFile();
    QTest::newRow("unknown option")
        << QStringList{"--transmitt", "FILE"} << good << 64 << "Unknown option 'transmitt'";
    QTest::newRow("no action") << QStringList{} << good << 64
                               << "give one of --receive, --verify or --transmit";
    QTest::newRow("port the program does not offer")
        << QStringList{"--port", "COM9", "--verify", "FILE"} << good << 64
        << "--port COM9: the ports are COM1 to COM8";
    QTest::newRow("traffic log over a device")
        << QStringList{"--verify", "FILE", "--traffic", "/dev/null"} << good << 64
        << "--traffic /dev/null: it is a device, not a file";
    QTest::newRow("traffic log through a link")
        << QStringList{"--verify", "FILE", "--traffic", "LINK"} << good << 2
        << "--traffic DIR/planted.log: it is a symbolic link to DIR/victim.conf";
    QTest::newRow("backup over a device") << QStringList{"--receive", "/dev/null", "--yes"} << good
                                          << 2 << "it is a device, not a file";
    QTest::newRow("backup over a folder")
        << QStringList{"--receive", "DIR", "--yes"} << good << 2 << "it is a folder";
    // What the window's transmits refuse table by table is refused for the whole file at once.
    QTest::newRow("pushing level 999")
        << QStringList{"--transmit", "FILE", "--yes"}
        << QByteArray(good).replace("P5=,U,5.00,30,4,", "P5=,U,5.00,30,999,") << 1
        << "Point 5, Pushing level: \"999\" is not within 1 to 10";
    QTest::newRow("parameter not whole")
        << QStringList{"--transmit", "FILE", "--yes"}
        << QByteArray(good).replace("PRM4=,80,", "PRM4=,5.5,") << 1
        << "Parameter 4, Acceleration: \"5.5\" is not a whole number";
    QTest::newRow("file beyond the cap")
        << QStringList{"--verify", "FILE"} << good + QByteArray(2 * 1024 * 1024, ',') << 2
        << "larger than 1024 KiB";
}

void TestCli::refusedBeforeTheControllerIsAsked() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, file);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--type", "31"}));
    const QString path = dir.filePath("line3.csv");
    QVERIFY(writeAll(path, file));
    const QString victim = dir.filePath("victim.conf");
    QVERIFY(writeAll(victim, "precious\n"));
    QVERIFY(QFile::link(victim, dir.filePath("planted.log")));
    message.replace("DIR", dir.path());
    for (QString& a : args)
        a = a == "FILE"   ? path
            : a == "DIR"  ? dir.path()
            : a == "LINK" ? dir.filePath("planted.log")
                          : a;
    if (!args.contains("--port"))
        args << "--port" << sim.device;

    const Run r = cli(args);

    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    // Nothing but the kind query, if anything, reached the controller.
    QVERIFY(QByteArray("@?PRM 13,\r\n").startsWith(sim.stop()));
    QCOMPARE(readAll(victim), QByteArray("precious\n"));
}

// Two runs on one line: while one holds it for its write block the other is refused at its
// first exchange, and neither writes between the other's lines.
void TestCli::portHeldByAnotherRunIsSaidSo() {
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--type", "31", "--pace"}));
    const QString file = dir.filePath("full.csv");
    PointTableData points{};
    for (int n = 0; n < PointCount; ++n)
        points[n] = {"A", "1.00", "10", "", ""};
    QVERIFY(writeAll(file, SettingsFile::write(points, PointParameters::initialTable("31"))));

    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    first.setProcessEnvironment(env);
    first.start(qEnvironmentVariable("QRX5_CLI_BIN"),
                {"--port", sim.device, "--transmit", file, "--yes"});
    QVERIFY(first.waitForStarted(5000));
    // Its point block runs from well under a second on for more than six seconds (64 lines
    // of 100 ms each).
    QTest::qWait(1500);
    const Run second = cli({"--port", sim.device, "--verify", file});
    QVERIFY(first.waitForFinished(30000));
    QCOMPARE(first.exitCode(), 0);

    QCOMPARE(second.status, 2);
    QVERIFY2(second.err.contains(" is in use by another program"), qPrintable(second.err));
    const QByteArray received = sim.stop();
    const qsizetype block = received.indexOf("@WRITE PNT ,");
    QVERIFY(block > 0);
    QVERIFY(received.indexOf("\x1a", block) > received.indexOf("P63=", block));
    QVERIFY(!received.mid(block, received.indexOf("\x1a", block) - block).contains("@?PRM"));
}

// Each finished action is one version of the device's file in the history; --history lists
// them, --diff reads one by PORT@~N, --no-history records nothing.
void TestCli::historyRecordsListsAndDiffs() {
    QTemporaryDir dir;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point", "--type", "31"}, "line5"));
    const QString original = dir.filePath("line5.csv");
    QVERIFY(writeAll(original, settingsFile()));
    QVERIFY(writeAll(dir.filePath("changed.csv"), settingsFile("7.50")));

    Run r = cli({"--port", sim.device, "--transmit", original, "--yes"});
    QVERIFY2(r.err.contains("Recorded in the history: line5 Transmit(Points), "
                            "Transmit(Parameters)"),
             qPrintable(r.err));
    r = cli({"--port", sim.device, "--receive", dir.filePath("backup.csv")});
    QCOMPARE(r.status, 0);
    r = cli({"--no-history", "--port", sim.device, "--receive", dir.filePath("again.csv")});
    QVERIFY(!r.err.contains("history"));

    r = cli({"--history", "line5"});
    QCOMPARE(r.status, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(QRegularExpression("^\\S+ \\S+  Receive\\(Points\\), Receive\\(Parameters\\) +line5  "
                                "point input type  [0-9a-f]{7}$")
                 .match(lines.first())
                 .hasMatch(),
             qPrintable(lines.first()));
    r = cli({"--diff", "line5@~1", original});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    r = cli({"--diff", "line5@~0", dir.filePath("changed.csv")});
    QCOMPARE(r.out, QString("Point 5, Position: file A \"5.00\", file B \"7.50\"\n"));
    qputenv("XDG_DATA_HOME", dataHome);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
