// Compare against the in-process virtual controller.
#include "FakeProgress.h"
#include "OpsRig.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointops/CompareOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QTest>

using Icon = OperatorInteraction::Icon;
using CPoint = ControllerMemory::Point;

namespace {

struct Rig : OpsRig {
    // Window and controller hold the same points: A at 4, O at 6, U at 9.
    void samePoints() {
        controller.memory().setPoint(4, {"A", "10.00", "20", ""});
        controller.memory().setPoint(6, {"O", "", "5", "3"});
        controller.memory().setPoint(9, {"U", "-3.00", "20", "4"});
        PointTableData t{};
        t[4] = {"A", "10.00", "20", "", ""};
        t[6] = {"O", "", "5", "3", ""};
        t[9] = {"U", "-3.00", "20", "4", ""};
        points.setTable(t);
    }
    void setPoint(int n, const PointRecord& p) {
        PointTableData t = points.table();
        t[n] = p;
        points.setTable(t);
    }
};

const QByteArray BothReads = "@READ PNT ,\r\n@READ PRM ,\r\n";

} // namespace

class TstCompareOps final : public QObject {
    Q_OBJECT
  private slots:
    void roundTripComparesEqual();
    void pointDifferences_data();
    void pointDifferences();
    void reportListsEveryDifference();
    void parameterDifference();
    void parameterNumbersCompareAsNumbers_data();
    void parameterNumbersCompareAsNumbers();
    void cancelStops();
    void declinedSendsNothing();
    void refusedParameterRead();
    void unsupportedControllerTypeKeepsProgram();
};

void TstCompareOps::roundTripComparesEqual() {
    Rig r;
    r.controller.setActuatorType(32);
    for (int n = 0; n < PointCount; n += 3)
        r.controller.memory().setPoint(n, {"U", QStringLiteral("%1.50").arg(n % 20), "30", "2"});
    r.controller.memory().setPoint(1, {"C", "", "7", "9"});
    r.controller.setParameter(35, "-120");
    auto c = r.context();
    ReceiveOps::receivePoints(c);
    ReceiveOps::receiveParameters(c);
    r.controller.clearReceived();
    r.op.prompts.clear();

    CompareOps::compare(c);

    QCOMPARE(r.controller.received(), BothReads);
    QCOMPARE(r.op.prompts.size(), 2);
    QCOMPARE(r.op.prompts[0].title, QString("Compare"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you compare data?"));
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().text, QString("Comparison of data has finished successfully."));
    QCOMPARE(r.op.last().icon, Icon::None);
    QCOMPARE(r.progress.maximum, 63);
    QVERIFY(r.restored());
}

// Each row: the window's point against the controller's P4=A,10.00,20, P6=O,5,3 and
// P9=U,-3.00,20,4, the message and the report's lines.
void TstCompareOps::pointDifferences_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<PointRecord>("window");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("report");

    const QString same = "Comparison of data has finished successfully.";
    QTest::newRow("position compared as text")
        << 4 << PointRecord{"A", "10.0", "20", "", ""} << "Point_No4 NG"
        << R"(Point 4, Position: table "10.0", controller "10.00")";
    QTest::newRow("speed differs")
        << 9 << PointRecord{"U", "-3.00", "21", "4", ""} << "Point_No9 NG"
        << R"(Point 9, Speed: table "21", controller "20")";
    QTest::newRow("stale position of an O point ignored")
        << 6 << PointRecord{"O", "7.77", "5", "3", ""} << same << "";
    QTest::newRow("pushing level of an O point compared")
        << 6 << PointRecord{"O", "", "5", "4", ""} << "Point_No6 NG"
        << R"(Point 6, Pushing level: table "4", controller "3")";
    QTest::newRow("mode differs") << 4 << PointRecord{"I", "10.00", "20", "", ""} << "Point_No4 NG"
                                  << R"(Point 4, Mode: table "I", controller "A")";
    // The controller's fields are read by its own mode, not by the window's.
    QTest::newRow("other mode, fields by the controller's mode")
        << 6 << PointRecord{"A", "5.00", "3", "", ""} << "Point_No6 NG"
        << "Point 6, Mode: table \"A\", controller \"O\"\n"
           "Point 6, Position: table \"5.00\", controller \"\"\n"
           "Point 6, Speed: table \"3\", controller \"5\"\n"
           "Point 6, Pushing level: table \"\", controller \"3\"";
    QTest::newRow("extra field in the window")
        << 4 << PointRecord{"A", "10.00", "20", "1", ""} << "Point_No4 NG"
        << R"(Point 4, Pushing level: table "1", controller "")";
    QTest::newRow("point the controller lacks, note only")
        << 12 << PointRecord{"", "", "", "", "spare"} << same << "";
    QTest::newRow("point the controller lacks")
        << 12 << PointRecord{"", "", "5", "", ""} << "Point_No12 NG"
        << R"(Point 12, Speed: table "5", controller "")";
    QTest::newRow("point the window lacks")
        << 9 << PointRecord{} << "Point_No9 NG"
        << "Point 9, Mode: table \"\", controller \"U\"\n"
           "Point 9, Position: table \"\", controller \"-3.00\"\n"
           "Point 9, Speed: table \"\", controller \"20\"\n"
           "Point 9, Pushing level: table \"\", controller \"4\"";
    QTest::newRow("search for P1 does not match P12")
        << 1 << PointRecord{"A", "1.00", "5", "", ""} << "Point_No1 NG"
        << "Point 1, Mode: table \"A\", controller \"\"\n"
           "Point 1, Position: table \"1.00\", controller \"\"\n"
           "Point 1, Speed: table \"5\", controller \"\"";
}

