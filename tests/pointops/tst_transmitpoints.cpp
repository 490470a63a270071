// Transmit(Points) against the in-process virtual controller: the bytes on the line, the
// check messages, the failure reports and the controller's table afterwards.
#include "FakeProgress.h"
#include "OpsRig.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/TransmitPoints.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include "link/Command.h"

#include <QTest>
#include <QTimer>
#include <memory>

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

namespace {

const QByteArray Queries = "@?PRM 21,\r\n@?PRM 0,\r\n@?PRM 21,\r\n";
const QByteArray BlockStart = "@INIT PNT ,\r\n@WRITE PNT ,\r\n";
const QByteArray EndOfData = "\x1a";

PointRecord rec(const QString& mode, const QString& position, const QString& speed,
                const QString& push) {
    return {mode, position, speed, push, {}};
}

// One window's worth of everything the operation talks to.
struct Bench : OpsRig {

    void setPoints(const QList<std::pair<int, PointRecord>>& list) {
        PointTableData table;
        for (const auto& [n, r] : list)
            table[n] = r;
        points.setTable(table);
    }
    // The window is usable again whatever way the operation ended.
    void verifyRestored() const {
        QVERIFY(host.windowEnabled);
        QVERIFY(host.toolbarEnabled);
        QVERIFY(!progress.shown);
    }
};

} // namespace

class TestTransmitPoints : public QObject {
    Q_OBJECT
  private slots:
    void writesEveryPointAsItsCellsStand();
    void emptyTableErasesAndEndsTheBlock();
    void checkMessagesStopBeforeAnythingIsWritten_data();
    void checkMessagesStopBeforeAnythingIsWritten();
    void paddedTypeMeetsItsSpeedRule();
    void answerNoSendsNothing();
    void cancelBetweenLines();
    void earlierCancelClickDoesNotCount();
    void failuresEndTheOperation_data();
    void failuresEndTheOperation();
    void aLineThatDidNotGoOutEndsTheBlock_data();
    void aLineThatDidNotGoOutEndsTheBlock();
    void theBlockHoldsTheLineFromEraseToEnd();
};

void TestTransmitPoints::writesEveryPointAsItsCellsStand() {
    Bench b;
    b.controller.memory().setPoint(40, {"A", "1.00", "10", ""}); // erased by the transfer
    b.setPoints({{1, rec("C", "", "5", "3")},
                 {5, rec("A", "12.50", "30", "")},
                 {9, rec("u", "-3.00", "20", "4")}}); // as a file wrote it: sent upper case
    const PointTableData before = b.points.table();

    TransmitPoints::run(b.ctx);

    QCOMPARE(b.controller.received(),
             Queries + BlockStart + "P1=C,5,3\r\nP5=A,12.50,30\r\nP9=U,-3.00,20,4\r\n" + EndOfData);
    QCOMPARE(b.op.prompts.size(), 2);
    QCOMPARE(b.op.prompts[0].kind, QString("yesno"));
    QCOMPARE(b.op.prompts[0].title, QString("Transmit Point"));
    QCOMPARE(b.op.prompts[0].text, QString(" Do you transmit point data? "));
    QCOMPARE(b.op.prompts[0].icon, Icon::Question);
    QCOMPARE(b.op.prompts[1].kind, QString("message"));
    QCOMPARE(b.op.prompts[1].title, QString("Transmit Point"));
    QCOMPARE(b.op.prompts[1].text, QString("Transmitting has finished."));
    QCOMPARE(b.op.prompts[1].icon, Icon::None);

    QCOMPARE(b.controller.memory().point(1), (ControllerMemory::Point{"C", "", "5", "3"}));
    QCOMPARE(b.controller.memory().point(5), (ControllerMemory::Point{"A", "12.50", "30", ""}));
    QCOMPARE(b.controller.memory().point(9), (ControllerMemory::Point{"U", "-3.00", "20", "4"}));
    QVERIFY(!b.controller.memory().point(40).isSet());
    QCOMPARE(b.points.table(), before);

    // One progress step per point row, sent or not, then the end of the block.
    QCOMPARE(b.progress.maximum, 65);
    QCOMPARE(b.progress.values.constLast(), 65);
    for (int k = 1; k <= 65; ++k)
        QVERIFY(b.progress.values.contains(k));
    QCOMPARE(b.host.refreshes, 1);
    b.verifyRestored();
}

