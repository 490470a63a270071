#include "DriveRig.h"
#include "FakeChannel.h"
#include "drive/IoMonitor.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using Answer = OperatorInteraction::Answer;
using Icon = OperatorInteraction::Icon;

namespace {
QList<QByteArray> bytesList(std::initializer_list<const char*> lines) {
    QList<QByteArray> out;
    for (const char* l : lines)
        out << QByteArray(l);
    return out;
}

// Enters Operation mode and takes the I/O monitor out of the way, so only the sequence under
// test talks to the controller.
void enterOperation(DriveRig& r) {
    r.panel.operationClicked();
    QVERIFY(r.drive.operationMode);
    r.panel.monitor().stop();
    r.controller.clearReceived();
}
} // namespace

// The point-input drive panel against the in-process virtual controller, without its window.
class TestDrive : public QObject {
    Q_OBJECT
  private slots:
    void panelFollowsMotion_data();
    void panelFollowsMotion();
    void stopReachesControllerDuringMotion_data();
    void stopReachesControllerDuringMotion();
    void startAsksReturnToOriginFirst_data();
    void startAsksReturnToOriginFirst();
    void setChecksRange_data();
    void setChecksRange();
    void originShiftSendsSoftLimitSuggestion();
    void originShiftNotTakenChangesNothing_data();
    void originShiftNotTakenChangesNothing();
    void positionReplies_data();
    void positionReplies();
    void dioLayouts_data();
    void dioLayouts();
    void ioPollSkippedWhileMotionRuns();
    void lowSpeedBoxes_data();
    void lowSpeedBoxes();
};

void TestDrive::panelFollowsMotion_data() {
    QTest::addColumn<QString>("scene");
    QTest::addColumn<QString>("at"); // the line during which the panel is looked at; empty: after
    // Setting, Operation, Stop, Org, Start, Direct Teaching, Teaching Playback usable; menus
    // locked; moving flag set.
    QTest::addColumn<QString>("state");
    QTest::newRow("Setting mode") << "setting"
                                  << ""
                                  << "1100011 00";
    QTest::newRow("Operation mode") << "operation"
                                    << ""
                                    << "1101100 10";
    QTest::newRow("return to origin, its reads") << "org"
                                                 << "@?PRM 35,"
                                                 << "0010000 10";
    QTest::newRow("return to origin, moving") << "org"
                                              << "@ORG"
                                              << "0010000 11";
    QTest::newRow("Setting clicked while moving") << "org setting"
                                                  << "@ORG"
                                                  << "0010000 11";
    QTest::newRow("point move") << "start"
                                << "@MOVP"
                                << "0010000 11";
    QTest::newRow("Direct Teaching, slider free") << "direct"
                                                  << ""
                                                  << "1000000 10";
    QTest::newRow("Direct Teaching, its return to origin") << "direct"
                                                           << "@ORG"
                                                           << "0000000 11";
    QTest::newRow("Teaching Playback") << "playback"
                                       << ""
                                       << "1000000 10";
    QTest::newRow("size detection, measuring") << "size"
                                               << "@GMAX"
                                               << "0000000 11";
}

// The panel's enabled states follow the motion state: nothing that could start a second
// motion or leave the mode is usable while one runs, and the moving flag covers exactly the
// motion's own exchange.
void TestDrive::panelFollowsMotion() {
    QFETCH(QString, scene);
    QFETCH(QString, at);
    QFETCH(QString, state);
    DriveRig r;
    r.controller.setOriginDone(true);
    r.controller.memory().setPoint(0, {"A", "15.00", "20", ""});
    r.host.texts[SizeCtl::Direction] = "C";
    r.host.texts[SizeCtl::Speed] = "5";
    r.host.texts[SizeCtl::Level] = "3";
    if (scene == "setting")
        r.panel.settingClicked();
    else if (scene != "direct" && scene != "playback" && scene != "size")
        enterOperation(r);
    const auto look = [&] {
        QString s;
        for (const char* name : {Ctl::Setting, Ctl::Operation, Ctl::Stop, Ctl::Org, Ctl::Start,
                                 PointCtl::Direct, PointCtl::Playback})
            s += r.host.isEnabled(name) ? u'1' : u'0';
        s += u' ';
        s += r.host.commandsLocked ? u'1' : u'0';
        s += r.opState.orgpos == 1 ? u'1' : u'0';
        return s;
    };
    QString seen;
    bool modeKept = true;
    connect(&r.controller, &VirtualController::lineHandled, this, [&](const QString& line) {
        if (at.isEmpty() || !seen.isEmpty() || !line.startsWith(at))
            return;
        r.panel.monitor().tick(); // an I/O poll now must change nothing
        seen = look();
        if (scene.endsWith("setting")) {
            r.panel.settingClicked();
            modeKept = r.drive.operationMode && look() == seen;
        }
    });
    if (scene.startsWith("org"))
        r.panel.orgClicked();
    else if (scene == "start")
        r.panel.startClicked();
    else if (scene == "direct")
        r.panel.teachingSelected(1);
    else if (scene == "playback")
        r.panel.teachingSelected(2);
    else if (scene == "size")
        r.size.teach(true);
    if (at.isEmpty())
        seen = look();
    QCOMPARE(seen, state);
    QVERIFY(modeKept);
    QCOMPARE(r.opState.orgpos, 0);
    QVERIFY(
        !r.op.texts("message").contains("The communication error. Please check the connection."));
}

