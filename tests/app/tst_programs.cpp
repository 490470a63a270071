// The three programs as they are installed: they answer --help and --version without a
// display (the manual pages are made from these answers), print one version, and find
// QRX5.ini where the rule says.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args, QProcessEnvironment env) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(5000) || !p.waitForFinished(30000)) {
        p.kill();
        r.err = program + QStringLiteral(" did not end");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void helpAndVersionWithoutADisplay_data();
    void helpAndVersionWithoutADisplay();
    void portFromTheIniTheRuleChooses_data();
    void portFromTheIniTheRuleChooses();
};

void TestPrograms::initTestCase() {
    for (const char* name : {"QRX5_BIN", "QRX5_CLI_BIN", "QRX5_SIM_BIN"})
        if (qEnvironmentVariable(name).isEmpty())
            QSKIP("QRX5_BIN, QRX5_CLI_BIN and QRX5_SIM_BIN are not set");
}

void TestPrograms::helpAndVersionWithoutADisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("helpTells");
    QTest::newRow("qrx5") << qEnvironmentVariable("QRX5_BIN") << "qrx5"
                          << QStringList{"Com_Setup", "~/.config/qrx5/QRX5.ini", "dialout"};
    QTest::newRow("qrx5-cli") << qEnvironmentVariable("QRX5_CLI_BIN") << "qrx5-cli"
                              << QStringList{"--receive <FILE|FOLDER>",
                                             "--port <COMn|DEVICE[,...]>", "--diff <FILE_A>",
                                             "~/.config/qrx5/QRX5.ini", "dialout"};
    QTest::newRow("qrx5-sim") << qEnvironmentVariable("QRX5_SIM_BIN") << "qrx5-sim"
                              << QStringList{"--kind <kind>", "--link <path>"};
}

void TestPrograms::helpAndVersionWithoutADisplay() {
    QFETCH(QString, program);
    QFETCH(QString, name);
    QFETCH(QStringList, helpTells);
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    const Run version = run(program, {"--version"}, env);
    QVERIFY2(version.status == 0, qPrintable(version.err));
    QCOMPARE(version.out, name + " " + QRX5_VERSION + "\n");

    const Run help = run(program, {"--help"}, env);
    QVERIFY2(help.status == 0, qPrintable(help.err));
    QVERIFY2(help.out.startsWith("Usage: ") && help.out.contains("--version"),
             qPrintable(help.out));
    for (const QString& text : helpTells)
        QVERIFY2(help.out.contains(text), qPrintable(text));
}

// A copy of qrx5-cli in a folder of its own, with the user's configuration folder elsewhere:
// the port and its map come from the file beside the program when there is one, else from the
// user's file. A user's file that cannot be read is said, with the port used instead.
void TestPrograms::portFromTheIniTheRuleChooses_data() {
    QTest::addColumn<bool>("fileBeside");
    QTest::addColumn<QByteArray>("userFile"); // empty: one that maps COM2 to the controller
    QTest::addColumn<QString>("said");        // CONFIG: the user's configuration folder
    QTest::newRow("none beside: the user's file") << false << QByteArray() << "DEVICE";
    QTest::newRow("one beside: that file") << true << QByteArray() << "MISSING";
    QTest::newRow("the user's file a folder")
        << false << QByteArray("folder")
        << "qrx5-cli: QRX5.ini cannot be read; the port is COM1 (/dev/ttyS0). "
           "CONFIG/qrx5/QRX5.ini: it is a folder";
}

void TestPrograms::portFromTheIniTheRuleChooses() {
    QFETCH(bool, fileBeside);
    QFETCH(QByteArray, userFile);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QProcess sim;
    sim.start(qEnvironmentVariable("QRX5_SIM_BIN"), {"--kind", "point", "--type", "31"});
    QVERIFY(sim.waitForStarted(5000) && sim.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const QString missing = dir.filePath("no-such-device");

    const QString cli = dir.filePath("bin/qrx5-cli");
    QVERIFY(QDir().mkpath(dir.filePath("bin")));
    QVERIFY(QFile::copy(qEnvironmentVariable("QRX5_CLI_BIN"), cli));
    const QString userIni = dir.filePath("config/qrx5/QRX5.ini");
    if (userFile == "folder")
        QVERIFY(QDir().mkpath(userIni));
    else
        QVERIFY(writeFile(userIni, userFile.isEmpty() ? "[Data]\r\nCOM= 2\r\n[Ports]\r\nCOM2=" +
                                                            device.toUtf8() + "\r\n"
                                                      : userFile));
    if (fileBeside)
        QVERIFY(writeFile(dir.filePath("bin/QRX5.ini"),
                          "[Data]\r\nCOM= 2\r\n[Ports]\r\nCOM2=" + missing.toUtf8() + "\r\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("HOME", dir.filePath("home"));

    const Run r = run(cli, {"--receive", dir.filePath("backup.csv")}, env);
    sim.terminate();
    sim.waitForFinished(5000);
    said.replace("DEVICE", device)
        .replace("MISSING", missing)
        .replace("CONFIG", dir.filePath("config"));
    QVERIFY2(r.status == (said == device ? 0 : 2), qPrintable(r.err));
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
    QVERIFY(r.err.contains(userFile.isEmpty() ? "COM2" : "COM1"));
}

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
