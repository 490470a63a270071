// The start-up read of both kinds against the in-process virtual controller, on the start-up
// window's link: bytes, the tables it fills, cancel, time-outs, refusals and the type check.
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ReceiveOps.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseParameters.h"
#include "pulse/PulseTransfers.h"
#include "pulse/ZoneTableModel.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "startup/StartupRead.h"

#include <QTest>
#include <QTimer>

using Icon = OperatorInteraction::Icon;
using Kind = VirtualController::Kind;
Q_DECLARE_METATYPE(VirtualController::Kind)

namespace {

// The start-up window's link to a controller of one kind, and the tables of both main windows.
struct Rig {
    VirtualController controller;
    SimulatedChannel channel{controller};
    LinkState state;
    Link link{state, channel, Link::Variant::StartUp};
    ScriptedOperator op;
    FakeProgress progress;
    PointTableModel points{op};
    ParameterTableModel pointParams{op};
    ZoneTableModel zones{op};
    PulseParameterModel pulseParams{op};
    int refreshes = 0;

    explicit Rig(Kind kind) : controller(kind) {
        link.attachProgress(progress);
        controller.memory().fillSample();
    }
    StartupRead::Result run() {
        StartupTables t =
            controller.kind() == Kind::Point
                ? ReceiveOps::startupTables(points, pointParams, [this] { ++refreshes; })
                : PulseTransfers::startupTables(zones, pulseParams, [this] { ++refreshes; });
        return StartupRead::run(link, op, progress, t);
    }
    // The first table's rows that hold something.
    int rowsFilled() const {
        int n = 0;
        for (const PointRecord& p : points.table())
            n += !p.mode.isEmpty();
        for (const ZoneRecord& z : zones.table())
            n += !z.a.isEmpty();
        return n;
    }
    const ParameterRowsModel& params() const {
        return controller.kind() == Kind::Point
                   ? static_cast<const ParameterRowsModel&>(pointParams)
                   : pulseParams;
    }
    // Arms Cancel for row `row` of the parameter loop: the first table's loop ends at its last
    // row, the parameters' loop counts from 0 again.
    void cancelInParametersAt(int row) {
        const int lastFirst = controller.kind() == Kind::Point ? 63 : 3;
        progress.onValue = [this, lastFirst, row, armed = false](int v) mutable {
            if (v == lastFirst)
                armed = true;
            else if (armed && v == row)
                progress.cancel = true;
        };
    }
};

const QByteArray PointReads = "@?VER ,\r\n@READ DIO ,\r\n@READ PNT ,\r\n@READ PRM ,\r\n";
const QByteArray PulseReads = "@READ ZON ,\r\n@READ PRM ,\r\n";

} // namespace

class TestStartupRead : public QObject {
    Q_OBJECT
  private slots:
    void fillsTablesWithoutAsking_data();
    void fillsTablesWithoutAsking();
    void cancelSkipsTheRestOfThatTable_data();
    void cancelSkipsTheRestOfThatTable();
    void cancelWhileWaitingKeepsTheLateReplyOut();
    void timeOutEndsTheReadSilently_data();
    void timeOutEndsTheReadSilently();
    void refusedTableIsReportedAndLeftAsItWas();
    void unknownTypeEndsTheProgram_data();
    void unknownTypeEndsTheProgram();
};

void TestStartupRead::fillsTablesWithoutAsking_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pieces"); // each reply comes in this many parts
    QTest::newRow("point") << Kind::Point << PointReads << 64 << 1;
    QTest::newRow("pulse") << Kind::Pulse << PulseReads << 4 << 1;
    QTest::newRow("point, replies in parts") << Kind::Point << PointReads << 64 << 6;
    QTest::newRow("pulse, replies in parts") << Kind::Pulse << PulseReads << 4 << 3;
}

void TestStartupRead::fillsTablesWithoutAsking() {
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    QFETCH(int, pieces);
    Rig r(kind);
    r.controller.setActuatorType(33);
    r.controller.setParameter(35, "-250");
    r.controller.setReplySplit(pieces, 20);
    // The progress set while a table's reply is still coming in, per table read.
    QList<QList<int>> whileWaiting;
    qsizetype commandsSeen = 0;
    r.progress.onValue = [&](int v) {
        if (!r.link.busy())
            return;
        if (r.controller.received().size() != commandsSeen) {
            commandsSeen = r.controller.received().size();
            whileWaiting.append(QList<int>());
        }
        whileWaiting.last() << v;
    };

    QCOMPARE(r.run(), StartupRead::Result::Done);

    // A reply in parts moves the bar on as its rows arrive, in each table.
    if (pieces == 1) {
        QVERIFY(whileWaiting.isEmpty());
    } else {
        QCOMPARE(whileWaiting.size(), 2);
        for (const QList<int>& values : whileWaiting) {
            QVERIFY2(values.size() >= 2, qPrintable(QDebug::toString(values)));
            QVERIFY(std::is_sorted(values.begin(), values.end()));
            QVERIFY(values.constLast() > 0 && values.constLast() <= 63);
        }
    }

    QCOMPARE(r.controller.received(), bytes);
    QCOMPARE(r.rowsFilled(), rows);
    QCOMPARE(r.params().actuatorType(), QString("33"));
    QCOMPARE(r.params().settingValue(35), QString("-250"));
    // Every row's Initial Value is the type's default, the last rows of either table included.
    const QStringList defaults = ParameterRows::listValues(r.params().typeDefaults("33"));
    QCOMPARE(int(defaults.size()), int(r.params().rows().size()));
    for (size_t k = 0; k < r.params().rows().size(); ++k)
        QCOMPARE(r.params().rows()[k].initial, defaults[qsizetype(k)]);
    QVERIFY(r.op.prompts.isEmpty());
    QVERIFY(!r.points.modified() && !r.zones.modified());
    QVERIFY(!r.progress.shown);
    QCOMPARE(r.progress.maximum, 63);
    QCOMPARE(r.refreshes, 1);
}

