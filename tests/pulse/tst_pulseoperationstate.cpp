// The pulse-train window's operations against the in-process virtual controller: what each
// leaves the operator to see around its exchanges (the error box, the progress dialog, the
// disabled window, settei) and Compare's answer when its parameter read fails.
#include "OpsRig.h"
#include "pulse/PulseTransfers.h"

#include <QTest>
#include <QTimer>

using Answer = OperatorInteraction::Answer;
using Operation = void (*)(const PulseOpsContext&);
Q_DECLARE_METATYPE(Operation)

class TstPulseOperationState final : public QObject {
    Q_OBJECT
  private slots:
    void zoneDifferenceOutlivesTheParameterRead_data();
    void zoneDifferenceOutlivesTheParameterRead();
    void everyOperationStartsWithAnEmptyErrorBox_data();
    void everyOperationStartsWithAnEmptyErrorBox();
    void windowWaitsBehindTheProgressDuringItsExchange_data();
    void windowWaitsBehindTheProgressDuringItsExchange();
    void cancelledInitParametersSetsSetteiBack_data();
    void cancelledInitParametersSetsSetteiBack();
};

// The first table's difference is the comparison's answer: it is shown whatever becomes of
// the parameter read that only completes the report.
void TstPulseOperationState::zoneDifferenceOutlivesTheParameterRead_data() {
    QTest::addColumn<QString>("silent");
    QTest::addColumn<QString>("ng");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("why");
    QTest::newRow("no answer") << "@READ PRM"
                               << "" << 30 << "no answer within 3 s";
    QTest::newRow("refused") << ""
                             << "@READ PRM" << 30 << "did not give them";
    QTest::newRow("unknown type") << ""
                                  << "" << 34 << "\"34\" has no table here";
}

void TstPulseOperationState::zoneDifferenceOutlivesTheParameterRead() {
    QFETCH(QString, silent);
    QFETCH(QString, ng);
    QFETCH(int, type);
    QFETCH(QString, why);
    PulseOpsRig r;
    r.controller.memory().setZone(2, {"5.00", "9.00", ""});
    r.controller.setActuatorType(type);
    if (!silent.isEmpty())
        r.controller.setSilentFor(silent);
    if (!ng.isEmpty())
        r.controller.setNgFor(ng);
    auto& c = r.context();

    const CompareFlow::Result result = PulseTransfers::compareTables(c);

    QCOMPARE(result.outcome, CompareFlow::Outcome::Different);
    QCOMPARE(r.op.texts("message"), QStringList{"Zone_No2 NG"});
    QVERIFY2(r.op.last().detailed.contains("The parameters were not compared: "),
             qPrintable(r.op.last().detailed));
    QVERIFY2(r.op.last().detailed.contains(why), qPrintable(r.op.last().detailed));
    QCOMPARE(r.host.marked.size(), 2);
    QVERIFY(r.restored());
}

void TstPulseOperationState::everyOperationStartsWithAnEmptyErrorBox_data() {
    QTest::addColumn<Operation>("operation");
    QTest::newRow("receive zones") << Operation(&PulseTransfers::receiveZones);
    QTest::newRow("receive parameters") << Operation(&PulseTransfers::receiveParameters);
    QTest::newRow("compare") << Operation(&PulseTransfers::compare);
    QTest::newRow("init zones") << Operation(&PulseTransfers::initZones);
    QTest::newRow("init parameters") << Operation(&PulseTransfers::initParameters);
    QTest::newRow("init origin") << Operation(&PulseTransfers::initOrigin);
}

// Emptied before the question: also an answer No leaves no earlier refusal in the box.
void TstPulseOperationState::everyOperationStartsWithAnEmptyErrorBox() {
    QFETCH(Operation, operation);
    PulseOpsRig r;
    r.link.setErrorText("NG\r\n37:RANGE OVER\r\n");
    QString boxAtQuestion = "(not asked)";
    r.op.onPrompt = [&](const ScriptedOperator::Prompt&) { boxAtQuestion = r.link.errorText(); };
    r.op.answers = {Answer::No};
    auto& c = r.context();

    operation(c);

    QCOMPARE(boxAtQuestion, QString());
    QVERIFY(r.controller.received().isEmpty());
}

// Init > Org and the English write after Init > Parameters keep the window disabled behind
// the progress dialog while they wait for the controller.
void TstPulseOperationState::windowWaitsBehindTheProgressDuringItsExchange_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("line"); // the controller's line during which the state is seen
    QTest::addColumn<int>("maximum");
    QTest::newRow("init origin") << Operation(&PulseTransfers::initOrigin) << "@INIT ORG ," << 1;
    QTest::newRow("English write")
        << Operation(&PulseTransfers::initParameters) << "PRM22 = 0" << 2;
}

void TstPulseOperationState::windowWaitsBehindTheProgressDuringItsExchange() {
    QFETCH(Operation, operation);
    QFETCH(QString, line);
    QFETCH(int, maximum);
    PulseOpsRig r;
    r.op.typeChoices = {{"30", 1}};
    bool seen = false;
    bool waitedBehindProgress = false;
    QObject::connect(&r.controller, &VirtualController::lineHandled, [&](const QString& l) {
        if (l != line)
            return;
        seen = true;
        waitedBehindProgress = r.progress.shown && !r.host.windowEnabled;
    });
    auto& c = r.context();

    operation(c);

    QVERIFY(seen);
    QVERIFY(waitedBehindProgress);
    QCOMPARE(r.progress.maximum, maximum);
    QVERIFY(r.restored());
}

// Of the pulse-train operations only a cancelled Init > Parameters sets settei back to 1.
void TstPulseOperationState::cancelledInitParametersSetsSetteiBack_data() {
    QTest::addColumn<int>("typeOk");
    QTest::addColumn<int>("cancelAtValue");
    QTest::addColumn<bool>("cancelInEnglish");
    QTest::addColumn<int>("settei");
    QTest::newRow("completed") << 1 << -1 << false << 0;
    QTest::newRow("type dialog cancelled") << 0 << -1 << false << 1;
    QTest::newRow("cancelled in the rows") << 1 << 5 << false << 1;
    QTest::newRow("cancelled in the English write") << 1 << -1 << true << 1;
}

void TstPulseOperationState::cancelledInitParametersSetsSetteiBack() {
    QFETCH(int, typeOk);
    QFETCH(int, cancelAtValue);
    QFETCH(bool, cancelInEnglish);
    QFETCH(int, settei);
    PulseOpsRig r;
    r.op.typeChoices = {{"30", typeOk}};
    r.progress.cancelAtValue = cancelAtValue;
    if (cancelInEnglish) {
        r.controller.setSilentFor("@WRITE PRM");
        QObject::connect(&r.controller, &VirtualController::lineHandled, [&](const QString& l) {
            if (l.startsWith("@WRITE PRM"))
                QTimer::singleShot(10, [&] { r.progress.clickCancel(); });
        });
    }
    auto& c = r.context();

    PulseTransfers::initParameters(c);

    QCOMPARE(r.opState.settei, settei);
    QVERIFY(r.restored());
}

QTEST_GUILESS_MAIN(TstPulseOperationState)
#include "tst_pulseoperationstate.moc"
