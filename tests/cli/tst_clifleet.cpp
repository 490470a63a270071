// qrx5-cli over several controllers at once (--port with a list): the real binary against
// qrx5-sim controllers on pseudo-terminals, reached through links named like line PCs' ports.
#include "CliProcess.h"
#include "FileBytes.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace cliprocess;

namespace {

// The result a run's summary table gives a port ("received", "failed"), or "(none)".
QString resultOf(const QString& err, const QString& port) {
    const QRegularExpression row("^" + QRegularExpression::escape(port) +
                                     R"(\s+(.+?)\s+(\S+)\s+\d+\.\d\d$)",
                                 QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = row.match(err);
    return m.hasMatch() ? m.captured(1) + " | " + m.captured(2) : "(none)";
}

// 64 points of a type-31 controller: a point block of more than six seconds on a paced line.
QByteArray fullTable() {
    PointTableData points{};
    for (int n = 0; n < PointCount; ++n)
        points[n] = {"A", "1.00", "10", "", ""};
    return SettingsFile::write(points, PointParameters::initialTable("31"));
}

} // namespace

class TestCliFleet final : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void folderReceiveFromTwoControllers();
    void worstStatusEndsTheRun_data();
    void worstStatusEndsTheRun();
    void linkPlantedInTheFolderIsRefused();
    void oneDeviceNamedTwiceIsRefused_data();
    void oneDeviceNamedTwiceIsRefused();
};

void TestCliFleet::initTestCase() {
    if (qEnvironmentVariable("QRX5_CLI_BIN").isEmpty() ||
        qEnvironmentVariable("QRX5_SIM_BIN").isEmpty())
        QSKIP("QRX5_CLI_BIN and QRX5_SIM_BIN are not set");
}

// Two controllers of both kinds received into one folder at once: each file named by its port
// and byte for byte what a run on that port alone writes; a later --verify of the folder
// finds each controller's file. Every message line carries its port.
void TestCliFleet::folderReceiveFromTwoControllers() {
    QTemporaryDir dir;
    Sim point;
    Sim pulse;
    QVERIFY(point.start(dir, {"--kind", "point", "--type", "33", "--fill"}, "line1"));
    QVERIFY(pulse.start(dir, {"--kind", "pulse", "--type", "32", "--fill"}, "line2"));
    const QString folder = dir.filePath("backups");
    const QString ports = point.device + "," + pulse.device;

    Run r = cli({"--port", ports, "--receive", folder});

    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(resultOf(r.err, point.device), QString("point input type | received"));
    QCOMPARE(resultOf(r.err, pulse.device), QString("pulse train input type | received"));
    const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(0, lines.size() - 3))
        QVERIFY2(line.startsWith(point.device + ": ") || line.startsWith(pulse.device + ": "),
                 qPrintable(line));
    for (const Sim* sim : {&point, &pulse}) {
        const QString alone = dir.filePath("alone.csv");
        QFile::remove(alone);
        const Run single = cli({"--port", sim->device, "--receive", alone});
        QVERIFY2(single.status == 0, qPrintable(single.err));
        QCOMPARE(fileBytes(QDir(folder).filePath(QFileInfo(sim->device).fileName() + ".csv")),
                 fileBytes(alone));
    }

    r = cli({"--port", ports, "--verify", folder});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(resultOf(r.err, pulse.device), QString("pulse train input type | equal"));
}

// The run's exit status is the worst of the controllers': interrupted over a link or file
// error over different over done; the summary gives each controller's own result.
void TestCliFleet::worstStatusEndsTheRun_data() {
    QTest::addColumn<QStringList>("sim1"); // each controller's options beyond its kind
    QTest::addColumn<QStringList>("sim2");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("differs");    // the second controller's file differs from it
    QTest::addColumn<int>("interruptMs"); // 0: no interrupt
    QTest::addColumn<QString>("result1");
    QTest::addColumn<QString>("result2");
    QTest::addColumn<int>("status");

    QTest::newRow("equal and different")
        << QStringList{} << QStringList{} << "--verify" << true << 0 << "equal"
        << "different" << 1;
    QTest::newRow("equal and silent")
        << QStringList{} << QStringList{"--silent"} << "--verify" << false << 0 << "equal"
        << "failed" << 2;
    // The silent one has failed when the key is pressed; the other is in its point block,
    // which it finishes before it stops.
    QTest::newRow("interrupted and silent") << QStringList{"--pace"} << QStringList{"--silent"}
                                            << "--transmit" << false << 3000 << "interrupted"
                                            << "failed" << 130;
}