void TestTransmitPoints::emptyTableErasesAndEndsTheBlock() {
    Bench b;
    b.controller.memory().setPoint(0, {"A", "1.00", "10", ""});
    TransmitPoints::run(b.ctx);
    QCOMPARE(b.controller.received(), Queries + BlockStart + EndOfData);
    QVERIFY(!b.controller.memory().point(0).isSet());
    QCOMPARE(b.op.texts("message"), QStringList{"Transmitting has finished."});
    b.verifyRestored();
}

void TestTransmitPoints::checkMessagesStopBeforeAnythingIsWritten_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("stroke");    // controller parameter 21, empty: the type's own
    QTest::addColumn<PointRecord>("point"); // placed at point 4
    QTest::addColumn<QString>("title");     // empty: the table passes and is written
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("secondPass"); // the failure shows after the second pair of reads

    const QString abnormal = "Data abnormality";
    const QString confirm = "\r\n\r\nPlease confirm speed data entry value of point No.4.";
    const QString stroke = "Values more than stroke are input. Please confirm position data "
                           "entry value of point No.4.";

    QTest::newRow("empty mode with a speed left")
        << 30 << "" << rec("", "", "20", "") << "Data un-transmitting"
        << "Data is not completed. Please check data." << false;
    QTest::newRow("A without speed")
        << 30 << "" << rec("A", "1.00", "", "") << "Data un-transmitting"
        << "Data is not completed. Please check data." << false;
    QTest::newRow("U without level")
        << 30 << "" << rec("U", "1.00", "10", "") << "Data un-transmitting"
        << "Data is not completed. Please check data." << false;
    QTest::newRow("A speed 60 on type 31")
        << 31 << "" << rec("A", "1.00", "60", "") << abnormal
        << "A,I,U mode speed range of actuator type No.31 is 1.00 to 50.00 (mm/s)." + confirm
        << true;
    QTest::newRow("U speed 121 on type 32")
        << 32 << "" << rec("U", "1.00", "121", "2") << abnormal
        << "A,I,U mode speed range of actuator type No.32 is 1.00 to 120.00 (mm/s)." + confirm
        << true;
    QTest::newRow("A speed 60 on type 33") << 33 << "" << rec("A", "1.00", "60", "") << ""
                                           << "" << false;
    QTest::newRow("unknown type 34 has no speed rule")
        << 34 << "" << rec("A", "1.00", "100", "") << ""
        << "" << false;
    QTest::newRow("O speed 10.01, type not yet read")
        << 30 << "" << rec("O", "", "10.01", "3") << abnormal
        << "O,C mode speed range of actuator type No. is 1.00 to 10.00 (mm/s)." + confirm << false;
    QTest::newRow("O speed 10.00") << 30 << "" << rec("O", "", "10.00", "3") << ""
                                   << "" << false;
    QTest::newRow("position 20.01 on stroke 2000")
        << 30 << "" << rec("A", "20.01", "10", "") << abnormal << stroke << false;
    QTest::newRow("position 20.00 on stroke 2000") << 30 << "" << rec("A", "20.00", "10", "") << ""
                                                   << "" << false;
    QTest::newRow("position -20.00 on stroke 2000")
        << 30 << "" << rec("I", "-20.00", "10", "") << ""
        << "" << false;
    QTest::newRow("position -20.01 on stroke 2000")
        << 30 << "" << rec("U", "-20.01", "10", "5") << abnormal << stroke << false;
    // The stroke is rounded to whole millimetres, a half to the even neighbour.
    QTest::newRow("stroke 2050 is 20 mm")
        << 30 << "2050" << rec("A", "20.50", "10", "") << abnormal << stroke << false;
    QTest::newRow("stroke 2150 is 22 mm") << 30 << "2150" << rec("A", "22.00", "10", "") << ""
                                          << "" << false;
    // What the controller refuses after its table was erased is refused before the erase.
    const QString level = "Please set a value within 1 to 10.";
    QTest::newRow("pushing level 999")
        << 30 << "" << rec("C", "", "5", "999") << abnormal << level << false;
    QTest::newRow("pushing level 0")
        << 30 << "" << rec("U", "1.00", "5", "0") << abnormal << level << false;
    QTest::newRow("pushing level -3")
        << 30 << "" << rec("O", "", "5", "-3") << abnormal << level << false;
    QTest::newRow("mode that only looks like I")
        << 30 << "" << rec(QString(QChar(0x0131)), "1.00", "10", "") << "Data un-transmitting"
        << "Data is not completed. Please check data." << false;
    QTest::newRow("type 34 takes no speed above 120")
        << 34 << "" << rec("A", "1.00", "121", "") << abnormal
        << "Please set a value within 1 to 120 mm/s." << true;
}