void TestDrive::stopReachesControllerDuringMotion_data() {
    QTest::addColumn<bool>("pointMove");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("return to origin")
        << false
        << bytesList({"@?PRM 5,\r\n", "@?PRM 35,\r\n", "@?PRM 21,\r\n", "@ORG ,\r\n", "\x03"});
    QTest::newRow("point move") << true
                                << bytesList({"@?ORG ,\r\n", "@?P 0,\r\n", "@MOVP 0,\r\n", "\x03",
                                              "@?POS ,\r\n"});
}

void TestDrive::stopReachesControllerDuringMotion() {
    QFETCH(bool, pointMove);
    QFETCH(QList<QByteArray>, lines);
    DriveRig r;
    r.controller.setOriginDone(true);
    r.controller.memory().setPoint(0, {"A", "15.00", "20", ""});
    enterOperation(r);
    r.controller.setMotionDuration(3000);

    bool pendingAtStop = false;
    bool movingAtStop = false;
    QTimer::singleShot(300, this, [&] {
        pendingAtStop = r.link.motionPending();
        movingAtStop = r.controller.motionRunning();
        r.panel.stopClicked();
    });
    QElapsedTimer clock;
    clock.start();
    if (pointMove)
        r.panel.startClicked();
    else
        r.panel.orgClicked();

    QVERIFY(pendingAtStop && movingAtStop);
    QVERIFY2(clock.elapsed() < 2000, "the motion ran on after Stop");
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.link.errorText(), QString("STOP\r\n61:STOP COMMAND\r\n"));
    QVERIFY(!r.controller.motionRunning());
    QCOMPARE(r.op.texts("message"), QStringList()); // a stop is no error to report
    QVERIFY(r.drive.motion.idle() && r.opState.orgpos == 0);
    QVERIFY(r.host.isEnabled(Ctl::Start) && r.host.isEnabled(Ctl::Setting));
    QCOMPARE(r.host.stopDialogShows, pointMove ? 0 : 1);
    QVERIFY(!r.host.stopDialogShown);
}

void TestDrive::startAsksReturnToOriginFirst_data() {
    QTest::addColumn<bool>("returnToOrigin");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QList<QByteArray>>("lines");
    const QString origin = "Return to origin? Please push stop switch if you stop operating.";
    QTest::newRow("yes") << true << QStringList{origin, " Do you start?"}
                         << bytesList({"@?ORG ,\r\n", "@?PRM 5,\r\n", "@?PRM 35,\r\n",
                                       "@?PRM 21,\r\n", "@ORG ,\r\n", "@?POS ,\r\n", "@?P 2,\r\n",
                                       "@MOVP 2,\r\n", "@?POS ,\r\n"});
    // Without an origin the move is not started at all.
    QTest::newRow("no") << false << QStringList{origin} << bytesList({"@?ORG ,\r\n"});
}

void TestDrive::startAsksReturnToOriginFirst() {
    QFETCH(bool, returnToOrigin);
    QFETCH(QStringList, questions);
    QFETCH(QList<QByteArray>, lines);
    DriveRig r;
    r.controller.memory().setPoint(2, {"A", "12.00", "20", ""});
    r.host.pointRow = 2;
    enterOperation(r);
    r.op.answers = {returnToOrigin ? Answer::Yes : Answer::No, Answer::Yes};
    r.panel.startClicked();
    QCOMPARE(r.op.texts("yesno"), questions);
    QCOMPARE(r.op.prompts.first().title, QString("Return to origin"));
    // The question keeps its text; where the carriage goes stands beside it.
    if (returnToOrigin)
        QCOMPARE(r.op.last().informative,
                 QString("Point 2: mode A, position 12.00 mm (as the controller holds it)"));
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.controller.position(), returnToOrigin ? 1200 : 0);
    QCOMPARE(r.host.texts.value(Ctl::NowPosi), returnToOrigin ? QString("12.00") : QString());
    QVERIFY(r.host.commandsLocked); // Operation mode keeps its menus locked either way
    QVERIFY(r.host.isEnabled(Ctl::Start) && !r.host.isEnabled(Ctl::Stop));
}