void TstCompareOps::pointDifferences() {
    QFETCH(int, number);
    QFETCH(PointRecord, window);
    QFETCH(QString, result);
    QFETCH(QString, report);
    Rig r;
    r.samePoints();
    r.controller.memory().setPoint(12, {}); // keeps P12 out unless a row puts it in
    if (number == 1) {
        r.controller.memory().setPoint(12, {"A", "1.00", "5", ""});
        r.setPoint(12, {"A", "1.00", "5", "", ""});
    }
    r.setPoint(number, window);
    auto c = r.context();

    CompareOps::compare(c);

    QCOMPARE(r.op.texts("message"), QStringList{result});
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().detailed, report);
    QCOMPARE(CompareReport::text(r.host.marked), report);
    // Both tables are read whole for the report, also after a point difference.
    QCOMPARE(r.controller.received(), BothReads);
    QVERIFY(r.restored());
}

// Three differences in both tables: the message names the first, the detailed text lists all
// three in order, and the window is told which cells to mark.
void TstCompareOps::reportListsEveryDifference() {
    Rig r;
    r.samePoints();
    r.setPoint(4, {"A", "10.50", "20", "", ""});
    r.setPoint(9, {"U", "-3.00", "20", "5", ""});
    r.params.setSettingValue(35, "300");
    auto c = r.context();

    const CompareOps::Result result = CompareOps::compareTables(c);

    QCOMPARE(result.outcome, CompareOps::Outcome::Different);
    QCOMPARE(r.op.texts("message"), QStringList{"Point_No4 NG"});
    const QString expected = "Point 4, Position: table \"10.50\", controller \"10.00\"\n"
                             "Point 9, Pushing level: table \"5\", controller \"4\"\n"
                             "Parameter 35, Origin point shift: table \"300\", controller \"0\"";
    QCOMPARE(r.op.last().detailed, expected);
    QCOMPARE(result.differences, r.host.marked);
    QCOMPARE(r.host.marked.size(), 3);
    const Difference& shift = r.host.marked[2];
    QCOMPARE(shift.grid, CompareReport::ParameterGrid);
    QCOMPARE(shift.row, PointParameters::rowOfParameter(35));
    QCOMPARE(shift.column, int(ParameterTableModel::ColSetting));
    QCOMPARE(r.host.marked[0].grid, CompareReport::FirstGrid);
    QCOMPARE(r.host.marked[0].row, 4);
    QCOMPARE(r.host.marked[0].column, int(PointRules::ColPosition));
    QVERIFY(r.restored());

    // One difference is one line of the report, whatever line ends a value holds.
    const Difference d{"Point 2", "Mode", "A\r\nB", "\n", 0, 2, 1};
    QCOMPARE(CompareReport::line(d),
             QString("Point 2, Mode: table \"A<CR><LF>B\", controller \"<LF>\""));
}