void TestTransmitPoints::checkMessagesStopBeforeAnythingIsWritten() {
    QFETCH(int, type);
    QFETCH(QString, stroke);
    QFETCH(PointRecord, point);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, secondPass);

    Bench b;
    b.controller.setActuatorType(type);
    if (!stroke.isEmpty())
        b.controller.setParameter(21, stroke);
    b.setPoints({{0, rec("A", "1.00", "10", "")}, {4, point}});
    TransmitPoints::run(b.ctx);

    b.verifyRestored();
    if (title.isEmpty()) {
        QCOMPARE(b.op.texts("message"), QStringList{"Transmitting has finished."});
        QVERIFY(b.controller.memory().point(4).isSet());
        return;
    }
    QCOMPARE(b.messageTitles(), QStringList{title});
    QCOMPARE(b.op.last().text, text);
    QCOMPARE(b.op.last().icon, Icon::None);
    QCOMPARE(b.controller.received(), secondPass ? Queries : QByteArray("@?PRM 21,\r\n"));
    QVERIFY(!b.progress.values.contains(1));
}

// A controller that pads its values (" 31") still names type 31, whose speed limit is 50.
void TestTransmitPoints::paddedTypeMeetsItsSpeedRule() {
    Bench b;
    b.controller.setActuatorType(31);
    b.controller.setValueWidth(4);
    b.setPoints({{4, rec("A", "1.00", "60", "")}});
    TransmitPoints::run(b.ctx);

    QCOMPARE(b.messageTitles(), QStringList{"Data abnormality"});
    QVERIFY(b.op.last().text.startsWith(
        "A,I,U mode speed range of actuator type No.31 is 1.00 to 50.00 (mm/s)."));
    QCOMPARE(b.controller.received(), Queries);
}

void TestTransmitPoints::answerNoSendsNothing() {
    Bench b;
    b.host.toolbarEnabled = false; // as the window leaves it while an operation starts
    b.op.answers = {Answer::No};
    b.setPoints({{0, rec("A", "1.00", "10", "")}});
    TransmitPoints::run(b.ctx);
    QVERIFY(b.controller.received().isEmpty());
    QCOMPARE(b.op.prompts.size(), 1);
    b.verifyRestored();
}

void TestTransmitPoints::cancelBetweenLines() {
    Bench b;
    QList<std::pair<int, PointRecord>> list;
    for (int n = 0; n < 10; ++n)
        list.append({n, rec("A", QString::number(n) + ".00", "10", "")});
    b.setPoints(list);
    b.progress.cancelAtValue = 4; // clicked while point 3 is on the line

    TransmitPoints::run(b.ctx);

    const QByteArray sent = b.controller.received();
    QVERIFY(sent.endsWith("P3=A,3.00,10\r\n"));
    QVERIFY(!sent.contains("P4="));
    QVERIFY(!sent.contains(EndOfData));
    QCOMPARE(b.op.last().kind, QString("message"));
    QCOMPARE(b.op.last().title, QString("Stop"));
    QCOMPARE(b.op.last().text, QString("Data un-transmitting."));
    QCOMPARE(b.op.last().icon, Icon::Warning);
    QVERIFY(!b.op.texts("message").contains("Transmitting has finished."));
    QVERIFY(!b.progress.cancel);
    QCOMPARE(b.host.refreshes, 0);
    b.verifyRestored();
}

