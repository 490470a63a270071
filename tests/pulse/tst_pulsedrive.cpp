// The pulse-train operation panel and direct teaching against the in-process virtual
// controller, without their window.
#include "DriveRig.h"
#include "drive/IoMonitor.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using Answer = OperatorInteraction::Answer;

namespace {

struct PulseRig : PulseDriveRig {
    // Operation mode with the I/O monitor out of the way and a clean line.
    void enterOperation() {
        panel.operationClicked();
        QVERIFY(drive.operationMode);
        panel.monitor().stop();
        controller.clearReceived();
        op.prompts.clear();
    }
};

QList<QByteArray> bytesList(std::initializer_list<const char*> lines) {
    QList<QByteArray> out;
    for (const char* l : lines)
        out << QByteArray(l);
    return out;
}

const QString AskOrigin = "Execute return to origin? If stopping in operations required, press "
                          "Pop-up button.";
const QString AskServoOff = "Do you turn off the power of motor? Cannot change the mode during "
                            "turning off the power of motor.";
const QByteArray OriginReturn = "@?PRM 5,\r\n@?PRM 35,\r\n@?PRM 0,\r\n@ORG ,\r\n@?POS ,\r\n";

} // namespace

class TestPulseDrive : public QObject {
    Q_OBJECT
  private slots:
    void operationMode_data();
    void operationMode();
    void switches_data();
    void switches();
    void startSequence_data();
    void startSequence();
    void stopDuringMotion_data();
    void stopDuringMotion();
    void ioPoll();
    void directTeaching_data();
    void directTeaching();
    void teachingEndsOnNoOrFailure_data();
    void teachingEndsOnNoOrFailure();
    void setChecksTheTarget_data();
    void setChecksTheTarget();
    void virtualOriginNotTakenChangesNothing();
};

void TestPulseDrive::operationMode_data() {
    QTest::addColumn<int>("press"); // "@?PRS " answer
    QTest::addColumn<QString>("silentFor");
    QTest::addColumn<QString>("operationType"); // caption; empty: button disabled
    QTest::newRow("positioning") << 0 << ""
                                 << "Pushing operation";
    QTest::newRow("pushing") << 2 << ""
                             << "Positioning operation";
    QTest::newRow("switch under way") << 3 << ""
                                      << "";
    QTest::newRow("no servo answer") << 0 << "@?SRVO"
                                     << "";
}

void TestPulseDrive::operationMode() {
    QFETCH(int, press);
    QFETCH(QString, silentFor);
    QFETCH(QString, operationType);
    PulseRig r;
    r.controller.setActuatorType(31);
    r.controller.setServoOn(true);
    r.controller.setPushingOperation(press == 2);
    r.controller.setPressTransition(press == 3 ? 3 : 0);
    if (!silentFor.isEmpty())
        r.controller.setSilentFor(silentFor);
    r.panel.operationClicked();

    QCOMPARE(r.lines().mid(0, 4),
             bytesList({"@?PRM 0,\r\n", "@?PRM 5,\r\n", "@?PRM 35,\r\n", "@?SRVO ,\r\n"}));
    if (!silentFor.isEmpty()) {
        // Back in Setting mode, with the failure reported under the operation's title.
        QCOMPARE(r.op.texts("message"),
                 QStringList{"The communication error. Please check the connection."});
        QCOMPARE(r.op.last().title, QString("Drive"));
        QVERIFY(!r.drive.operationMode && !r.host.commandsLocked && !r.zones.locked());
        QCOMPARE(r.host.colour(Ctl::Setting), std::optional<quint32>(0x00FF00));
        QVERIFY(!r.host.isEnabled(Ctl::Org) && !r.panel.monitor().running());
        return;
    }
    QCOMPARE(r.lines().value(4), QByteArray("@?PRS ,\r\n"));
    QVERIFY(r.drive.operationMode && r.host.commandsLocked && r.zones.locked());
    QCOMPARE(r.drive.stroke, 4000.0);
    QCOMPARE(r.host.colour(Ctl::Operation), std::optional<quint32>(0xFF00FF));
    QCOMPARE(r.host.texts.value(PulseCtl::Servo), QString("Servo OFF"));
    QCOMPARE(r.host.isEnabled(PulseCtl::OperationType), !operationType.isEmpty());
    if (!operationType.isEmpty())
        QCOMPARE(r.host.texts.value(PulseCtl::OperationType), operationType);
    for (const char* name : {Ctl::Org, Ctl::Start, PulseCtl::Servo, PulseCtl::Deviation,
                             PulseCtl::Brake, PulseCtl::Alarm})
        QVERIFY2(r.host.isEnabled(name), name);
    for (const char* name : {Ctl::Stop, Ctl::Set, Ctl::TargetP, PulseCtl::TeachingFrame})
        QVERIFY2(!r.host.isEnabled(name), name);
    QVERIFY(r.panel.monitor().running());
}