void TestCliFleet::worstStatusEndsTheRun() {
    QFETCH(QStringList, sim1);
    QFETCH(QStringList, sim2);
    QFETCH(QString, action);
    QFETCH(bool, differs);
    QFETCH(int, interruptMs);
    QFETCH(QString, result1);
    QFETCH(QString, result2);
    QFETCH(int, status);
    QTemporaryDir dir;
    Sim first;
    Sim second;
    const QStringList point{"--kind", "point", "--type", "31"};
    QVERIFY(first.start(dir, point + sim1, "line1"));
    QVERIFY(second.start(dir, point + sim2, "line2"));
    const QString folder = dir.filePath("tables");
    QVERIFY(QDir().mkpath(folder));
    for (const Sim* sim : {&first, &second}) {
        const QString file = QDir(folder).filePath(QFileInfo(sim->device).fileName() + ".csv");
        QVERIFY(writeFileBytes(file, action == "--transmit" ? fullTable() : settingsFile()));
        // A controller to verify holds the file first.
        if (action == "--verify" && !(sim == &second && sim2.contains("--silent")))
            QCOMPARE(cli({"--port", sim->device, "--transmit", file, "--yes"}).status, 0);
    }
    if (differs)
        QVERIFY(writeFileBytes(QDir(folder).filePath("line2.csv"), settingsFile("7.50")));

    const Run r =
        cli({"--port", first.device + "," + second.device, action, folder, "--yes"}, interruptMs);

    QCOMPARE(r.status, status);
    QCOMPARE(resultOf(r.err, first.device), "point input type | " + result1);
    QCOMPARE(resultOf(r.err, second.device).section(" | ", 1), result2);
    // One press is one interrupt for each controller: the block is finished.
    if (interruptMs > 0)
        QVERIFY2(r.err.contains(first.device + ": The points were written; the parameters were "
                                               "not."),
                 qPrintable(r.err));
    if (differs)
        QCOMPARE(r.out, second.device + ": Point 5, Position: table \"7.50\", controller "
                                        "\"5.00\"\n");
}

// Folder mode names the files after the ports, so a link planted there under a port's file
// name would lead that controller's backup anywhere: it is refused for that controller, with
// its path, nothing is written through it, and the other controller's file is written.
void TestCliFleet::linkPlantedInTheFolderIsRefused() {
    QTemporaryDir dir;
    Sim first;
    Sim second;
    QVERIFY(first.start(dir, {"--kind", "point", "--type", "31"}, "line1"));
    QVERIFY(second.start(dir, {"--kind", "point", "--type", "31"}, "line2"));
    const QString folder = dir.filePath("backups");
    QVERIFY(QDir().mkpath(folder));
    const QString victim = dir.filePath("victim.conf");
    QVERIFY(writeFileBytes(victim, "precious\n"));
    const QString planted = QDir(folder).filePath("line2.csv");
    QVERIFY(QFile::link(victim, planted));

    const Run r = cli({"--port", first.device + "," + second.device, "--receive", folder, "--yes"});

    QCOMPARE(r.status, 2);
    QCOMPARE(resultOf(r.err, first.device).section(" | ", 1), QString("received"));
    QCOMPARE(resultOf(r.err, second.device).section(" | ", 1), QString("failed"));
    QVERIFY2(r.err.contains(second.device + ": " + planted + " cannot be saved"),
             qPrintable(r.err));
    QVERIFY2(r.err.contains(second.device + ":   it is a symbolic link to " + victim),
             qPrintable(r.err));
    QCOMPARE(fileBytes(victim), QByteArray("precious\n"));
    QVERIFY(QFileInfo(planted).isSymLink());
    QVERIFY(QFileInfo(QDir(folder).filePath("line1.csv")).isFile());
}

// One device under two names would be served by two runs at once: a mistake of the command
// line, said with both names before any controller is asked or any folder made.
void TestCliFleet::oneDeviceNamedTwiceIsRefused_data() {
    QTest::addColumn<QString>("first"); // DEVICE: the pseudo-terminal; LINK: a link to it
    QTest::addColumn<QString>("second");
    QTest::newRow("a path and a link to it") << "DEVICE"
                                             << "LINK";
    QTest::newRow("a COM port and the device its map leads to") << "COM3"
                                                                << "LINK";
}

void TestCliFleet::oneDeviceNamedTwiceIsRefused() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QTemporaryDir dir;
    Sim sim;
    QVERIFY(sim.start(dir, {"--kind", "point"}, "line1"));
    const QString device = QFileInfo(sim.device).canonicalFilePath();
    // A copy of the command line with a QRX5.ini beside it that maps COM3 to the device.
    const QString program = dir.filePath("bin/qrx5-cli");
    QVERIFY(QDir().mkpath(dir.filePath("bin")));
    QVERIFY(QFile::copy(qEnvironmentVariable("QRX5_CLI_BIN"), program));
    QVERIFY(writeFileBytes(dir.filePath("bin/QRX5.ini"), "[Ports]\r\nCOM3=" + device.toUtf8()));
    for (QString* name : {&first, &second})
        *name = *name == "DEVICE" ? device : *name == "LINK" ? sim.device : *name;
    const QString folder = dir.filePath("backups");

    const Run r = cli({"--port", first + "," + second, "--receive", folder}, 0, program);

    QCOMPARE(r.status, 64);
    QVERIFY2(r.err.contains(
                 QString("--port: %1 and %2 name one device (%3)").arg(first, second, device)),
             qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(sim.stop(), QByteArray());
}

QTEST_GUILESS_MAIN(TestCliFleet)
#include "tst_clifleet.moc"