void TestDrive::setChecksRange_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("position"); // the point's position afterwards; empty: refused
    QTest::newRow("99.99") << "99.99"
                           << "99.99";
    QTest::newRow("-99.99") << "-99.99"
                            << "-99.99";
    QTest::newRow("reformatted") << "7.5"
                                 << "7.50";
    QTest::newRow("100") << "100"
                         << "";
    QTest::newRow("-100") << "-100"
                          << "";
    QTest::newRow("not a number") << "1.2.3"
                                  << "";
}

void TestDrive::setChecksRange() {
    QFETCH(QString, typed);
    QFETCH(QString, position);
    DriveRig r;
    PointTableData table;
    table[3] = {"A", "1.00", "20", "", ""};
    r.points.setTable(table);
    r.host.pointRow = 3;
    r.host.texts[Ctl::Pos] = typed;
    r.panel.setClicked();
    if (position.isEmpty()) {
        QCOMPARE(r.op.prompts.size(), 1);
        QCOMPARE(r.op.last().title, QString("error"));
        QCOMPARE(r.op.last().text, QString("Please set a value as -99.99 to 99.99mm."));
        QCOMPARE(r.op.last().icon, Icon::Warning);
        QCOMPARE(r.host.texts.value(Ctl::Pos), QString("0.00"));
        QCOMPARE(r.host.focused, QStringList{Ctl::Pos});
        QCOMPARE(r.points.point(3).position, QString("1.00"));
        QVERIFY(!r.points.modified());
    } else {
        QVERIFY(r.op.prompts.isEmpty());
        QCOMPARE(r.host.texts.value(Ctl::Pos), position);
        QCOMPARE(r.points.point(3).position, position);
        QVERIFY(r.points.modified());
    }
    QVERIFY(r.controller.received().isEmpty());
}

void TestDrive::originShiftSendsSoftLimitSuggestion() {
    DriveRig r;
    r.controller.setParameter(35, "100");
    r.controller.setParameter(1, "2000");
    r.controller.setParameter(2, "-20");
    r.op.softLimits = {{1900, -60}}; // the operator changes the suggestion
    r.panel.targetSelected(true);
    r.host.texts[Ctl::Pos] = "1.5";
    r.panel.setClicked();

    // Each limit moves by the change of the shift: 2000 - 150 + 100 and -20 - 150 + 100.
    QCOMPARE(r.op.softLimitsShown.size(), 1);
    QCOMPARE(r.op.softLimitsShown[0].plus, 1950.0);
    QCOMPARE(r.op.softLimitsShown[0].minus, -70);
    QCOMPARE(r.op.texts("softlimit"), QStringList{QString()}); // within range: no note
    QCOMPARE(r.op.texts("yesno"),
             (QStringList{"Do you send virtual origin data?", "Is a soft limit also changed?"}));
    QCOMPARE(r.lines(), bytesList({"@?PRM 35,\r\n", "@WRITE PRM ,\r\n", "PRM35=150\r\n", "\x1a",
                                   "@?PRM 1,\r\n", "@?PRM 2,\r\n", "@WRITE PRM ,\r\n",
                                   "PRM1=1900\r\n", "PRM2=-60\r\n", "\x1a"}));
    QCOMPARE(r.controller.parameter(35), QString("150"));
    QCOMPARE(r.controller.parameter(1), QString("1900"));
    QCOMPARE(r.controller.parameter(2), QString("-60"));
    QCOMPARE(r.params.settingValue(35), QString("150"));
    QCOMPARE(r.params.settingValue(1), QString("1900"));
    QCOMPARE(r.params.settingValue(2), QString("-60"));
    QCOMPARE(r.host.status.value(2), QString("Origin point shift: 1.50"));
    QCOMPARE(r.op.last().title, QString("ok"));
    QCOMPARE(r.op.last().text, QString("Transmitting and receiving has finished."));
    QVERIFY(r.points.modified());
}

void TestDrive::originShiftNotTakenChangesNothing_data() {
    QTest::addColumn<QString>("refused"); // what the controller refuses
    QTest::newRow("the write command") << "@WRITE PRM";
    QTest::newRow("the shift's data line") << "PRM";
}