void TestPulseDrive::switches_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("on"); // servo on, or pushing operation
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("ngFor");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("caption"); // afterwards; empty: not checked
    QTest::newRow("servo on") << "Cmd_Srvo" << false << Answer::Yes << ""
                              << "Servo"
                              << "Execute servo ON?" << bytesList({"@?SRVO ,\r\n", "@SRVO 1,\r\n"})
                              << "Servo OFF";
    QTest::newRow("servo off") << "Cmd_Srvo" << true << Answer::Yes << ""
                               << "Servo"
                               << "Execute servo OFF?"
                               << bytesList({"@?SRVO ,\r\n", "@SRVO 0,\r\n"}) << "Servo ON";
    QTest::newRow("servo declined")
        << "Cmd_Srvo" << true << Answer::No << ""
        << "Servo"
        << "Execute servo OFF?" << bytesList({"@?SRVO ,\r\n"}) << "Servo OFF";
    QTest::newRow("to pushing") << "Cmd_Dousa" << false << Answer::Yes << ""
                                << "Press"
                                << "Change to pushing operation?"
                                << bytesList({"@?PRS ,\r\n", "@PRESS 1,\r\n"})
                                << "Positioning operation";
    QTest::newRow("to positioning")
        << "Cmd_Dousa" << true << Answer::Yes << ""
        << "Press"
        << "Change to positioning operation?" << bytesList({"@?PRS ,\r\n", "@PRESS 0,\r\n"})
        << "Pushing operation";
    QTest::newRow("alarm") << "Cmd_Alarm" << false << Answer::Yes << ""
                           << "Canceling alarm"
                           << "Cancel alarm?" << bytesList({"@ALR ,\r\n"}) << "";
    QTest::newRow("deviation refused")
        << "Cmd_Cclr" << false << Answer::Yes << "@CCLR"
        << "Clearing pulse-deviation"
        << "Clear pulse-deviation?" << bytesList({"@CCLR ,\r\n"}) << "";
}

// Each switch against the controller; the I/O monitor goes on polling after a failed poll.
void TestPulseDrive::switches() {
    QFETCH(QString, button);
    QFETCH(bool, on);
    QFETCH(Answer, answer);
    QFETCH(QString, ngFor);
    QFETCH(QString, title);
    QFETCH(QString, question);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, caption);
    PulseRig r;
    r.controller.setServoOn(on);
    r.controller.setPushingOperation(on);
    r.controller.setAlarm(true);
    r.enterOperation();
    // A refused poll is reported, and the monitor goes on polling.
    r.controller.setNgFor("@READ DIO");
    r.panel.monitor().tick();
    QVERIFY(r.panel.monitor().lastPollFailed());
    QCOMPARE(r.panel.monitor().guard(), QString());
    r.controller.clearNgFor("@READ DIO");
    r.controller.clearReceived();
    r.op.prompts.clear();
    if (!ngFor.isEmpty())
        r.controller.setNgFor(ngFor);

    r.op.answers = {answer};
    if (button == "Cmd_Srvo")
        r.panel.servoClicked();
    else if (button == "Cmd_Dousa")
        r.panel.operationTypeClicked();
    else if (button == "Cmd_Alarm")
        r.panel.alarmClicked();
    else
        r.panel.deviationClicked();

    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.op.prompts.first().kind, QString("yesno"));
    QCOMPARE(r.op.prompts.first().title, title);
    QCOMPARE(r.op.prompts.first().text, question);
    if (!caption.isEmpty())
        QCOMPARE(r.host.texts.value(button), caption);
    if (!ngFor.isEmpty()) {
        QCOMPARE(r.op.last().text, QString("Cannot receive data from controller."));
        QVERIFY(r.link.errorText().startsWith("NG\r\n"));
    } else if (button == "Cmd_Alarm") {
        QVERIFY(!r.controller.alarm());
    }
}

