// The command line in process against the virtual controller. Its interrupt key during a
// transmit: within a write block the first interrupt lets the block finish, a second stops at
// once, and whatever happens the last message says what the controller holds. Its backup:
// never a file that Open or --transmit would refuse.
#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "cli/PointCli.h"
#include "pointdata/PointParameters.h"
#include "pointdata/SettingsFile.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// One run of the command line on the built-in controller, its standard error in a text.
struct CliRig {
    QString out;
    QString err;
    Console console{&out, &err};
    VirtualController controller{VirtualController::Kind::Point};
    SimulatedChannel channel{controller};
    LinkState state;
    Link link{state, channel};
    ConsoleOperator op{console};
    ConsoleProgress progress{console};
    CliHost host;
    CliSession session{console, link, op, progress, host, true, false};

    CliRig() { link.attachProgress(progress); }
    QString lastLine() const { return err.trimmed().split('\n').constLast(); }
};

// Ten points and the parameters of a type-30 controller.
QByteArray tenPoints() {
    PointTableData points{};
    for (int n = 0; n < 10; ++n)
        points[n] = {"A", QString::number(n) + ".00", "10", "", ""};
    return SettingsFile::write(points, PointParameters::initialTable("30"));
}

} // namespace

class TestCliInterrupt final : public QObject {
    Q_OBJECT
  private slots:
    void interruptAtEachStage_data();
    void interruptAtEachStage();
    void backupIsCheckedAsSaveAsChecksIt();
    void lateRefusalIsNotCountedAsHeld();
};

void TestCliInterrupt::interruptAtEachStage_data() {
    QTest::addColumn<QString>("at");  // the controller's line during which the key is pressed
    QTest::addColumn<int>("presses"); // 0: not pressed
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("last"); // the last message
    QTest::addColumn<int>("points");   // points the controller holds afterwards
    QTest::addColumn<bool>("parametersWritten");

    QTest::newRow("not interrupted")
        << "" << 0 << 0 << "Transmit Parameter: Transmitting has finished." << 10 << true;
    QTest::newRow("during the checks")
        << "@?PRM 0," << 1 << ExitStatus::Interrupted
        << "Nothing was written: the controller's tables are as they were." << 3 << false;
    QTest::newRow("once in the points block")
        << "P2=A,2.00,10" << 1 << ExitStatus::Interrupted
        << "The points were written; the parameters were not." << 10 << false;
    QTest::newRow("twice in the points block")
        << "P2=A,2.00,10" << 2 << ExitStatus::Interrupted
        << "The controller holds 3 of 10 points: transmit again." << 3 << false;
    QTest::newRow("once in the parameter block")
        << "PRM4=100" << 1 << ExitStatus::Interrupted << "The controller holds the whole file."
        << 10 << true;
    QTest::newRow("twice in the parameter block")
        << "PRM4=100" << 2 << ExitStatus::Interrupted
        << "The controller holds the file's points, and 5 of its 19 parameters (the others as "
           "they were): transmit again."
        << 10 << false;
}

void TestCliInterrupt::interruptAtEachStage() {
    QFETCH(QString, at);
    QFETCH(int, presses);
    QFETCH(int, status);
    QFETCH(QString, last);
    QFETCH(int, points);
    QFETCH(bool, parametersWritten);
    QTemporaryDir dir;
    const QString path = dir.filePath("ten.csv");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tenPoints());
    }
    CliRig r;
    // Points 0 to 2 stand in the controller before: a transmit stopped during its checks
    // leaves them, one stopped in the block leaves what it wrote.
    for (int n = 0; n < 3; ++n)
        r.controller.memory().setPoint(n, {"A", QString::number(n) + ".00", "10", ""});
    r.controller.setParameter(4, "55");
    QObject::connect(&r.controller, &VirtualController::lineHandled, [&](const QString& line) {
        if (line != at)
            return;
        for (int k = 0; k < presses; ++k)
            QTimer::singleShot(0, [&] { r.session.interrupt(); });
    });
    PointCli cli(r.op);

    QCOMPARE(cli.transmit(r.session, path), status);

    QCOMPARE(r.lastLine(), last);
    int held = 0;
    for (int n = 0; n < 64; ++n)
        held += r.controller.memory().point(n).isSet() ? 1 : 0;
    QCOMPARE(held, points);
    QCOMPARE(r.controller.parameter(4) == "100", parametersWritten || at == "PRM4=100");
    if (presses == 1 && at.startsWith('P') && !at.startsWith("@"))
        QVERIFY(r.err.contains("Interrupted: the "));
    QVERIFY(r.state.lineHolder == nullptr);
}

// A controller whose reply holds a value that is no number: the backup is refused with the
// row and field, as Save As refuses it, and no file is left behind.
void TestCliInterrupt::backupIsCheckedAsSaveAsChecksIt() {
    QTemporaryDir dir;
    const QString path = dir.filePath("backup.csv");
    CliRig r;
    r.controller.setParameter(4, "1OO");
    PointCli cli(r.op);

    QCOMPARE(cli.receive(r.session, path), ExitStatus::Failed);

    QVERIFY(!QFile::exists(path));
    QVERIFY2(r.err.contains(path + " cannot be saved."), qPrintable(r.err));
    QCOMPARE(r.lastLine(), "  Parameter 4, Acceleration: \"1OO\" is not a number");
}

// A data line is answered only when refused, and a slow controller's refusal of line 2 comes
// while line 3 waits: line 2 is not counted as held, nor is line 3.
void TestCliInterrupt::lateRefusalIsNotCountedAsHeld() {
    QTemporaryDir dir;
    const QString path = dir.filePath("ten.csv");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tenPoints());
    }
    CliRig r;
    r.controller.setNgForDataLine(2);
    r.controller.setReplyDelay(150);
    PointCli cli(r.op);

    QCOMPARE(cli.transmit(r.session, path), ExitStatus::Failed);
    QCOMPARE(r.lastLine(), QString("The controller holds 1 of 10 points: transmit again."));
}

QTEST_GUILESS_MAIN(TestCliInterrupt)
#include "tst_cliinterrupt.moc"