void TestTransmitPoints::earlierCancelClickDoesNotCount() {
    Bench b;
    b.progress.cancel = true; // left over from an operation that ended without looking at it
    b.setPoints({{0, rec("A", "1.00", "10", "")}});
    TransmitPoints::run(b.ctx);
    QVERIFY(b.controller.received().endsWith("P0=A,1.00,10\r\n" + EndOfData));
    QCOMPARE(b.op.texts("message"), QStringList{"Transmitting has finished."});
}

void TestTransmitPoints::failuresEndTheOperation_data() {
    QTest::addColumn<QString>("silent");      // a command the controller does not answer
    QTest::addColumn<QString>("ng");          // a command the controller refuses
    QTest::addColumn<int>("ngLine");          // a data line the controller refuses (1-based)
    QTest::addColumn<QByteArray>("endReply"); // the end of data answered with this instead
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cutMs"); // the refusal's "G" comes this long after its "N"

    const QString comm = "The communication error. Please check the connection.";
    const QString refused = "Cannot receive data from controller.";
    const QByteArray lines = "P0=A,1.00,10\r\nP1=A,2.00,10\r\n";

    QTest::newRow("time-out on the first query")
        << "@?PRM"
        << "" << 0 << QByteArray() << QByteArray("@?PRM 21,\r\n") << "Transmit Point" << comm << 0;
    QTest::newRow("NG on the stroke query")
        << ""
        << "@?PRM" << 0 << QByteArray() << QByteArray("@?PRM 21,\r\n") << "Error" << refused << 0;
    QTest::newRow("NG on erasing")
        << ""
        << "@INIT PNT" << 0 << QByteArray() << Queries + "@INIT PNT ,\r\n"
        << "Error" << refused << 0;
    QTest::newRow("write command without READY")
        << ""
        << "@WRITE PNT" << 0 << QByteArray() << Queries + BlockStart << "Transmit Point" << comm
        << 0;
    QTest::newRow("NG on the second data line")
        << ""
        << "" << 2 << QByteArray() << Queries + BlockStart + lines << "Error" << refused << 0;
    // A refusal of the first line cut by the end of its wait ("N" then, "G" with the second
    // line's reply) is still that line's refusal: the block ends before its end of data.
    QTest::newRow("NG of the first data line cut in two")
        << ""
        << "" << 1 << QByteArray() << Queries + BlockStart + lines << "Error" << refused << 150;
    // A controller that never confirms the end of the block has not taken the table.
    QTest::newRow("end of data unanswered")
        << QString(QChar(26)) << "" << 0 << QByteArray() << Queries + BlockStart + lines + EndOfData
        << "Transmit Point" << comm << 0;
    // Only "OK" says the controller took the table.
    for (const char* reply : {"ERR\r\n", "READY\r\n", "N"})
        QTest::newRow(qPrintable(QStringLiteral("end of data answered %1").arg(reply).trimmed()))
            << ""
            << "" << 0 << QByteArray(reply) << Queries + BlockStart + lines + EndOfData
            << "Transmit Point" << comm << 0;
}

void TestTransmitPoints::failuresEndTheOperation() {
    QFETCH(QString, silent);
    QFETCH(QString, ng);
    QFETCH(int, ngLine);
    QFETCH(QByteArray, endReply);
    QFETCH(QByteArray, sent);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, cutMs);

    Bench b;
    b.controller.setRefusalSplit(cutMs);
    if (!silent.isEmpty())
        b.controller.setSilentFor(silent);
    if (!ng.isEmpty())
        b.controller.setNgFor(ng);
    if (ngLine > 0)
        b.controller.setNgForDataLine(ngLine);
    if (!endReply.isEmpty())
        b.controller.setReplyInstead(QString(QChar(26)), endReply);
    b.setPoints({{0, rec("A", "1.00", "10", "")}, {1, rec("A", "2.00", "10", "")}});

    TransmitPoints::run(b.ctx);

    QCOMPARE(b.controller.received(), sent);
    QCOMPARE(b.messageTitles(), QStringList{title});
    QCOMPARE(b.op.last().text, text);
    QVERIFY(!b.op.texts("message").contains("Transmitting has finished."));
    if (title == "Error") {
        QCOMPARE(b.op.last().icon, Icon::Critical);
        QVERIFY(b.link.errorText().startsWith("NG\r\n"));
    }
    QCOMPARE(b.host.refreshes, 0);
    b.verifyRestored();
}