void TestPulseDrive::startSequence_data() {
    QTest::addColumn<bool>("originDone");
    QTest::addColumn<bool>("servoOn");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("told"); // the titles of the messages shown
    // The start's own commands are written as they stand: no comma, no CR LF. The zone read
    // before them tells the question where the carriage goes.
    QTest::newRow("origin set, servo off")
        << true << false << QList<Answer>{Answer::Yes} << QStringList{"Do you start?"}
        << QByteArray("@READ ZON ,\r\n@?SRVO@SRVO 1@?ORG@MOVP 2") << 750 << QStringList{};
    QTest::newRow("origin set, servo on")
        << true << true << QList<Answer>{Answer::Yes} << QStringList{"Do you start?"}
        << QByteArray("@READ ZON ,\r\n@?SRVO@?ORG@MOVP 2") << 750 << QStringList{};
    QTest::newRow("origin first") << false << true
                                  << QList<Answer>{Answer::Yes, Answer::Yes, Answer::Yes}
                                  << QStringList{"Do you start?", AskOrigin, "Do you start?"}
                                  << QByteArray("@READ ZON ,\r\n@?SRVO@?ORG" + OriginReturn +
                                                "@?SRVO@?ORG@MOVP 2")
                                  << 750 << QStringList{};
    QTest::newRow("origin declined")
        << false << true << QList<Answer>{Answer::Yes, Answer::No}
        << QStringList{"Do you start?", AskOrigin} << QByteArray("@READ ZON ,\r\n@?SRVO@?ORG") << 0
        << QStringList{};
    QTest::newRow("not started") << true << true << QList<Answer>{Answer::No}
                                 << QStringList{"Do you start?"} << QByteArray("@READ ZON ,\r\n")
                                 << 0 << QStringList{};
    // A reply cut short by the time-out says nothing, whatever it holds: no move.
    QTest::newRow("origin query cut short")
        << true << true << QList<Answer>{Answer::Yes} << QStringList{"Do you start?"}
        << QByteArray("@READ ZON ,\r\n@?SRVO@?ORG") << 0 << QStringList{"Motor excitation"};
}

void TestPulseDrive::startSequence() {
    QFETCH(bool, originDone);
    QFETCH(bool, servoOn);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, questions);
    QFETCH(QByteArray, written);
    QFETCH(int, position);
    QFETCH(QStringList, told);
    PulseRig r;
    r.controller.setOriginDone(originDone);
    r.controller.setServoOn(servoOn);
    r.controller.memory().setZone(2, {"7.50", "9.00", {}});
    r.host.zoneCell = {2, ZoneRules::ColNote};
    r.enterOperation();
    r.op.answers = answers;
    if (!told.isEmpty()) {
        r.controller.setSilentFor("@?ORG");
        connect(&r.controller, &VirtualController::lineHandled, this, [&](const QString& line) {
            if (line == "@?ORG")
                r.controller.inject("1");
        });
    }
    // Stop is usable, and coloured so, from the start's first step.
    std::optional<quint32> stopColour;
    r.op.onPrompt = [&](const ScriptedOperator::Prompt&) {
        if (!stopColour)
            stopColour = r.host.colour(Ctl::Stop);
    };
    r.panel.startClicked();
    QCOMPARE(stopColour, std::optional<quint32>(0xFF80FF));

    QCOMPARE(r.op.texts("yesno"), questions);
    QCOMPARE(r.op.prompts.first().title, QString("Start"));
    QCOMPARE(r.op.prompts.first().informative,
             QString("Zone 2: position A 7.50 mm (as the controller holds it)"));
    QCOMPARE(r.controller.received(), written);
    QCOMPARE(r.controller.position(), position);
    QStringList titles;
    for (const auto& p : r.op.prompts)
        if (p.kind == "message")
            titles << p.title;
    QCOMPARE(titles, told);
    QVERIFY(r.drive.motion.idle() && r.opState.orgpos == 0);
    QVERIFY(r.host.isEnabled(Ctl::Setting) && r.host.isEnabled(Ctl::Start));
    QVERIFY(!r.host.isEnabled(Ctl::Stop));
    // The servo stays usable after a start; alarm cancel and deviation clear wait for Stop or
    // Org.
    QVERIFY(r.host.isEnabled(PulseCtl::Servo));
    QVERIFY(!r.host.isEnabled(PulseCtl::Alarm) && !r.host.isEnabled(PulseCtl::Deviation));
    QCOMPARE(r.host.colour(Ctl::Start), std::optional<quint32>(0xE0E0E0));
    QVERIFY(r.panel.monitor().running());
}

