// The start-up as the program runs it: the start-up window asks qrx5-sim on a pseudo-terminal
// for its kind through the serial port class, reads the tables into the real main window of
// that kind and only then shows it.
#include "FakeProgress.h"
#include "StartupProgram.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

bool simAvailable() {
    return !qEnvironmentVariable("QRX5_SIM_BIN").isEmpty();
}

} // namespace

class TestE2EStartupRead : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void tablesFilledWhenTheWindowAppears_data();
    void tablesFilledWhenTheWindowAppears();
    void cancelInEachTable_data();
    void cancelInEachTable();
    void silentAfterTheKindReply_data();
    void silentAfterTheKindReply();
    void type34EndsTheProgram_data();
    void type34EndsTheProgram();
    void manualChoiceReadsNothing();
};

void TestE2EStartupRead::init() {
    if (!simAvailable())
        QSKIP("QRX5_SIM_BIN is not set");
}

void TestE2EStartupRead::tablesFilledWhenTheWindowAppears_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("type");
    QTest::newRow("point") << QStringList{"--kind", "point", "--type", "31", "--fill"} << false
                           << 64 << "31";
    QTest::newRow("pulse") << QStringList{"--kind", "pulse", "--type", "33", "--fill"} << true << 4
                           << "33";
}

void TestE2EStartupRead::tablesFilledWhenTheWindowAppears() {
    QFETCH(QStringList, args);
    QFETCH(bool, pulse);
    QFETCH(int, rows);
    QFETCH(QString, type);
    StartupProgram p;
    QVERIFY(p.start(args));

    p.select->start();

    QCOMPARE(p.shown.windows, 1);
    QCOMPARE(p.shown.pulse, pulse);
    QCOMPARE(p.shown.rowsFilled, rows);
    QCOMPARE(p.shown.type, type);
    QCOMPARE(p.shown.status2, QString("Origin point shift: 0.00"));
    QVERIFY(!p.shown.progressShown);
    QVERIFY(p.op.prompts.isEmpty());
    QVERIFY(!p.select->isVisible());
    // Nothing the operator has to save: the tables are the controller's.
    QVERIFY(!p.point->points().modified() && !p.pulse->zones().modified());
}

void TestE2EStartupRead::cancelInEachTable_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("lastFirstRow");
    QTest::addColumn<bool>("inParameters");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("type");
    const QStringList point{"--kind", "point", "--type", "32", "--fill"};
    const QStringList pulse{"--kind", "pulse", "--type", "32", "--fill"};
    QTest::newRow("points") << point << 63 << false << 7 << "32";
    QTest::newRow("point parameters") << point << 63 << true << 64 << "32";
    QTest::newRow("zones") << pulse << 3 << false << 2 << "32";
    QTest::newRow("pulse parameters") << pulse << 3 << true << 4 << "32";
}

void TestE2EStartupRead::cancelInEachTable() {
    QFETCH(QStringList, args);
    QFETCH(int, lastFirstRow);
    QFETCH(bool, inParameters);
    QFETCH(int, rows);
    QFETCH(QString, type);
    StartupProgram p;
    QVERIFY(p.start(args));
    FakeProgress progress;
    p.sequence->setProgress(progress);
    // Cancel at row 7 of the points, row 2 of the zones, or row 5 of the parameters (the
    // actuator type is taken by then).
    const int first = lastFirstRow == 3 ? 2 : 7;
    progress.onValue = [&, armed = false, clicked = false](int v) mutable {
        if (clicked)
            return;
        if (v == lastFirstRow)
            armed = true;
        if (inParameters ? (armed && v == 5) : v == first) {
            clicked = true;
            progress.clickCancel();
        }
    };

    p.select->start();

    QCOMPARE(p.shown.windows, 1);
    QCOMPARE(p.shown.rowsFilled, rows);
    QCOMPARE(p.shown.type, type);
    QCOMPARE(p.op.texts(), QStringList{"Data not received"});
    QCOMPARE(p.op.last().title, QString("Stop"));
    QCOMPARE(p.op.last().icon, OperatorInteraction::Icon::Warning);
    QVERIFY(!progress.shown);
}

void TestE2EStartupRead::silentAfterTheKindReply_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("point") << QStringList{"--kind", "point",        "--type", "33",
                                          "--fill", "--silent-for", "@?VER"};
    QTest::newRow("pulse") << QStringList{"--kind", "pulse",        "--type",   "33",
                                          "--fill", "--silent-for", "@READ ZON"};
}

void TestE2EStartupRead::silentAfterTheKindReply() {
    QFETCH(QStringList, args);
    StartupProgram p;
    QVERIFY(p.start(args));

    p.select->start();

    // The window opens with what was read: nothing.
    QCOMPARE(p.shown.windows, 1);
    QCOMPARE(p.shown.rowsFilled, 0);
    QCOMPARE(p.shown.type, QString("30"));
    QVERIFY(p.op.prompts.isEmpty());
    QVERIFY(!p.shown.progressShown);
}

void TestE2EStartupRead::type34EndsTheProgram_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("point") << "point";
    QTest::newRow("pulse") << "pulse";
}

void TestE2EStartupRead::type34EndsTheProgram() {
    QFETCH(QString, kind);
    StartupProgram p;
    QVERIFY(p.start({"--kind", kind, "--type", "34"}));

    p.select->start();

    QCOMPARE(p.op.texts(), QStringList{"Controller type is different."});
    QCOMPARE(p.op.last().title, QString("Controller type"));
    QCOMPARE(p.op.endCalls, 1);
    QCOMPARE(p.shown.windows, 0);
}

// A controller that does not say its kind: the operator chooses, and nothing is read.
void TestE2EStartupRead::manualChoiceReadsNothing() {
    StartupProgram p;
    const QString record = p.dir.filePath("received.bin");
    QVERIFY(p.start({"--kind", "pulse", "--silent", "--record", record}));

    p.select->start();
    QCOMPARE(p.shown.windows, 0);
    p.select->findChild<QRadioButton*>("Option1_1")->setChecked(true);
    QTest::mouseClick(p.select->findChild<QPushButton*>("Command1"), Qt::LeftButton);

    QCOMPARE(p.shown.windows, 1);
    QVERIFY(p.shown.pulse);
    QCOMPARE(p.shown.rowsFilled, 0);
    p.sim.terminate();
    QVERIFY(p.sim.waitForFinished(5000));
    QFile f(record);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("@?PRM 13,\r\n"));
}

QTEST_MAIN(TestE2EStartupRead)
#include "tst_e2e_startupread.moc"
