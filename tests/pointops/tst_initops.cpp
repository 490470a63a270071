// Init > Points, Init > Parameters and Init > ORG against the in-process virtual controller.
#include "FakeProgress.h"
#include "OpsRig.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointops/InitOps.h"
#include "pointops/PointOpsContext.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QTest>

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

namespace {

struct Rig : OpsRig {
    QString setting(int number) const { return params.settingValue(number); }
};

PointTableData notedTable() {
    PointTableData t{};
    for (int n = 0; n < PointCount; n += 2)
        t[n] = {"U", "1.00", "10", "3", QStringLiteral("work %1").arg(n)};
    t[1] = {"A", "2.00", "20", "", ""};
    return t;
}

PointTableData notesOnly() {
    PointTableData t = notedTable();
    for (PointRecord& p : t)
        p = PointRecord{.note = p.note};
    return t;
}

const QByteArray ParameterQueries = "@?VER ,\r\n@READ DIO ,\r\n@?PRM 0,\r\n";

} // namespace

class TstInitOps final : public QObject {
    Q_OBJECT
  private slots:
    void initPointsKeepsNotes();
    void initPointsCancelledSaveSendsNothing();
    void initPointsCancelKeepsRemainingPoints();
    void initPointsRefused();
    void initParametersTypeDialogCancelled();
    void initParametersWithEnglish();
    void initParametersWithoutEnglish();
    void initParametersRefusedEnglishLine();
    void initOrigin();
    void initOriginRefusedOrDeclined();
};

void TstInitOps::initPointsKeepsNotes() {
    Rig r;
    r.controller.memory().setPoint(3, {"A", "1.00", "10", ""});
    r.points.setTable(notedTable());
    auto c = r.context();

    InitOps::initPoints(c);

    QCOMPARE(r.controller.received(), QByteArray("@INIT PNT ,\r\n"));
    QVERIFY(!r.controller.memory().point(3).isSet());
    QCOMPARE(r.points.table(), notesOnly());
    QVERIFY(!r.host.calls.contains("confirmDiscard")); // nothing unsaved
    QCOMPARE(r.op.prompts.size(), 2);
    QCOMPARE(r.op.prompts[0].title, QString("Point initialization"));
    QCOMPARE(r.op.prompts[0].text, QString(" Do you initialize point data?"));
    QCOMPARE(r.op.last().title, QString("Point initialization"));
    QCOMPARE(r.op.last().text, QString("Initializing has completed."));
    QCOMPARE(r.progress.maximum, 63);
    QVERIFY(r.restored());
}

void TstInitOps::initPointsCancelledSaveSendsNothing() {
    Rig r;
    r.points.setTable(notedTable());
    r.points.setModified(true);
    r.host.discardAnswer = false;
    r.host.toolbarEnabled = false;
    auto c = r.context();

    InitOps::initPoints(c);

    QCOMPARE(r.host.calls, QStringList{"confirmDiscard"});
    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.points.table(), notedTable());
    QVERIFY(r.restored());
}

void TstInitOps::initPointsCancelKeepsRemainingPoints() {
    Rig r;
    r.points.setTable(notedTable());
    r.progress.cancelAtValue = 10;
    auto c = r.context();

    InitOps::initPoints(c);

    const PointTableData t = r.points.table();
    QCOMPARE(t[8], notesOnly()[8]);
    QCOMPARE(t[10], notedTable()[10]);
    QCOMPARE(r.op.texts("message"), QStringList{"Stop"});
    QCOMPARE(r.op.last().title, QString("Point initialization"));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QVERIFY(r.restored());
}

void TstInitOps::initPointsRefused() {
    Rig r;
    r.controller.setNgFor("@INIT PNT");
    r.points.setTable(notedTable());
    auto c = r.context();

    InitOps::initPoints(c);

    QCOMPARE(r.points.table(), notedTable());
    QVERIFY(r.link.errorText().startsWith("NG\r\n"));
    QVERIFY(!r.op.texts("message").contains("Initializing has completed."));
    QVERIFY(r.restored());
}