void TestPulseDrive::stopDuringMotion_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<bool>("exit"); // closing the window instead of Stop
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("return to origin")
        << "org" << false << QByteArray("@?PRM 5,\r\n@?PRM 35,\r\n@?PRM 0,\r\n@ORG ,\r\n\x03");
    QTest::newRow("start") << "start" << false
                           << QByteArray("@READ ZON ,\r\n@?SRVO@?ORG@MOVP 0\x03");
    QTest::newRow("exit during return to origin")
        << "org" << true << QByteArray("@?PRM 5,\r\n@?PRM 35,\r\n@?PRM 0,\r\n@ORG ,\r\n\x03");
}

// The stop character reaches the line while the motion's exchange waits; that exchange then
// ends with the controller's STOP.
void TestPulseDrive::stopDuringMotion() {
    QFETCH(QString, motion);
    QFETCH(bool, exit);
    QFETCH(QByteArray, written);
    PulseRig r;
    r.controller.setOriginDone(true);
    r.controller.setServoOn(true);
    r.controller.memory().setZone(0, {"15.00", "20.00", {}});
    r.enterOperation();
    r.controller.setMotionDuration(3000);

    bool pendingAtStop = false;
    QTimer::singleShot(300, this, [&] {
        pendingAtStop = r.link.motionPending() && r.controller.motionRunning();
        if (exit)
            r.panel.stopForExit();
        else
            r.panel.stopClicked();
    });
    QElapsedTimer clock;
    clock.start();
    if (motion == "org")
        r.panel.orgClicked();
    else
        r.panel.startClicked();

    QVERIFY(pendingAtStop);
    QVERIFY2(clock.elapsed() < 2000, "the motion ran on after Stop");
    QCOMPARE(r.controller.received(), written);
    QCOMPARE(r.link.errorText(), QString("STOP\r\n61:STOP COMMAND\r\n"));
    QVERIFY(!r.controller.motionRunning() && r.drive.motion.idle());
    QCOMPARE(r.op.texts("message"), QStringList()); // a stop is no error to report
    QCOMPARE(r.host.stopDialogShows, 0);            // Operation mode has its own Stop
    QVERIFY(r.host.isEnabled(Ctl::Start) && !r.host.isEnabled(Ctl::Stop));
    QCOMPARE(r.panel.monitor().running(), !exit);
}

void TestPulseDrive::ioPoll() {
    PulseRig r;
    r.controller.setServoOn(true);
    r.controller.setPosition(500);
    r.controller.setInputs("0000001011"); // PRESS, CCLR and ALR inputs
    r.enterOperation();
    r.controller.setServoOn(false);
    r.controller.setPressTransition(1);
    r.panel.monitor().tick();

    QCOMPARE(r.lines(),
             bytesList({"@READ DIO ,\r\n", "@?POS ,\r\n", "@?SRVO ,\r\n", "@?PRS ,\r\n"}));
    // ZONE off (no zone set), INPOS/HOLD on, ENABLE off (servo off), READY off.
    QCOMPARE(r.host.lamps[0], false);
    QCOMPARE(r.host.lamps[1], true);
    QCOMPARE(r.host.lamps[2], false);
    QVERIFY(r.host.lamps[10] && r.host.lamps[12] && r.host.lamps[13]);
    QCOMPARE(r.host.texts.value(Ctl::NowPosi), QString("5.00"));
    QCOMPARE(r.host.carriagePosition, 5.0);
    QCOMPARE(r.host.texts.value(PulseCtl::Servo), QString("Servo ON"));
    QVERIFY(!r.host.isEnabled(PulseCtl::OperationType)); // a switch under way
    QCOMPARE(r.panel.monitor().guard(), QString());

    // A poll refused over and over is told once, its later refusals quietly.
    r.controller.setNgFor("@?SRVO");
    r.panel.monitor().tick();
    r.panel.monitor().tick();
    QCOMPARE(r.op.texts("message"), QStringList{"Cannot receive data from controller."});
    QVERIFY(r.host.silent);
    r.controller.clearNgFor("@?SRVO");
    r.panel.monitor().tick();
    QVERIFY(!r.host.silent);
}