void TstCompareOps::parameterDifference() {
    Rig r;
    r.samePoints();
    r.controller.setParameter(35, "100");
    r.controller.setParameter(36, "7");
    r.params.setSettingValue(35, "100");
    auto c = r.context();

    CompareOps::compare(c);

    // The first different row in the controller's order.
    QCOMPARE(r.op.texts("message"), QStringList{"Parameter_No36 NG"});
    QCOMPARE(r.controller.received(), BothReads);
    QVERIFY(r.restored());
}

void TstCompareOps::parameterNumbersCompareAsNumbers_data() {
    QTest::addColumn<QString>("controller");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("same");
    QTest::newRow("100 and 100.0") << "100.0"
                                   << "100" << true;
    QTest::newRow("negative") << "-20"
                              << "-20.00" << true;
    QTest::newRow("different") << "5"
                               << "6" << false;
    QTest::newRow("fraction") << "0.5"
                              << ".5" << true;
    QTest::newRow("not held") << "**"
                              << "**" << true;
    QTest::newRow("empty cell against zero") << "0"
                                             << "" << true;
    QTest::newRow("padded zero against empty cell") << "  0"
                                                    << "" << true;
    QTest::newRow("empty cell against five") << "5"
                                             << "" << false;
}

void TstCompareOps::parameterNumbersCompareAsNumbers() {
    QFETCH(QString, controller);
    QFETCH(QString, window);
    QFETCH(bool, same);
    QCOMPARE(CompareOps::sameParameter(controller, window), same);
}

void TstCompareOps::cancelStops() {
    Rig r;
    r.samePoints();
    r.progress.cancelAtValue = 20;
    auto c = r.context();

    CompareOps::compare(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ PNT ,\r\n"));
    QCOMPARE(r.op.texts("message"), QStringList{"Stop"});
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QVERIFY(!r.progress.cancel);
    QVERIFY(r.restored());
}

void TstCompareOps::declinedSendsNothing() {
    Rig r;
    r.op.answers = {OperatorInteraction::Answer::No};
    r.host.toolbarEnabled = false;
    auto c = r.context();

    CompareOps::compare(c);

    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.op.prompts.size(), 1);
    QVERIFY(r.host.toolbarEnabled);
}

// The parameter read must end in "OK": a refusal is a communication error titled "Compare".
void TstCompareOps::refusedParameterRead() {
    Rig r;
    r.controller.setNgFor("@READ PRM");
    auto c = r.context();

    CompareOps::compare(c);

    QCOMPARE(r.controller.received(), BothReads);
    QCOMPARE(r.op.texts("message"),
             QStringList{"The communication error. Please check the connection."});
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.beeps, 1);
    QVERIFY(r.restored());
}

void TstCompareOps::unsupportedControllerTypeKeepsProgram() {
    Rig r;
    r.samePoints();
    r.controller.setActuatorType(34);
    const ParameterTableData before = r.params.table();
    auto c = r.context();

    CompareOps::compare(c);

    // Told as such, not as a difference of parameter 0; nothing changes, the program goes on.
    QCOMPARE(r.op.texts("message"), QStringList{"Controller type is different."});
    QCOMPARE(r.op.last().title, QString("Controller type"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QCOMPARE(r.op.endCalls, 0);
    QCOMPARE(r.params.table(), before);
    QVERIFY(r.restored());
}

QTEST_GUILESS_MAIN(TstCompareOps)
#include "tst_compareops.moc"