// Writes and opens counted from the start of the operation: the three queries, then the erase,
// the write command, the data lines and the end of data, all on one open of the line.
void TestTransmitPoints::aLineThatDidNotGoOutEndsTheBlock_data() {
    QTest::addColumn<int>("failWrite"); // the write that takes only `taken` bytes, 0 none
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("failOpen"); // the open that fails, 0 none
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("reason"); // beside the communication error

    const QByteArray p0 = "P0=A,1.00,10\r\n";
    QTest::newRow("write command not written")
        << 5 << 0 << 0 << false << Queries + "@INIT PNT ,\r\n"
        << "not written in full (0 of 14";
    QTest::newRow("first data line not written")
        << 6 << 0 << 0 << false << Queries + BlockStart << "not written in full (0 of 14";
    QTest::newRow("second data line half written")
        << 7 << 5 << 0 << false << Queries + BlockStart + p0 + "P1=A,"
        << "(5 of 14";
    QTest::newRow("end of data not written")
        << 8 << 0 << 0 << false << Queries + BlockStart + p0 + "P1=A,2.00,10\r\n"
        << "not written in full (0 of 1";
    QTest::newRow("line taken by another program before the erase")
        << 0 << 0 << 4 << true << Queries << "COM1 is in use by another program";
    QTest::newRow("line taken by another program at the first query")
        << 0 << 0 << 1 << true << QByteArray() << "COM1 is in use by another program";
}

void TestTransmitPoints::aLineThatDidNotGoOutEndsTheBlock() {
    QFETCH(int, failWrite);
    QFETCH(int, taken);
    QFETCH(int, failOpen);
    QFETCH(bool, heldElsewhere);
    QFETCH(QByteArray, sent);
    QFETCH(QString, reason);

    Bench b;
    b.setPoints({{0, rec("A", "1.00", "10", "")}, {1, rec("A", "2.00", "10", "")}});
    if (failWrite > 0)
        b.channel.failWrite(failWrite, taken);
    if (failOpen > 0)
        b.channel.failOpen(failOpen, "locked", heldElsewhere);

    TransmitPoints::run(b.ctx);

    QCOMPARE(b.controller.received(), sent);
    QVERIFY(!b.op.texts("message").contains("Transmitting has finished."));
    QCOMPARE(b.op.last().title, QString("Transmit Point"));
    QCOMPARE(b.op.last().text, QString("The communication error. Please check the connection."));
    QVERIFY2(b.op.last().informative.contains(reason), qPrintable(b.op.last().informative));
    QVERIFY(b.state.lineHolder == nullptr);
    QVERIFY(!b.channel.isOpen());
    b.verifyRestored();
}

// No other program can slip in between the block's lines (the port stays open, and with it
// the system's lock), and no exchange of this program either: a poll asked for by a timer
// while the block runs is not written.
void TestTransmitPoints::theBlockHoldsTheLineFromEraseToEnd() {
    Bench b;
    QList<std::pair<int, PointRecord>> list;
    for (int n = 0; n < 4; ++n)
        list.append({n, rec("A", QString::number(n) + ".00", "10", "")});
    b.setPoints(list);
    bool pollFailed = false;
    QString pollReason;
    b.progress.onValue = [&](int value) {
        if (value != 2 || !b.state.lineHolder)
            return;
        QTimer::singleShot(0, [&] {
            Link poll(b.state, b.channel);
            poll.P_Command = Command::QueryPRM;
            poll.P_second = "13";
            poll.BuildCommand();
            const ExchangeResult r = poll.Exchange();
            pollFailed = r.lineFailed();
            pollReason = r.reason;
        });
    };

    TransmitPoints::run(b.ctx);

    QCOMPARE(b.op.texts("message"), QStringList{"Transmitting has finished."});
    QVERIFY(pollFailed);
    QVERIFY2(pollReason.contains("held by a write block"), qPrintable(pollReason));
    QVERIFY(!b.controller.received().contains("@?PRM 13"));
    QCOMPARE(b.channel.opens(), 3 + 1); // each query opens the line; the block once
    QVERIFY(!b.channel.isOpen());
}

QTEST_GUILESS_MAIN(TestTransmitPoints)
#include "tst_transmitpoints.moc"
