// Transmit(Parameters) against the in-process virtual controller: the checks before anything
// is written, the soft limit suggestion, the write order and the old-model controller.
#include "FakeProgress.h"
#include "OpsRig.h"
#include "ScriptedOperator.h"
#include "link/Command.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/TransmitParameters.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

#include <QTest>

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

namespace {

const QByteArray Reads = "@?PRM 0,\r\n@READ PNT ,\r\n@READ DIO ,\r\n@?PRM 35,\r\n@?PRM 5,\r\n";

struct Bench : OpsRig {

    // The bytes of the write block's data lines, after "@WRITE PRM ,".
    QByteArray dataLines() const {
        const QByteArray all = controller.received();
        const qsizetype at = all.indexOf("@WRITE PRM ,\r\n");
        return at < 0 ? QByteArray() : all.mid(at + 14);
    }
    void verifyRestored() const {
        QVERIFY(host.windowEnabled);
        QVERIFY(host.toolbarEnabled);
        QVERIFY(!progress.shown);
    }
};

} // namespace

class TestTransmitParameters : public QObject {
    Q_OBJECT
  private slots:
    void writesTheTableInItsOrder();
    void oldModelLeavesOutItsMissingParameters();
    void softLimitsFollowTheOrigin_data();
    void softLimitsFollowTheOrigin();
    void originShiftMustStayInsideTheTravel_data();
    void originShiftMustStayInsideTheTravel();
    void controllerPointsBeyondTheStroke_data();
    void controllerPointsBeyondTheStroke();
    void failuresBeforeTheBlockWriteNothing_data();
    void failuresBeforeTheBlockWriteNothing();
    void failuresInsideTheBlock();
    void answerNoSendsNothing();
    void repliesThatAreNotNumbersWriteNothing_data();
    void repliesThatAreNotNumbersWriteNothing();
    void softLimitsReachTheTableBeforeTheBlock();
    void valuesThatAreNotNumbersAreNotSent_data();
    void valuesThatAreNotNumbersAreNotSent();
    void writeBlockEndsAtALineTheLinkRefuses();
};