void TstInitOps::initParametersTypeDialogCancelled() {
    Rig r;
    r.controller.setActuatorType(32);
    r.op.typeChoices = {{"33", 0}};
    const ParameterTableData before = r.params.table();
    auto c = r.context();

    InitOps::initParameters(c);

    QCOMPARE(r.controller.received(), ParameterQueries);
    QCOMPARE(r.controller.actuatorType(), 32);
    QCOMPARE(r.params.table(), before);
    QCOMPARE(r.op.prompts.size(), 2);
    QCOMPARE(r.op.prompts[0].title, QString("Parameter initialization"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you initialize parameter data?"));
    QCOMPARE(r.op.last().kind, QString("type"));
    QCOMPARE(r.op.last().text, QString("32")); // the controller's type preselected
    QCOMPARE(r.host.refreshes, 1);
    QVERIFY(r.restored());
}

void TstInitOps::initParametersWithEnglish() {
    Rig r;
    r.params.setSettingValue(35, "250");
    r.points.setModified(true);
    r.op.typeChoices = {{"33", 1}};
    r.op.answers = {Answer::Yes, Answer::Yes};
    auto c = r.context();

    InitOps::initParameters(c);

    QCOMPARE(r.host.calls.count("confirmDiscard"), 1);
    QCOMPARE(r.controller.received(), ParameterQueries + "@INIT PRM 33,\r\n@WRITE PRM ,\r\n"
                                                         "PRM22 = 0\r\n\x1a");
    QCOMPARE(r.controller.actuatorType(), 33);
    QCOMPARE(r.controller.parameter(21), QString("4000"));
    QCOMPARE(r.controller.parameter(22), QString("0"));

    QStringList expected = PointParameters::defaultValues("33");
    const ParameterTableData t = r.params.table();
    for (int row = 0; row < ParameterCount; ++row)
        QCOMPARE(t[row].initial, expected[row]);
    expected[PointParameters::rowOfParameter(22)] = "0"; // the window follows the controller
    for (int row = 0; row < ParameterCount; ++row)
        QCOMPARE(t[row].setting, expected[row]);

    QCOMPARE(r.op.texts("message"), (QStringList{"Initializing has completed.", "    Complete."}));
    const auto& english = r.op.prompts[r.op.prompts.size() - 2];
    QCOMPARE(english.title, QString("Parameter"));
    QCOMPARE(english.text, QString("Do you change to English?"));
    QCOMPARE(r.op.last().title, QString("Parameter"));
    QCOMPARE(r.progress.maximum, 19);
    QVERIFY(r.host.refreshes >= 1);
    QVERIFY(r.restored());
}

void TstInitOps::initParametersWithoutEnglish() {
    Rig r;
    r.op.typeChoices = {{"31", 1}};
    r.op.answers = {Answer::Yes, Answer::No};
    auto c = r.context();

    InitOps::initParameters(c);

    QCOMPARE(r.controller.received(), ParameterQueries + "@INIT PRM 31,\r\n");
    QCOMPARE(r.setting(0), QString("31"));
    QCOMPARE(r.setting(22), QString("1"));
    QCOMPARE(r.op.last().text, QString("Do you change to English?"));
    QVERIFY(r.restored());
}

void TstInitOps::initParametersRefusedEnglishLine() {
    Rig r;
    r.controller.setNgForDataLine(1);
    r.op.typeChoices = {{"30", 1}};
    auto c = r.context();

    InitOps::initParameters(c);

    QCOMPARE(r.controller.parameter(22), QString("1"));
    QCOMPARE(r.setting(22), QString("1"));
    QCOMPARE(r.op.last().text, QString("Cannot receive data from controller."));
    QVERIFY(!r.op.texts("message").contains("    Complete."));
    QVERIFY(r.restored());
}

void TstInitOps::initOrigin() {
    Rig r;
    r.controller.setOriginDone(true);
    r.opState.settei = 1;
    auto c = r.context();

    InitOps::initOrigin(c);

    QCOMPARE(r.controller.received(), QByteArray("@INIT ORG ,\r\n"));
    QVERIFY(!r.controller.originDone());
    QCOMPARE(r.op.prompts[0].title, QString("Initialization of the origin"));
    QCOMPARE(r.op.prompts[0].text, QString(" Do you initialize the origin?"));
    QCOMPARE(r.op.last().title, QString("Initialization of the origin"));
    QCOMPARE(r.op.last().text, QString("Initialization of the origin has finished."));
    QCOMPARE(r.opState.settei, 0);
    QVERIFY(r.restored());
}

void TstInitOps::initOriginRefusedOrDeclined() {
    Rig r;
    r.controller.setNgFor("@INIT ORG");
    r.op.answers = {Answer::No, Answer::Yes};
    auto c = r.context();

    InitOps::initOrigin(c);
    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.op.prompts.size(), 1);

    InitOps::initOrigin(c);
    QCOMPARE(r.controller.received(), QByteArray("@INIT ORG ,\r\n"));
    QCOMPARE(r.op.last().text, QString("Cannot receive data from controller."));
    QCOMPARE(r.op.last().title, QString("Error"));
    QVERIFY(r.restored());
}

QTEST_GUILESS_MAIN(TstInitOps)
#include "tst_initops.moc"