// SET of an origin point shift the controller did not take: the table, the status bar and the
// modified flag stay as they were (the failure has been reported).
void TestDrive::originShiftNotTakenChangesNothing() {
    QFETCH(QString, refused);
    DriveRig r;
    r.controller.setParameter(35, "100");
    r.params.setSettingValue(35, "100");
    r.host.status[2] = "Origin point shift: 1.00";
    if (refused == "PRM")
        r.controller.setNgForDataLine(1);
    else
        r.controller.setNgFor(refused);
    r.panel.targetSelected(true);
    r.host.texts[Ctl::Pos] = "1.5";
    r.panel.setClicked();
    QCOMPARE(r.controller.parameter(35), QString("100"));
    QCOMPARE(r.params.settingValue(35), QString("100"));
    QCOMPARE(r.host.status.value(2), QString("Origin point shift: 1.00"));
    QVERIFY(!r.points.modified());
    QCOMPARE(r.op.texts("yesno"), QStringList{"Do you send virtual origin data?"});
    QVERIFY(!r.op.texts("message").contains("Transmitting and receiving has finished."));
}

void TestDrive::positionReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown"); // empty: nothing shown
    QTest::addColumn<double>("carriage");
    QTest::newRow("?- form") << QByteArray("?-12.34\r\nOK\r\n") << "-12.34" << -11.34;
    QTest::newRow("? form") << QByteArray("?12.30\r\nOK\r\n") << "-12.30" << -11.30;
    QTest::newRow("blank") << QByteArray(" 12.30\r\nOK\r\n") << "12.30" << 13.30;
    QTest::newRow("beyond the drawing") << QByteArray(" 25.00\r\nOK\r\n") << "25.00" << -1.0;
    QTest::newRow("stopped") << QByteArray("STOP\r\n61:STOP COMMAND\r\n") << "" << -1.0;
    QTest::newRow("no number") << QByteArray("A5\r\nOK\r\n") << "" << -1.0;
}

void TestDrive::positionReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(double, carriage);
    FakeChannel channel;
    channel.replies = {{{5, reply}}};
    LinkState state;
    Link link(state, channel);
    ScriptedOperator op;
    FakeProgress progress;
    DriveState drive;
    drive.operationMode = true;
    drive.stroke = 2000;     // 20 mm
    drive.originShift = 100; // 1 mm
    FakePanelHost host(drive);
    OperationState opState;
    DriveContext c{{link, op, progress, host, opState}, host};
    Drive::readCurrentPosition(c);
    QCOMPARE(channel.written, QByteArray("@?POS ,\r\n"));
    QCOMPARE(host.texts.value(Ctl::NowPosi), shown);
    QCOMPARE(host.carriagePosition, carriage);
    QVERIFY(op.prompts.isEmpty());
}

void TestDrive::dioLayouts_data() {
    QTest::addColumn<bool>("newModel");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("lamps"); // lamps 0..13: 1 on, 0 off, - unchanged
    // New model: DO + alarm, servo, hold, in-position, busy, ready; DI + 10 inputs.
    QTest::newRow("new") << true << QByteArray("DO010101\r\nDI0000100001\r\nOK\r\n")
                         << "0101----100001";
    // Old model: DO + servo, hold, in-position, busy, ready; DI + 9 inputs; no lamp 8.
    QTest::newRow("old") << false << QByteArray("DO11010\r\nDI000010001\r\nOK\r\n")
                         << "1010-----10001";
    QTest::newRow("input not 0 lights")
        << true << QByteArray("DO010101\r\nDI00002000?1\r\nOK\r\n") << "0101----100011";
    QTest::newRow("too short") << true << QByteArray("DO0101010000000000000\r\n")
                               << "--------------";
    QTest::newRow("not DIO") << true << QByteArray("NG\r\n37:RANGE OVER\r\nOK\r\n")
                             << "--------------";
}

void TestDrive::dioLayouts() {
    QFETCH(bool, newModel);
    QFETCH(QByteArray, reply);
    QFETCH(QString, lamps);
    QString shown(14, u'-');
    const auto layout = newModel ? DioLayout::newModel() : DioLayout::oldModel();
    for (const auto& [index, on] : Dio::lamps(QString::fromLatin1(reply), layout))
        shown[index] = on ? u'1' : u'0';
    QCOMPARE(shown, lamps);
    QCOMPARE(Dio::isNewModel(QString::fromLatin1(reply)), !reply.startsWith("DO11010"));
}