void TestStartupRead::cancelSkipsTheRestOfThatTable_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("inParameters");
    QTest::addColumn<int>("rowsFilled");
    QTest::addColumn<QString>("shift"); // parameter 35 afterwards
    QTest::newRow("points") << Kind::Point << false << 10 << "-250";
    QTest::newRow("point parameters") << Kind::Point << true << 64 << "0";
    QTest::newRow("zones") << Kind::Pulse << false << 1 << "-250";
    QTest::newRow("pulse parameters") << Kind::Pulse << true << 4 << "0";
}

void TestStartupRead::cancelSkipsTheRestOfThatTable() {
    QFETCH(Kind, kind);
    QFETCH(bool, inParameters);
    QFETCH(int, rowsFilled);
    QFETCH(QString, shift);
    Rig r(kind);
    r.controller.setParameter(35, "-250");
    if (inParameters)
        r.cancelInParametersAt(20); // parameter 35 is not reached
    else
        r.progress.cancelAtValue = rowsFilled;

    QCOMPARE(r.run(), StartupRead::Result::Done);

    QCOMPARE(r.rowsFilled(), rowsFilled);
    // A cancel in the first table still reads the parameters; one in the parameters ends.
    QVERIFY(r.controller.received().endsWith("@READ PRM ,\r\n"));
    QCOMPARE(r.params().settingValue(35), shift);
    QCOMPARE(r.op.prompts.size(), 1);
    QCOMPARE(r.op.last().title, QString("Stop"));
    QCOMPARE(r.op.last().text, QString("Data not received"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QVERIFY(!r.progress.shown && !r.progress.cancel);
    QCOMPARE(r.refreshes, 1);
}

// Cancel while the zone reply is still on its way: the parameter read waits for it and gets
// its own reply, never the zones'.
void TestStartupRead::cancelWhileWaitingKeepsTheLateReplyOut() {
    Rig r(Kind::Pulse);
    r.controller.setActuatorType(31);
    r.controller.setReplyDelay(300);
    QTimer::singleShot(100, [&] { r.progress.clickCancel(); });

    QCOMPARE(r.run(), StartupRead::Result::Done);

    QCOMPARE(r.controller.received(), PulseReads);
    QCOMPARE(r.rowsFilled(), 0);
    QCOMPARE(r.params().actuatorType(), QString("31"));
    QCOMPARE(r.op.texts(), QStringList{"Data not received"});
    QVERIFY(!r.link.busy());
}

void TestStartupRead::timeOutEndsTheReadSilently_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("silentFor");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rowsFilled");
    QTest::newRow("version") << Kind::Point << "@?VER" << QByteArray("@?VER ,\r\n") << 0;
    QTest::newRow("points") << Kind::Point << "@READ PNT"
                            << QByteArray("@?VER ,\r\n@READ DIO ,\r\n@READ PNT ,\r\n") << 0;
    QTest::newRow("zones") << Kind::Pulse << "@READ ZON" << QByteArray("@READ ZON ,\r\n") << 0;
    QTest::newRow("pulse parameters") << Kind::Pulse << "@READ PRM" << PulseReads << 4;
}

void TestStartupRead::timeOutEndsTheReadSilently() {
    QFETCH(Kind, kind);
    QFETCH(QString, silentFor);
    QFETCH(QByteArray, bytes);
    QFETCH(int, rowsFilled);
    Rig r(kind);
    r.controller.setSilentFor(silentFor);
    r.controller.setActuatorType(32);

    QCOMPARE(r.run(), StartupRead::Result::Done);

    QCOMPARE(r.controller.received(), bytes);
    QCOMPARE(r.rowsFilled(), rowsFilled);
    QCOMPARE(r.params().actuatorType(), QString("30")); // the window's own start
    QVERIFY(r.op.prompts.isEmpty());
    QVERIFY(!r.progress.shown);
    QCOMPARE(r.refreshes, 1);
}

void TestStartupRead::refusedTableIsReportedAndLeftAsItWas() {
    Rig r(Kind::Pulse);
    r.controller.setNgFor("@READ ZON");
    r.controller.setActuatorType(33);
    ZoneTableData before{};
    before[2] = {"1.00", "2.00", "kept"};
    r.zones.setTable(before);

    QCOMPARE(r.run(), StartupRead::Result::Done);

    QCOMPARE(r.zones.table(), before);
    QCOMPARE(r.op.texts(), QStringList{"Cannot receive data from controller."});
    QCOMPARE(r.params().actuatorType(), QString("33")); // the parameters are still read
}

void TestStartupRead::unknownTypeEndsTheProgram_data() {
    QTest::addColumn<Kind>("kind");
    QTest::newRow("point") << Kind::Point;
    QTest::newRow("pulse") << Kind::Pulse;
}

void TestStartupRead::unknownTypeEndsTheProgram() {
    QFETCH(Kind, kind);
    Rig r(kind);
    r.controller.setActuatorType(34);

    QCOMPARE(r.run(), StartupRead::Result::ProgramEnded);

    QCOMPARE(r.op.texts(), QStringList{"Controller type is different."});
    QCOMPARE(r.op.last().title, QString("Controller type"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QCOMPARE(r.op.endCalls, 1);
    QCOMPARE(r.params().actuatorType(), QString("30"));
    QVERIFY(!r.progress.shown);
    QCOMPARE(r.refreshes, 0);
}

QTEST_GUILESS_MAIN(TestStartupRead)
#include "tst_startupread.moc"