void TestTransmitParameters::writesTheTableInItsOrder() {
    Bench b;
    b.params.setSettingValue(4, "80");
    b.params.setSettingValue(22, "0");
    b.params.setSettingValue(36, "7");

    TransmitParameters::run(b.ctx);

    // Parameter 0 is never written; 35 and 36 go first, the rest in table order.
    QCOMPARE(b.controller.received(),
             Reads + "@WRITE PRM ,\r\n"
                     "PRM35=0\r\nPRM36=7\r\nPRM1=2000\r\nPRM2=-20\r\nPRM4=80\r\nPRM5=0\r\n"
                     "PRM7=10\r\nPRM8=200\r\nPRM9=200\r\nPRM10=5\r\nPRM21=2000\r\nPRM22=0\r\n"
                     "PRM24=5\r\nPRM25=10\r\nPRM26=5\r\nPRM30=100\r\nPRM31=0\r\nPRM32=0\r\n"
                     "PRM33=0\r\n\x1a");
    QCOMPARE(b.controller.parameter(4), QString("80"));
    QCOMPARE(b.controller.parameter(22), QString("0"));
    QCOMPARE(b.controller.parameter(36), QString("7"));

    QCOMPARE(b.op.prompts.size(), 2);
    QCOMPARE(b.op.prompts[0].title, QString("Parameter reception"));
    QCOMPARE(b.op.prompts[0].text, QString(" Do you transmit parameter data? "));
    QCOMPARE(b.op.prompts[0].icon, Icon::Question);
    QCOMPARE(b.op.prompts[1].title, QString("Transmit Parameter"));
    QCOMPARE(b.op.prompts[1].text, QString("Transmitting has finished."));
    QCOMPARE(b.op.prompts[1].icon, Icon::None);

    QCOMPARE(b.progress.maximum, 20);
    QCOMPARE(b.progress.values, (QList<int>{0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                            11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    QCOMPARE(b.host.refreshes, 1);
    b.verifyRestored();
}

void TestTransmitParameters::oldModelLeavesOutItsMissingParameters() {
    Bench b;
    b.controller.setOldModel(true);
    TransmitParameters::run(b.ctx);
    const QByteArray lines = b.dataLines();
    // 15 of the 19 parameter lines, then the end of the block: 16 lines in all.
    QCOMPARE(lines.count("PRM"), 15);
    for (const char* missing : {"PRM36=", "PRM31=", "PRM32=", "PRM33="})
        QVERIFY2(!lines.contains(missing), missing);
    QVERIFY(lines.startsWith("PRM35=0\r\nPRM1=2000\r\n"));
    QVERIFY(lines.endsWith("PRM30=100\r\n\x1a"));
    QCOMPARE(b.op.last().text, QString("Transmitting has finished."));
    // The progress still counts every line of the table, sent or not.
    QCOMPARE(b.progress.values.constLast(), 20);
}

void TestTransmitParameters::softLimitsFollowTheOrigin_data() {
    QTest::addColumn<QString>("tableShift");
    QTest::addColumn<QString>("tableDirection");
    QTest::addColumn<int>("answer"); // Answer, -1: no question expected
    QTest::addColumn<QString>("plus");
    QTest::addColumn<QString>("minus");
    QTest::addColumn<QString>("note"); // shown in the dialog

    // Controller: (+) limit 2000, (-) limit -20, shift 0, direction 0.
    const auto row = [](const char* name, const char* shift, const char* direction, int answer,
                        const char* plus, const char* minus, const char* note = "") {
        QTest::newRow(name) << QString(shift) << QString(direction) << answer << QString(plus)
                            << QString(minus) << QString(note);
    };
    row("shift 300", "300", "0", int(Answer::Yes), "1700", "-320");
    row("shift -10", "-10", "0", int(Answer::Yes), "2010", "-10");
    row("direction only", "0", "1", int(Answer::Yes), "2000", "-20");
    row("declined", "300", "0", int(Answer::No), "1500", "-10");
    row("same origin", "0", "0", -1, "1500", "-10");
    row("same origin written otherwise", "0.0", "0", -1, "1500", "-10");
    // -20 + 1250 = 1230 would be refused by the dialog: the nearest accepted value is 0.
    row("shift -1250", "-1250", "0", int(Answer::Yes), "3250", "0",
        "The suggested - Soft limit 1230 is outside 0 to -9999; 0 is shown.");
    // 2000 - 2010 = -10 for the (+) limit: 0.
    row("shift 2010 on type 31", "2010", "0", int(Answer::Yes), "0", "-2030",
        "The suggested +Soft limit -10 is outside 0 to 9999; 0 is shown.");
}

void TestTransmitParameters::softLimitsFollowTheOrigin() {
    QFETCH(QString, tableShift);
    QFETCH(QString, tableDirection);
    QFETCH(int, answer);
    QFETCH(QString, plus);
    QFETCH(QString, minus);
    QFETCH(QString, note);

    Bench b;
    b.controller.setActuatorType(31); // travel 4000: every shift above passes
    b.controller.setParameter(1, "2000");
    b.params.setSettingValue(1, "1500");
    b.params.setSettingValue(2, "-10");
    b.params.setSettingValue(35, tableShift);
    b.params.setSettingValue(5, tableDirection);
    if (answer >= 0)
        b.op.answers = {Answer::Yes, Answer(answer)};

    TransmitParameters::run(b.ctx);

    const QStringList questions = b.op.texts("yesno");
    if (answer < 0) {
        QCOMPARE(questions.size(), 1);
    } else {
        QCOMPARE(questions.size(), 2);
        QCOMPARE(questions[1], QString("Is a soft limit also changed?"));
        QCOMPARE(b.op.prompts[1].title, QString("Parameter reception"));
    }
    const bool asked = answer == int(Answer::Yes);
    QCOMPARE(b.op.texts("softlimit"), asked ? QStringList{note} : QStringList{});
    QCOMPARE(b.controller.received().contains("@?PRM 1,\r\n@?PRM 2,\r\n@?PRM 21,\r\n"), asked);

    QCOMPARE(b.params.settingValue(1), plus);
    QCOMPARE(b.params.settingValue(2), minus);
    QVERIFY(b.dataLines().contains("PRM1=" + plus.toLatin1() + "\r\nPRM2=" + minus.toLatin1()));
    QCOMPARE(b.controller.parameter(1), plus);
    QCOMPARE(b.controller.parameter(2), minus);
    QCOMPARE(b.op.last().text, QString("Transmitting has finished."));
}

void TestTransmitParameters::originShiftMustStayInsideTheTravel_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("shift");
    QTest::addColumn<bool>("passes");
    QTest::newRow("31, 4000") << 31 << "4000" << true;
    QTest::newRow("31, 4001") << 31 << "4001" << false;
    QTest::newRow("31, -4000") << 31 << "-4000" << true;
    QTest::newRow("31, -4001") << 31 << "-4001" << false;
    QTest::newRow("33, 4000") << 33 << "4000" << true;
    QTest::newRow("30, 2000") << 30 << "2000" << true;
    QTest::newRow("30, 2500") << 30 << "2500" << false;
    QTest::newRow("32, 2001") << 32 << "2001" << false;
    QTest::newRow("unknown type 34, 2001") << 34 << "2001" << false;
}

void TestTransmitParameters::originShiftMustStayInsideTheTravel() {
    QFETCH(int, type);
    QFETCH(QString, shift);
    QFETCH(bool, passes);

    Bench b;
    b.controller.setActuatorType(type);
    b.params.setSettingValue(35, shift);
    b.op.answers = {Answer::Yes, Answer::No}; // keep the soft limits

    TransmitParameters::run(b.ctx);

    b.verifyRestored();
    if (passes) {
        QVERIFY(b.controller.received().contains("@READ PNT ,\r\n"));
        QVERIFY(!b.op.texts().contains(TransmitParameters::ShiftBeyondTravel));
        return;
    }
    QCOMPARE(b.controller.received(), QByteArray("@?PRM 0,\r\n"));
    QCOMPARE(b.messageTitles(), QStringList{"QRX5 Support-Software"});
    QCOMPARE(b.op.last().text, QString("I cannot transmit a message so that origin shift "
                                       "position is beyond operation level."));
    QCOMPARE(b.op.last().icon, Icon::None);
}

void TestTransmitParameters::controllerPointsBeyondTheStroke_data() {
    QTest::addColumn<QString>("speed"); // of point 12 in the controller (mode A)
    QTest::addColumn<QString>("tableStroke");
    QTest::addColumn<bool>("passes");
    QTest::newRow("equal to the stroke") << "2000"
                                         << "2000" << true;
    QTest::newRow("above the stroke") << "2001"
                                      << "2000" << false;
    QTest::newRow("inside a smaller table stroke") << "30"
                                                   << "30" << true;
    QTest::newRow("beyond a smaller table stroke") << "30"
                                                   << "29.99" << false;
}

void TestTransmitParameters::controllerPointsBeyondTheStroke() {
    QFETCH(QString, speed);
    QFETCH(QString, tableStroke);
    QFETCH(bool, passes);

    Bench b;
    b.controller.memory().setPoint(12, {"A", "10.00", speed, ""});
    b.params.setSettingValue(21, tableStroke);
    TransmitParameters::run(b.ctx);

    b.verifyRestored();
    const bool written = b.controller.received().contains("@WRITE PRM");
    QCOMPARE(written, passes);
    if (!passes) {
        QCOMPARE(b.controller.received(), QByteArray("@?PRM 0,\r\n@READ PNT ,\r\n"));
        QCOMPARE(b.messageTitles(), QStringList{"Parameter reception"});
        QCOMPARE(b.op.last().text, QString("Cannot transmit data because some of point data "
                                           "in controller is out of the range of PRM21."));
    }
}

void TestTransmitParameters::failuresBeforeTheBlockWriteNothing_data() {
    QTest::addColumn<QString>("ng");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("type query") << "@?PRM" << QByteArray("@?PRM 0,\r\n");
    QTest::newRow("point read") << "@READ PNT" << QByteArray("@?PRM 0,\r\n@READ PNT ,\r\n");
    QTest::newRow("I/O read") << "@READ DIO"
                              << QByteArray("@?PRM 0,\r\n@READ PNT ,\r\n@READ DIO ,\r\n");
    QTest::newRow("write command") << "@WRITE PRM" << Reads + "@WRITE PRM ,\r\n";
}

void TestTransmitParameters::failuresBeforeTheBlockWriteNothing() {
    QFETCH(QString, ng);
    QFETCH(QByteArray, sent);

    Bench b;
    b.controller.setNgFor(ng);
    b.params.setSettingValue(4, "80");
    TransmitParameters::run(b.ctx);

    QCOMPARE(b.controller.received(), sent);
    QCOMPARE(b.controller.parameter(4), QString("100"));
    QCOMPARE(b.messageTitles(), QStringList{"Parameter reception"});
    QCOMPARE(b.op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(b.host.refreshes, 0);
    b.verifyRestored();
}

void TestTransmitParameters::failuresInsideTheBlock() {
    { // the third line (parameter 1) refused: the two before it stay written
        Bench b;
        b.controller.setNgForDataLine(3);
        b.params.setSettingValue(35, "0");
        b.params.setSettingValue(36, "7");
        TransmitParameters::run(b.ctx);
        QCOMPARE(b.dataLines(), QByteArray("PRM35=0\r\nPRM36=7\r\nPRM1=2000\r\n"));
        QCOMPARE(b.controller.parameter(36), QString("7"));
        QCOMPARE(b.messageTitles(), QStringList{"Error"});
        QCOMPARE(b.op.last().text, QString("Cannot receive data from controller."));
        QCOMPARE(b.op.last().icon, Icon::Critical);
        b.verifyRestored();
    }
    { // Cancel clicked while parameter 4 is on the line
        Bench b;
        b.progress.cancelAtValue = 5;
        TransmitParameters::run(b.ctx);
        QVERIFY(b.dataLines().endsWith("PRM4=100\r\n"));
        QVERIFY(!b.dataLines().contains("\x1a"));
        QCOMPARE(b.messageTitles(), QStringList{"Stop"});
        QCOMPARE(b.op.last().text, QString("Data un-transmitting."));
        QCOMPARE(b.op.last().icon, Icon::Warning);
        QCOMPARE(b.host.refreshes, 0);
        b.verifyRestored();
    }
}

void TestTransmitParameters::answerNoSendsNothing() {
    Bench b;
    b.host.toolbarEnabled = false;
    b.op.answers = {Answer::No};
    TransmitParameters::run(b.ctx);
    QVERIFY(b.controller.received().isEmpty());
    QCOMPARE(b.op.prompts.size(), 1);
    b.verifyRestored();
}

void TestTransmitParameters::repliesThatAreNotNumbersWriteNothing_data() {
    QTest::addColumn<int>("parameter"); // the controller's parameter whose value is garbled
    for (int n : {35, 5, 1, 2, 21})
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void TestTransmitParameters::repliesThatAreNotNumbersWriteNothing() {
    QFETCH(int, parameter);
    Bench b;
    b.controller.setParameter(parameter, "1O0"); // a letter O
    b.params.setSettingValue(35, "300");         // the origin moves: all five are read
    b.op.answers = {Answer::Yes, Answer::Yes};
    const ParameterTableData before = b.params.table();

    TransmitParameters::run(b.ctx);

    QVERIFY(!b.controller.received().contains("@WRITE PRM"));
    QCOMPARE(b.params.table(), before);
    QVERIFY(b.op.texts("softlimit").isEmpty());
    QCOMPARE(b.op.last().text, QString("Cannot receive data from controller."));
    b.verifyRestored();
}

// The confirmed limits reach the table before the block: a block that fails after them leaves
// the table saying what the controller was sent, and the next transmit writes them again.
void TestTransmitParameters::softLimitsReachTheTableBeforeTheBlock() {
    Bench b;
    b.params.setSettingValue(35, "300");
    b.op.answers = {Answer::Yes, Answer::Yes};
    b.controller.setNgForDataLine(5); // after the new soft limits went out

    TransmitParameters::run(b.ctx);

    QVERIFY(b.dataLines().contains("PRM1=1700\r\nPRM2=-320\r\n"));
    QCOMPARE(b.op.last().text, QString("Cannot receive data from controller."));
    QCOMPARE(b.params.settingValue(1), QString("1700"));
    QCOMPARE(b.params.settingValue(2), QString("-320"));

    b.controller.setNgForDataLine(0);
    b.controller.clearReceived();
    b.op.answers = {Answer::Yes};
    TransmitParameters::run(b.ctx);
    QVERIFY(b.op.texts("softlimit").size() == 1); // asked once, the first time only
    QVERIFY(b.dataLines().contains("PRM1=1700\r\nPRM2=-320\r\n"));
    QCOMPARE(b.op.last().text, QString("Transmitting has finished."));
}

void TestTransmitParameters::valuesThatAreNotNumbersAreNotSent_data() {
    QTest::addColumn<int>("parameter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("oldModel");
    QTest::addColumn<QString>("errorBox"); // empty: the block is written
    QTest::newRow("injected command")
        << 4 << "100\r\n@INIT PNT ," << false << "PRM4=100<CR><LF>@INIT PNT ,";
    QTest::newRow("blank before") << 7 << " 5" << false << "PRM7= 5";
    QTest::newRow("empty") << 31 << "" << false << "PRM31=";
    QTest::newRow("empty, not sent to an old model") << 31 << "" << true << "";
    // Outside what the controller takes: refused before the block opens.
    QTest::newRow("acceleration 150") << 4 << "150" << false << "PRM4=150";
    QTest::newRow("choice 2") << 5 << "2" << false << "PRM5=2";
    QTest::newRow("soft limit 10000") << 1 << "10000" << false << "PRM1=10000";
    // The controller stores whole numbers: a fraction the edit check kept is refused too.
    QTest::newRow("pushing speed 5.5") << 7 << "5.5" << false << "PRM7=5.5";
}

void TestTransmitParameters::valuesThatAreNotNumbersAreNotSent() {
    QFETCH(int, parameter);
    QFETCH(QString, value);
    QFETCH(bool, oldModel);
    QFETCH(QString, errorBox);
    Bench b;
    b.controller.setOldModel(oldModel);
    b.params.setSettingValue(parameter, value); // as a received reply can leave it

    TransmitParameters::run(b.ctx);

    b.verifyRestored();
    if (errorBox.isEmpty()) {
        QCOMPARE(b.op.last().text, QString("Transmitting has finished."));
        return;
    }
    QVERIFY(!b.controller.received().contains("@WRITE PRM"));
    QCOMPARE(b.messageTitles(), QStringList{"Data un-transmitting"});
    QCOMPARE(b.op.last().text, QString("Data is not completed. Please check data."));
    QCOMPARE(b.link.errorText(), errorBox);
}

// A data line normally ends by its time-out; one the link refuses must end the block, unwritten.
void TestTransmitParameters::writeBlockEndsAtALineTheLinkRefuses() {
    Bench b;
    Ops::WriteBlock block(Ops::titled(b.ctx, QString(TransmitParameters::Title)));
    QVERIFY(block.open(Command::WritePRM));
    QVERIFY(!block.sendLine(Command::ParameterData, "4=", "100\r\n@INIT PNT ,"));
    QCOMPARE(b.controller.received(), QByteArray("@WRITE PRM ,\r\n"));
    QCOMPARE(b.op.texts("message"), QStringList{Ops::LineRefusedText});
    b.verifyRestored();
}

QTEST_GUILESS_MAIN(TestTransmitParameters)
#include "tst_transmitparameters.moc"