void TestDrive::ioPollSkippedWhileMotionRuns() {
    DriveRig r;
    r.controller.setServoOn(true);
    r.controller.setInputs("0000000001");
    enterOperation(r);
    IoMonitor& monitor = r.panel.monitor();
    r.drive.motion.begin(Motion::StopControl::Button);
    r.drive.motion.setPhase(Motion::Phase::Moving);
    QVERIFY(!monitor.running()); // no poll waits in front of a sequence's exchanges
    monitor.tick();
    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(monitor.guard(), QString()); // the monitor goes on after the motion

    r.drive.motion.end();
    QVERIFY(monitor.running());
    monitor.stop();
    monitor.tick();
    QCOMPARE(r.lines(), bytesList({"@READ DIO ,\r\n", "@?POS ,\r\n"}));
    QVERIFY(r.host.lamps[3]);  // ready
    QVERIFY(r.host.lamps[13]); // Pos 0: the last input
    QVERIFY(!r.host.lamps[8]);
    QCOMPARE(r.host.texts.value(Ctl::NowPosi), QString("0.00"));

    // A controller that stops answering is told once; the monitor goes on polling quietly,
    // with the lamps' state shown as unknown, so the lamps follow the controller again as
    // soon as it answers. A failure after an answer is told again.
    const QString told = "The communication error. Please check the connection.";
    const auto polls = [&] { return r.controller.received().count("@READ DIO"); };
    const qsizetype before = polls();
    r.controller.setSilent(true);
    monitor.tick();
    monitor.tick();
    QCOMPARE(polls(), before + 2);
    QCOMPARE(r.op.texts("message"), QStringList{told});
    QCOMPARE(r.op.beeps, 1);
    QCOMPARE(r.op.last().title, QString("I/O monitor"));
    QVERIFY(monitor.lastPollFailed() && r.host.silent);
    QCOMPARE(r.host.silentLine, r.link.lineName());
    QCOMPARE(monitor.guard(), QString());
    r.controller.setSilent(false);
    r.controller.setInputs("0000000000");
    monitor.tick();
    QVERIFY(!monitor.lastPollFailed() && !r.host.silent);
    QVERIFY(!r.host.lamps[13]);
    r.controller.setSilent(true);
    monitor.tick();
    QCOMPARE(r.op.texts("message"), (QStringList{told, told}));
    // Setting mode forgets the silence.
    r.controller.setSilent(false);
    r.panel.settingClicked();
    QVERIFY(!r.host.silent);

    // A sequence run from inside a poll's exchange starts the monitor again (and an answered
    // action clears the guard): the poll still under way keeps a second one from starting.
    int nestedPolls = 0;
    IoMonitor nested([] { return true; },
                     [&](bool) {
                         ++nestedPolls;
                         nested.start();
                         nested.clearGuard();
                         nested.tick();
                         return IoMonitor::PollResult::Answered;
                     });
    nested.tick();
    QCOMPARE(nestedPolls, 1);
}

void TestDrive::lowSpeedBoxes_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("parameter");
    QTest::addColumn<QString>("stored"); // empty: refused, the table keeps its value
    QTest::newRow("speed 10") << "Txt_spd"
                              << "10" << 7 << "10";
    QTest::newRow("speed 11") << "Txt_spd"
                              << "11" << 7 << "";
    QTest::newRow("speed 0") << "Txt_spd"
                             << "0" << 7 << "";
    QTest::newRow("speed 2.5") << "Txt_spd"
                               << "2.5" << 7 << "";
    QTest::newRow("dist 0.01") << "Txt_Dist"
                               << "0.01" << 8 << "1";
    QTest::newRow("dist 99.99") << "Txt_Dist"
                                << "99.99" << 8 << "9999";
    QTest::newRow("dist 100") << "Txt_Dist"
                              << "100" << 8 << "";
    QTest::newRow("limit 0") << "Txt_Limit"
                             << "0" << 9 << "";
}

void TestDrive::lowSpeedBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(int, parameter);
    QFETCH(QString, stored);
    DriveRig r;
    r.params.setSettingValue(7, "5");
    const QString before = r.params.settingValue(parameter);
    r.host.texts[box] = typed;
    r.panel.lowSpeedEdited(box);
    QCOMPARE(r.host.refreshes, 1); // the box shows the table again
    if (stored.isEmpty()) {
        QCOMPARE(r.params.settingValue(parameter), before);
        QCOMPARE(r.op.last().title, QString("error"));
        QCOMPARE(r.op.last().text, parameter == 7
                                       ? QString("Please set a value within 1 to 10 (mm/s).")
                                       : QString("Please set a value within 0.01 to 99.99mm."));
        QVERIFY(!r.points.modified());
    } else {
        QCOMPARE(r.params.settingValue(parameter), stored);
        QVERIFY(r.op.prompts.isEmpty());
        QCOMPARE(r.points.modified(), stored != before);
    }
}

QTEST_MAIN(TestDrive)
#include "tst_drive.moc"
