#include "link/Profile.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Kind = StartupSequence::Kind;
Q_DECLARE_METATYPE(StartupSequence::Kind)

// The real program path: the port map of the INI file leads COM1 to qrx5-sim on a
// pseudo-terminal, opened through the serial port class.
class TestE2EStartup : public QObject {
    Q_OBJECT
  private slots:
    void detectsKind_data();
    void detectsKind();
    void portThatDoesNotExist();

  private:
    QTemporaryDir m_dir;
};

void TestE2EStartup::detectsKind_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("expected"); // 0 point, 1 pulse, -1 manual choice
    QTest::newRow("point") << QStringList{"--kind", "point"} << 0;
    QTest::newRow("pulse") << QStringList{"--kind", "pulse"} << 1;
    QTest::newRow("point paced") << QStringList{"--kind", "point", "--pace"} << 0;
    QTest::newRow("silent") << QStringList{"--kind", "point", "--silent"} << -1;
}

void TestE2EStartup::detectsKind() {
    QFETCH(QStringList, args);
    QFETCH(int, expected);
    const QString bin = qEnvironmentVariable("QRX5_SIM_BIN");
    if (bin.isEmpty())
        QSKIP("QRX5_SIM_BIN is not set");
    const QString link = m_dir.filePath(QStringLiteral("com1-%1").arg(QTest::currentDataTag()));
    QProcess sim;
    sim.start(bin, args + QStringList{"--link", link});
    QVERIFY(sim.waitForStarted(5000));
    QVERIFY(sim.waitForReadyRead(5000));
    QVERIFY(sim.readLine().startsWith("/dev/"));

    const QString ini = m_dir.filePath("QRX5.ini");
    QFile::remove(ini);
    QVERIFY(Profile::WriteSetting(" 1", "COM", "Data", ini));
    QVERIFY(Profile::WriteSetting(link, "COM1", "Ports", ini));

    LinkState state;
    SimulatorHub hub;
    RoutedChannel channel(ini, hub);
    StartupSequence seq(state, channel, ini);
    QSignalSpy open(&seq, &StartupSequence::openMainWindow);
    QSignalSpy manual(&seq, &StartupSequence::manualChoiceOffered);
    seq.run();
    if (expected < 0) {
        QCOMPARE(manual.count(), 1);
        QCOMPARE(open.count(), 0);
    } else {
        QCOMPARE(manual.count(), 0);
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).value<Kind>(),
                 expected == 0 ? Kind::PointInput : Kind::PulseTrain);
    }
    QVERIFY(!channel.isOpen());
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
}

void TestE2EStartup::portThatDoesNotExist() {
    const QString ini = m_dir.filePath("missing.ini");
    QVERIFY(Profile::WriteSetting("/dev/qrx5-no-such-device", "COM1", "Ports", ini));
    LinkState state;
    SimulatorHub hub;
    RoutedChannel channel(ini, hub);
    StartupSequence seq(state, channel, ini);
    QSignalSpy manual(&seq, &StartupSequence::manualChoiceOffered);
    QSignalSpy fault(&seq.link(), &Link::portFault);
    seq.run();
    QCOMPARE(manual.count(), 1);
    QCOMPARE(fault.count(), 1);
    QVERIFY(fault.at(0).at(0).toString().contains("/dev/qrx5-no-such-device"));
}

QTEST_GUILESS_MAIN(TestE2EStartup)
#include "tst_e2e_startup.moc"
