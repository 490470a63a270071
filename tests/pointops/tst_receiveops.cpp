// Receive(Points) and Receive(Parameters) against the in-process virtual controller.
#include "FakeProgress.h"
#include "OpsRig.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointops/InitOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QTest>

using Icon = OperatorInteraction::Icon;

namespace {

struct Rig : OpsRig {
    ParameterRow row(int number) const {
        return params.table()[PointParameters::rowOfParameter(number)];
    }
};

PointTableData tableWithNotes() {
    PointTableData t{};
    for (int n = 0; n < PointCount; ++n)
        t[n] = {"A", "1.00", "10", "", QStringLiteral("note %1").arg(n)};
    return t;
}

} // namespace

class TstReceiveOps final : public QObject {
    Q_OBJECT
  private slots:
    void pointsReplaceTheTable();
    void pointLinesWithFewerFields();
    void pointReplyWithoutPoints();
    void declinedSendsNothing();
    void cancelKeepsPointsReceivedSoFar();
    void pointTimeoutLeavesTable();
    void pointNgLeavesTable();
    void parametersReplaceValuesAndDefaults();
    void parameterCancelKeepsEarlierRows();
    void unsupportedTypeKeepsTablesAndProgram();
    void completionMessageAndWindow_data();
    void completionMessageAndWindow();
};