void TestPulseDrive::directTeaching_data() {
    QTest::addColumn<bool>("originShift");
    QTest::addColumn<int>("position"); // 0.01 mm
    QTest::newRow("zone cell") << false << 1234;
    // The origin shift 0 when teaching began: 1.23 mm becomes 123.
    QTest::newRow("origin shift") << true << 123;
}

void TestPulseDrive::directTeaching() {
    QFETCH(bool, originShift);
    QFETCH(int, position);
    PulseRig r;
    r.host.zoneCell = {1, ZoneRules::ColB};
    r.op.answers = {Answer::Yes, Answer::Yes}; // return to origin, servo off
    r.panel.teachClicked(originShift);

    QCOMPARE(r.op.texts("yesno"), (QStringList{AskOrigin, AskServoOff}));
    QCOMPARE(r.op.prompts.at(0).title, QString("Direct Teach"));
    QCOMPARE(r.op.prompts.at(1).title, QString("Servo"));
    QVERIFY(r.panel.teaching() && r.host.commandsLocked && r.zones.locked());
    QCOMPARE(r.host.status.value(2), QString("Origin point shift: 0.00"));
    QVERIFY(!r.controller.servoOn());
    // The slider moved by hand; the polling follows it.
    r.controller.setPosition(position);
    const QString shown = QString::number(position / 100.0, 'f', 2);
    QTRY_COMPARE(r.host.texts.value(Ctl::Pos), shown);
    QVERIFY(r.host.selected.contains(Ctl::Pos)); // what SET takes stands selected
    QCOMPARE(r.lines().mid(0, 10),
             controllerLines(OriginReturn + "@?PRM 35,\r\n@?PRM 35,\r\n@SRVO 0,\r\n@?POS ,\r\n"
                                            "@?PRM 35,\r\n"));

    r.controller.clearReceived();
    r.op.prompts.clear();
    if (!originShift) {
        r.op.answers = {Answer::No}; // teaching goes on
        r.panel.setClicked();
        QCOMPARE(r.op.texts(), QStringList{"Terminate teaching setting?"});
        QCOMPARE(r.op.last().title, QString("Teaching"));
        QCOMPARE(r.zones.zone(1).b, shown);
        QVERIFY(r.zones.modified());
        QVERIFY(r.panel.teaching());
        QTRY_VERIFY(r.lines().contains("@?POS ,\r\n"));
        // "End teaching" (or Escape) ends it without SET: nothing more is written.
        r.controller.setPosition(position + 100);
        QTRY_VERIFY(r.host.texts.value(Ctl::Pos) != shown);
        QVERIFY(r.host.isEnabled(PulseCtl::EndTeaching));
        r.op.answers = {Answer::No}; // no return to origin
        r.panel.endTeachingClicked();
        QVERIFY(!r.panel.teaching() && !r.host.commandsLocked);
        QCOMPARE(r.zones.zone(1).b, shown);
        QCOMPARE(r.op.last().text, AskOrigin);
        QVERIFY(!r.host.isEnabled(PulseCtl::EndTeaching));
        return;
    }
    // Send, terminate, no return to origin: back in Setting mode.
    r.op.answers = {Answer::Yes, Answer::Yes, Answer::No};
    r.panel.setClicked();
    QCOMPARE(r.lines(), bytesList({"@WRITE PRM ,\r\n", "PRM35=123\r\n", "\x1a", "@?PRM 35,\r\n"}));
    QCOMPARE(r.controller.parameter(35), QString("123"));
    QCOMPARE(r.params.settingValue(35), QString("123"));
    QCOMPARE(r.host.status.value(2), QString("Origin point shift: 1.23"));
    QCOMPARE(r.op.texts(), (QStringList{"Do you send virtual origin data?",
                                        "Transmitting and receiving has finished.",
                                        "Terminate teaching setting?", AskOrigin}));
    QCOMPARE(r.op.prompts.at(1).title, QString("ok"));
    QVERIFY(!r.panel.teaching() && !r.host.commandsLocked && !r.zones.locked());
    QCOMPARE(r.drive.panelMode, int(DriveState::Numeric));
    QCOMPARE(r.host.texts.value(Ctl::Pos), QString("0.00"));
    QVERIFY(r.opState.settei);
}