void TstReceiveOps::pointsReplaceTheTable() {
    Rig r;
    r.controller.memory().setPoint(1, {"A", "1.00", "5", ""});
    r.controller.memory().setPoint(3, {"O", "", "10", "4"});
    r.controller.memory().setPoint(7, {"U", "12.50", "20", "5"});
    r.controller.memory().setPoint(12, {"A", "5.00", "30", ""});
    r.points.setTable(tableWithNotes());
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ PNT ,\r\n"));
    const PointTableData t = r.points.table();
    QCOMPARE(t[7], (PointRecord{"U", "12.50", "20", "5", ""}));
    QCOMPARE(t[3], (PointRecord{"O", "", "10", "4", ""}));
    // The search for point 1 must not land inside the line of point 12.
    QCOMPARE(t[1], (PointRecord{"A", "1.00", "5", "", ""}));
    QCOMPARE(t[12], (PointRecord{"A", "5.00", "30", "", ""}));
    QCOMPARE(t[0], PointRecord{}); // the old point and its note are gone
    QCOMPARE(t[63], PointRecord{});

    QVERIFY(r.points.modified());
    QCOMPARE(r.op.prompts.size(), 2);
    QCOMPARE(r.op.prompts[0].kind, QString("yesno"));
    QCOMPARE(r.op.prompts[0].title, QString("Point reception"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you receive point data?"));
    QCOMPARE(r.op.prompts[0].icon, Icon::Question);
    QCOMPARE(r.op.last().title, QString("Receive Point"));
    QCOMPARE(r.op.last().text, QString("Receiving has finished."));
    QCOMPARE(r.op.last().icon, Icon::None);
    QCOMPARE(r.progress.maximum, 63);
    QCOMPARE(r.progress.values.last(), 63);
    QVERIFY(r.restored());
    QCOMPARE(r.opState.settei, 1);
}

void TstReceiveOps::pointLinesWithFewerFields() {
    Rig r;
    // Lines in front of the controller's own reply: a short line and an unknown mode letter.
    r.controller.setReplyPrefix("P2=A,5.00\r\nP4=x,1,2,3\r\nP5=U,1.00\r\n");
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    const PointTableData t = r.points.table();
    QCOMPARE(t[2], (PointRecord{"A", "5.00", "", "", ""}));
    QCOMPARE(t[4], (PointRecord{"x", "", "", "", ""}));
    QCOMPARE(t[5], (PointRecord{"U", "1.00", "", "", ""}));
}

void TstReceiveOps::pointReplyWithoutPoints() {
    Rig r;
    r.points.setTable(tableWithNotes());
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    QCOMPARE(r.points.table(), PointTableData{});
    QVERIFY(r.points.modified());
    QCOMPARE(r.op.last().text, QString("Receiving has finished."));
}

void TstReceiveOps::declinedSendsNothing() {
    Rig r;
    r.op.answers = {OperatorInteraction::Answer::No, OperatorInteraction::Answer::No};
    r.points.setTable(tableWithNotes());
    r.host.toolbarEnabled = false;
    auto c = r.context();

    ReceiveOps::receivePoints(c);
    ReceiveOps::receiveParameters(c);

    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.points.table(), tableWithNotes());
    QVERIFY(!r.points.modified());
    QCOMPARE(r.op.texts("message"), QStringList{});
    QVERIFY(r.host.toolbarEnabled);
}

void TstReceiveOps::cancelKeepsPointsReceivedSoFar() {
    Rig r;
    for (int n = 0; n < PointCount; ++n)
        r.controller.memory().setPoint(n, {"I", QStringLiteral("%1.00").arg(n), "10", ""});
    r.progress.cancelAtValue = 10;
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    const PointTableData t = r.points.table();
    QCOMPARE(t[9], (PointRecord{"I", "9.00", "10", "", ""}));
    QCOMPARE(t[10], PointRecord{});
    QCOMPARE(t[63], PointRecord{});
    QVERIFY(r.points.modified());
    QCOMPARE(r.op.texts("message"), QStringList{"Data un-transmitting."});
    QCOMPARE(r.op.last().title, QString("Stop"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QVERIFY(!r.progress.cancel);
    QVERIFY(r.restored());
}

void TstReceiveOps::pointTimeoutLeavesTable() {
    Rig r;
    r.controller.setSilentFor("@READ PNT");
    r.controller.memory().setPoint(0, {"A", "1.00", "5", ""});
    r.points.setTable(tableWithNotes());
    r.opState.settei = 1; // left over from an earlier operation: must not hide the report
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ PNT ,\r\n"));
    QCOMPARE(r.points.table(), tableWithNotes());
    QVERIFY(!r.points.modified());
    QCOMPARE(r.op.texts("message"),
             QStringList{"The communication error. Please check the connection."});
    QCOMPARE(r.op.last().title, QString("Point reception"));
    QVERIFY(r.restored());
}

void TstReceiveOps::pointNgLeavesTable() {
    Rig r;
    r.controller.setNgFor("@READ PNT");
    r.points.setTable(tableWithNotes());
    auto c = r.context();

    ReceiveOps::receivePoints(c);

    QCOMPARE(r.points.table(), tableWithNotes());
    QVERIFY(!r.points.modified());
    QCOMPARE(r.op.texts("message"), QStringList{"Cannot receive data from controller."});
    QCOMPARE(r.op.last().title, QString("Error"));
    QCOMPARE(r.op.last().icon, Icon::Critical);
    QVERIFY(r.link.errorText().startsWith("NG\r\n37:RANGE OVER"));
    QVERIFY(r.restored());
}

void TstReceiveOps::parametersReplaceValuesAndDefaults() {
    Rig r;
    r.controller.setActuatorType(33);
    r.controller.setParameter(35, "150");
    r.controller.setParameter(30, "80");
    r.controller.setParameter(3, "999"); // not a table number: ignored
    auto c = r.context();

    ReceiveOps::receiveParameters(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ PRM ,\r\n"));
    QCOMPARE(r.params.actuatorType(), QString("33"));
    QCOMPARE(r.row(35).setting, QString("150"));
    QCOMPARE(r.row(30).setting, QString("80"));
    QCOMPARE(r.row(21).setting, QString("4000"));
    // Initial values are the received type's defaults, not the controller's values.
    const QStringList defaults = PointParameters::defaultValues("33");
    for (int row = 0; row < ParameterCount; ++row)
        QCOMPARE(r.params.table()[row].initial, defaults[row]);
    QVERIFY(!r.params.receiving());
    QVERIFY(r.points.modified());
    QCOMPARE(r.host.refreshes, 1);
    QCOMPARE(r.opState.settei, 1);
    QCOMPARE(r.op.prompts[0].text, QString("Do you receive parameter data?"));
    QCOMPARE(r.op.prompts[0].title, QString("Parameter reception"));
    QCOMPARE(r.op.last().title, QString("Receive Parameter"));
    QCOMPARE(r.op.last().text, QString("Receiving has finished."));
    QCOMPARE(r.progress.values.first(), 0);
    QCOMPARE(r.progress.values.at(1), 1);
    QVERIFY(r.restored());
}

void TstReceiveOps::parameterCancelKeepsEarlierRows() {
    Rig r;
    r.controller.setActuatorType(31);
    r.controller.setParameter(4, "50");
    r.controller.setParameter(5, "1");
    r.progress.cancelAtValue = 5; // before parameter 5 is taken
    auto c = r.context();

    ReceiveOps::receiveParameters(c);

    QCOMPARE(r.params.actuatorType(), QString("31"));
    QCOMPARE(r.row(4).setting, QString("50"));
    QCOMPARE(r.row(5).setting, QString("0"));     // the start-up value stays
    QCOMPARE(r.row(21).setting, QString("2000")); // type 30's stroke, not 31's
    QCOMPARE(r.op.texts("message"), QStringList{"Data un-transmitting."});
    QCOMPARE(r.op.last().title, QString("Stop"));
    QVERIFY(!r.params.receiving());
    QVERIFY(r.points.modified());
    QCOMPARE(r.host.refreshes, 1);
    QVERIFY(r.restored());
}

void TstReceiveOps::unsupportedTypeKeepsTablesAndProgram() {
    Rig r;
    r.controller.setActuatorType(34);
    const ParameterTableData before = r.params.table();
    auto c = r.context();

    ReceiveOps::receiveParameters(c);

    // The operator's tables are all there is to lose: the program goes on.
    QCOMPARE(r.op.endCalls, 0);
    QCOMPARE(r.op.texts("message"), QStringList{"Controller type is different."});
    QCOMPARE(r.op.last().title, QString("Controller type"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QCOMPARE(r.params.table(), before);
    QVERIFY(!r.points.modified());
    QCOMPARE(r.host.refreshes, 0);
    QVERIFY(!r.params.receiving());
    QVERIFY(r.restored());
}

// Where the completion message stands among the closing steps: Receive(Parameters) and
// Init > Points show it before the window is given back, Receive(Points) after; the progress
// bar of the ended transfer never stands under it.
using OperationFn = void (*)(const PointOpsContext&);
const OperationFn Operations[] = {&ReceiveOps::receiveParameters, &InitOps::initPoints,
                                  &ReceiveOps::receivePoints};

void TstReceiveOps::completionMessageAndWindow_data() {
    QTest::addColumn<int>("operation"); // index into Operations
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("windowEnabled");
    QTest::newRow("Receive(Parameters)") << 0 << "Receiving has finished." << false;
    QTest::newRow("Init > Points") << 1 << "Initializing has completed." << false;
    QTest::newRow("Receive(Points)") << 2 << "Receiving has finished." << true;
}

void TstReceiveOps::completionMessageAndWindow() {
    QFETCH(int, operation);
    QFETCH(QString, text);
    QFETCH(bool, windowEnabled);
    Rig r;
    int seen = 0;
    r.op.onPrompt = [&](const ScriptedOperator::Prompt& p) {
        if (p.kind != "message")
            return;
        ++seen;
        QCOMPARE(p.text, text);
        QCOMPARE(r.host.windowEnabled, windowEnabled);
        QVERIFY(!r.progress.shown);
    };
    auto c = r.context();

    Operations[operation](c);

    QCOMPARE(seen, 1);
    QVERIFY(r.restored());
}

QTEST_GUILESS_MAIN(TstReceiveOps)
#include "tst_receiveops.moc"