void TestPulseDrive::teachingEndsOnNoOrFailure_data() {
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("refuseAfterServoOff");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no return to origin") << QList<Answer>{Answer::No} << false << QStringList{};
    QTest::newRow("servo kept on")
        << QList<Answer>{Answer::Yes, Answer::No} << false << QStringList{};
    QTest::newRow("position refused") << QList<Answer>{Answer::Yes, Answer::Yes} << true
                                      << QStringList{"Cannot receive data from controller."};
}

// Whatever ends direct teaching early leaves the panel in numeric input with the menus back.
void TestPulseDrive::teachingEndsOnNoOrFailure() {
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, refuseAfterServoOff);
    QFETCH(QStringList, messages);
    PulseRig r;
    r.op.answers = answers;
    if (refuseAfterServoOff)
        r.op.onPrompt = [&](const ScriptedOperator::Prompt& p) {
            if (p.text == AskServoOff)
                r.controller.setNgFor("@?POS");
        };
    r.panel.teachClicked(false);
    QTRY_VERIFY(!r.panel.teaching());
    QCOMPARE(r.op.texts("message"), messages);
    QCOMPARE(r.drive.panelMode, int(DriveState::Numeric));
    QVERIFY(!r.host.commandsLocked && !r.zones.locked() && r.opState.settei);
    QVERIFY(r.host.isEnabled(Ctl::Operation) && r.host.isEnabled(Ctl::Set));
    QVERIFY(r.host.checked.value(PulseCtl::Numeric));
}

void TestPulseDrive::setChecksTheTarget_data() {
    QTest::addColumn<bool>("originShift");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written"); // into zone 0; empty: nothing
    QTest::addColumn<QString>("refusal");
    QTest::newRow("zone -40") << false << int(ZoneRules::ColA) << "-40"
                              << "-40.00"
                              << "";
    QTest::newRow("zone 40.01") << false << int(ZoneRules::ColB) << "40.01"
                                << ""
                                << "Please set a value as -40.00 -- 40.00mm.";
    QTest::newRow("note column") << false << int(ZoneRules::ColNote) << "5"
                                 << ""
                                 << "";
    QTest::newRow("origin shift 100") << true << int(ZoneRules::ColA) << "100"
                                      << ""
                                      << "Please set a value as -99.99 to 99.99mm.";
}

// SET in numeric input: the table's own ranges hold although the zone check is off for it.
void TestPulseDrive::setChecksTheTarget() {
    QFETCH(bool, originShift);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QString, refusal);
    PulseRig r;
    if (originShift) {
        r.op.answers = {Answer::No}; // chooses the target, declines the teaching
        r.panel.teachClicked(true);
        r.op.prompts.clear();
    }
    r.host.zoneCell = {0, column};
    r.host.texts[Ctl::Pos] = typed;
    r.panel.setClicked();
    const ZoneRecord zone = r.zones.zone(0);
    QCOMPARE(column == ZoneRules::ColA ? zone.a : zone.b, written);
    QCOMPARE(r.zones.modified(), !written.isEmpty());
    QCOMPARE(r.op.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    QVERIFY(r.controller.received().isEmpty());
}

// SET of a virtual origin the controller refused: parameter 35, the status bar and the modified
// flag stay as they were, and teaching goes on without asking to end it.
void TestPulseDrive::virtualOriginNotTakenChangesNothing() {
    PulseRig r;
    r.controller.setParameter(35, "100");
    r.params.setSettingValue(35, "100");
    r.panel.teachClicked(true);
    QVERIFY(r.panel.teaching());
    r.host.status[2] = "Origin point shift: 1.00";
    r.op.prompts.clear();
    r.controller.setNgForDataLine(1);
    r.host.texts[Ctl::Pos] = "1.23";
    r.panel.setClicked();
    QCOMPARE(r.controller.parameter(35), QString("100"));
    QCOMPARE(r.params.settingValue(35), QString("100"));
    QCOMPARE(r.host.status.value(2), QString("Origin point shift: 1.00"));
    QVERIFY(!r.zones.modified());
    QCOMPARE(r.op.texts("yesno"), QStringList{"Do you send virtual origin data?"});
    QVERIFY(r.panel.teaching());
    r.panel.settingClicked();
}

QTEST_MAIN(TestPulseDrive)
#include "tst_pulsedrive.moc"
