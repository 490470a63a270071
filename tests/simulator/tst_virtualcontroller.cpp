// The virtual controller, talked to through a SimulatedChannel as the program does.
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray Eod(1, '\x1a');
const QByteArray StopChar(1, '\x03');

// True once the text holds a whole reply: "OK"/"READY", or "NG"/"STOP" with their detail line.
bool complete(const QByteArray& text) {
    for (const char* marker : {"NG\r\n", "STOP\r\n"}) {
        const qsizetype at = text.indexOf(marker);
        if (at >= 0)
            return text.indexOf("\r\n", at + qstrlen(marker)) >= 0;
    }
    return text.contains("OK\r\n") || text.contains("READY\r\n");
}

struct Peer {
    explicit Peer(VirtualController::Kind kind = VirtualController::Kind::Point)
        : controller(kind), channel(controller) {
        channel.open(QStringLiteral("COM1"));
    }

    // Collects until a whole reply has arrived or the time is up.
    QByteArray collect(int timeoutMs = 2000) {
        QByteArray got = channel.readAll();
        QElapsedTimer clock;
        clock.start();
        while (!complete(got) && clock.elapsed() < timeoutMs) {
            QSignalSpy spy(&channel, &SerialChannel::readyRead);
            spy.wait(int(qMax<qint64>(1, timeoutMs - clock.elapsed())));
            got += channel.readAll();
        }
        return got;
    }
    QByteArray talk(const QByteArray& bytes, int timeoutMs = 2000) {
        channel.write(bytes);
        return collect(timeoutMs);
    }
    // Whatever arrives within the given time (for lines that must not be answered).
    QByteArray quietFor(int ms) {
        QTest::qWait(ms);
        return channel.readAll();
    }
    void returnToOrigin() {
        controller.setMotionDuration(0);
        QCOMPARE(talk("@ORG ,\r\n"), QByteArray("OK\r\n"));
    }

    VirtualController controller;
    SimulatedChannel channel;
};

} // namespace

class TstVirtualController final : public QObject {
    Q_OBJECT
  private slots:
    void queries_data();
    void queries();
    void framing_data();
    void framing();
    void pointBlockRoundTrip();
    void parameterBlockRoundTrip();
    void zoneBlockRoundTrip();
    void parameterInitAndDefaults();
    void refusalKnobs();
    void dataLineRefusalKeepsEarlierLines();
    void stopEndsMotion();
    void jogAndPosition();
    void motionRefusals();
    void sizeDetection();
    void splitReply();
    void dioShapes();
    void pulseDioAndOperationState();
    void pacingTakesLineTime();
    void rawStartSequence();
    void channelBehavesLikeAPort();
    void badInputAndGarbage();
    void endlessStreamStopsOnStopChar();
};

void TstVirtualController::queries_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("kind point") << false << QByteArray("@?PRM 13,\r\n")
                                << QByteArray("0\r\nOK\r\n");
    QTest::newRow("kind pulse") << true << QByteArray("@?PRM 13,\r\n") << QByteArray("1\r\nOK\r\n");
    QTest::newRow("type") << false << QByteArray("@?PRM 0,\r\n") << QByteArray("30\r\nOK\r\n");
    QTest::newRow("stroke") << false << QByteArray("@?PRM 21,\r\n") << QByteArray("2000\r\nOK\r\n");
    QTest::newRow("pulse INPOS time")
        << true << QByteArray("@?PRM 53,\r\n") << QByteArray("1000\r\nOK\r\n");
    QTest::newRow("version") << false << QByteArray("@?VER ,\r\n") << QByteArray("1.05\r\nOK\r\n");
    QTest::newRow("origin") << false << QByteArray("@?ORG ,\r\n") << QByteArray("0\r\nOK\r\n");
    QTest::newRow("servo") << true << QByteArray("@?SRVO ,\r\n") << QByteArray("0\r\nOK\r\n");
    QTest::newRow("operation") << true << QByteArray("@?PRS ,\r\n") << QByteArray("0\r\nOK\r\n");
    QTest::newRow("position") << false << QByteArray("@?POS ,\r\n")
                              << QByteArray(" 0.00\r\nOK\r\n");
    QTest::newRow("parameter 64") << false << QByteArray("@?PRM 64,\r\n")
                                  << QByteArray("NG\r\n37:RANGE OVER\r\n");
    QTest::newRow("unknown word") << false << QByteArray("@FOO 1,\r\n")
                                  << QByteArray("NG\r\n30:COMMAND ERROR\r\n");
    QTest::newRow("empty error history")
        << false << QByteArray("@READ ERR ,\r\n") << QByteArray("OK\r\n");
}

void TstVirtualController::queries() {
    QFETCH(bool, pulse);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    Peer peer(pulse ? VirtualController::Kind::Pulse : VirtualController::Kind::Point);
    QCOMPARE(peer.talk(command), reply);
    QCOMPARE(peer.controller.received(), command);
}

void TstVirtualController::framing_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("split in four")
        << QList<QByteArray>{"@?PR", "M 0", ",\r", "\n"} << QByteArray("30\r\nOK\r\n");
    QTest::newRow("byte by byte") << [] {
        QList<QByteArray> bytes;
        for (const char c : QByteArray("@?PRM 13,\r\n"))
            bytes << QByteArray(1, c);
        return bytes;
    }() << QByteArray("0\r\nOK\r\n");
    QTest::newRow("two in one piece")
        << QList<QByteArray>{"@?PRM 0,\r\n@?PRM 13,\r\n"} << QByteArray("30\r\nOK\r\n0\r\nOK\r\n");
}

void TstVirtualController::framing() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, reply);
    Peer peer;
    for (const QByteArray& p : pieces) {
        peer.channel.write(p);
        QTest::qWait(5);
    }
    QByteArray got = peer.collect();
    QTest::qWait(50);
    got += peer.channel.readAll();
    QCOMPARE(got, reply);
}

void TstVirtualController::pointBlockRoundTrip() {
    Peer peer;
    QCOMPARE(peer.talk("@WRITE PNT ,\r\n"), QByteArray("READY\r\n"));
    peer.channel.write("P5=A,12.50,30\r\n");
    peer.channel.write("P9=U,-3.00,20,4\r\n");
    peer.channel.write("P1=C,5,3\r\n");
    QCOMPARE(peer.quietFor(50), QByteArray()); // accepted data lines are not answered
    QCOMPARE(peer.talk(Eod), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@READ PNT ,\r\n"),
             QByteArray("P1=C,5,3\r\nP5=A,12.50,30\r\nP9=U,-3.00,20,4\r\nOK\r\n"));

    // The state persists over closing and reopening the port.
    peer.channel.close();
    peer.channel.open(QStringLiteral("COM1"));
    QCOMPARE(peer.talk("@READ PNT ,\r\n").count('\n'), 4);

    QCOMPARE(peer.talk("@INIT PNT ,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@READ PNT ,\r\n"), QByteArray("OK\r\n"));
}

void TstVirtualController::parameterBlockRoundTrip() {
    Peer peer;
    QCOMPARE(peer.talk("@WRITE PRM ,\r\n"), QByteArray("READY\r\n"));
    peer.channel.write("PRM35=150\r\n");
    peer.channel.write("PRM22 = 0\r\n"); // the language write has blanks around "="
    QCOMPARE(peer.talk(Eod), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?PRM 35,\r\n"), QByteArray("150\r\nOK\r\n"));

    const QByteArray table = peer.talk("@READ PRM ,\r\n");
    QVERIFY(table.endsWith("OK\r\n"));
    const QList<QByteArray> lines = table.chopped(4).split('\n');
    QCOMPARE(lines.size(), 65); // 64 lines and the empty rest after the last LF
    // The program takes the k-th "=" as parameter k.
    QCOMPARE(lines[22], QByteArray("PRM22=0\r"));
    QCOMPARE(lines[35], QByteArray("PRM35=150\r"));
    QCOMPARE(lines[63], QByteArray("PRM63=0\r"));
}

void TstVirtualController::zoneBlockRoundTrip() {
    Peer peer(VirtualController::Kind::Pulse);
    QCOMPARE(peer.talk("@WRITE ZON ,\r\n"), QByteArray("READY\r\n"));
    peer.channel.write("Z0=-10.00,20.00\r\nZ2=5.00,6.00\r\n");
    QCOMPARE(peer.talk(Eod), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@READ ZON ,\r\n"), QByteArray("Z0=-10.00,20.00\r\nZ2=5.00,6.00\r\nOK\r\n"));
    QCOMPARE(peer.talk("@INIT ZON ,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@READ ZON ,\r\n"), QByteArray("OK\r\n"));
}

void TstVirtualController::parameterInitAndDefaults() {
    Peer peer;
    peer.controller.setParameter(1, QStringLiteral("1500"));
    QCOMPARE(peer.talk("@INIT PRM 31,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?PRM 0,\r\n"), QByteArray("31\r\nOK\r\n"));
    QCOMPARE(peer.talk("@?PRM 1,\r\n"), QByteArray("4000\r\nOK\r\n"));
    QCOMPARE(peer.talk("@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n")); // the kind stays
    QCOMPARE(peer.talk("@INIT PRM 34,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("@INIT PRM ,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));

    peer.controller.setActuatorType(34); // unsupported, for the type check
    QCOMPARE(peer.talk("@?PRM 0,\r\n"), QByteArray("34\r\nOK\r\n"));

    // Type and kind cannot be written; a refused line makes the end of data answer NG.
    QCOMPARE(peer.talk("@WRITE PRM ,\r\n"), QByteArray("READY\r\n"));
    QCOMPARE(peer.talk("PRM0=31\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("PRM4=101\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk(Eod), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("@?PRM 0,\r\n"), QByteArray("34\r\nOK\r\n"));

    // Data lines and end of data outside a write block are refused.
    QCOMPARE(peer.talk("PRM4=50\r\n"), QByteArray("NG\r\n30:COMMAND ERROR\r\n"));
    QCOMPARE(peer.talk(Eod), QByteArray("NG\r\n30:COMMAND ERROR\r\n"));

    // The old model has no size detection parameters.
    peer.controller.setOldModel(true);
    QCOMPARE(peer.talk("@WRITE PRM ,\r\n"), QByteArray("READY\r\n"));
    QCOMPARE(peer.talk("PRM31=100\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
}

void TstVirtualController::refusalKnobs() {
    Peer peer;
    peer.controller.setNgFor(QStringLiteral("@?VER "));
    QCOMPARE(peer.talk("@?VER ,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    peer.controller.clearNgFor(QStringLiteral("@?VER"));
    QCOMPARE(peer.talk("@?VER ,\r\n"), QByteArray("1.05\r\nOK\r\n"));

    peer.controller.setSilentFor(QStringLiteral("@INIT PNT "));
    peer.controller.memory().setPoint(
        3, {QStringLiteral("A"), QStringLiteral("1.00"), QStringLiteral("10"), {}});
    peer.channel.write("@INIT PNT ,\r\n");
    QCOMPARE(peer.quietFor(150), QByteArray());
    QVERIFY(peer.controller.memory().point(3).isSet()); // a silenced command is not carried out

    peer.controller.setSilent(true);
    peer.channel.write("@?PRM 13,\r\n");
    QCOMPARE(peer.quietFor(150), QByteArray());
}

void TstVirtualController::dataLineRefusalKeepsEarlierLines() {
    Peer peer;
    peer.controller.setNgForDataLine(2, QStringLiteral("37:RANGE OVER"));
    QCOMPARE(peer.talk("@WRITE PNT ,\r\n"), QByteArray("READY\r\n"));
    peer.channel.write("P0=A,1.00,10\r\n");
    QCOMPARE(peer.quietFor(30), QByteArray());
    QCOMPARE(peer.talk("P1=A,2.00,10\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("@READ PNT ,\r\n"), QByteArray("P0=A,1.00,10\r\nOK\r\n"));
    // Malformed point lines are refused by the controller itself.
    peer.controller.setNgForDataLine(0);
    QCOMPARE(peer.talk("@WRITE PNT ,\r\n"), QByteArray("READY\r\n"));
    QCOMPARE(peer.talk("P2=A,5.00\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("P2=X,5.00,3\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("P64=A,5.00,3\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
}

void TstVirtualController::stopEndsMotion() {
    Peer peer;
    peer.controller.setMotionDuration(5000);
    QElapsedTimer clock;
    clock.start();
    peer.channel.write("@ORG ,\r\n");
    QCOMPARE(peer.quietFor(100), QByteArray()); // still moving
    QVERIFY(peer.controller.motionRunning());
    QCOMPARE(peer.talk(StopChar), QByteArray("STOP\r\n61:STOP COMMAND\r\n"));
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(!peer.controller.originDone());
    QVERIFY(!peer.controller.motionRunning());
    // The stop character with nothing moving is simply acknowledged.
    QCOMPARE(peer.talk(StopChar), QByteArray("OK\r\n"));

    peer.returnToOrigin();
    QVERIFY(peer.controller.originDone());
    QCOMPARE(peer.talk("@?ORG ,\r\n"), QByteArray("1\r\nOK\r\n"));
}

void TstVirtualController::jogAndPosition() {
    Peer peer;
    peer.returnToOrigin();
    peer.controller.setMotionDuration(0);
    QCOMPARE(peer.talk("@X+ ,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?POS ,\r\n"), QByteArray(" 0.10\r\nOK\r\n")); // one teach unit

    peer.channel.write("@XINC ,\r\n");
    QCOMPARE(peer.quietFor(200), QByteArray());
    QCOMPARE(peer.talk(StopChar), QByteArray("STOP\r\n61:STOP COMMAND\r\n"));
    const int reached = peer.controller.position();
    QVERIFY2(reached > 10 && reached < 2000, qPrintable(QString::number(reached)));

    peer.controller.setPosition(-1230);
    QCOMPARE(peer.talk("@?POS ,\r\n"), QByteArray("?12.30\r\nOK\r\n"));
    // Beyond the (-) soft limit (-0.20 mm) a step is refused.
    peer.controller.setPosition(-20);
    QCOMPARE(peer.talk("@X- ,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(peer.talk("@XDEC ,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
}

void TstVirtualController::motionRefusals() {
    Peer peer;
    QCOMPARE(peer.talk("@MOVP 0,\r\n"), QByteArray("NG\r\n39:ORIGIN NOT SET\r\n"));
    peer.returnToOrigin();
    QCOMPARE(peer.talk("@?P 0,\r\n"), QByteArray("NG\r\n38:NO POINT DATA\r\n"));
    peer.controller.memory().setPoint(
        4, {QStringLiteral("A"), QStringLiteral("-5.25"), QStringLiteral("20"), {}});
    // "@?P " answers the point's line and does not move.
    QCOMPARE(peer.talk("@?P 4,\r\n"), QByteArray("P4=A,-5.25,20\r\nOK\r\n"));
    QCOMPARE(peer.controller.position(), 0);
    QCOMPARE(peer.talk("@MOVP 4,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.controller.position(), -525);

    peer.controller.setMotionDuration(2000);
    peer.channel.write("@MOVP 4,\r\n");
    QCOMPARE(peer.talk("@ORG ,\r\n"), QByteArray("NG\r\n35:BUSY\r\n"));
    QCOMPARE(peer.talk(StopChar), QByteArray("STOP\r\n61:STOP COMMAND\r\n"));
}

void TstVirtualController::sizeDetection() {
    Peer peer;
    peer.returnToOrigin();
    peer.controller.setPushObjectAt(1250);
    QCOMPARE(peer.talk("@GMAX C,5,3,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?PRM 31,\r\n"), QByteArray("1250\r\nOK\r\n"));

    peer.controller.setNoPushObject(true);
    const QByteArray reply = peer.talk("@GMIN o,5,3,\r\n");
    QCOMPARE(reply, QByteArray("STOP\r\n64:NO OBJECT\r\n"));
    QCOMPARE(reply.mid(6, 2), QByteArray("64")); // characters 7 and 8, as the program tests

    QCOMPARE(peer.talk("@GMAX X,5,3,\r\n"), QByteArray("NG\r\n37:RANGE OVER\r\n"));
    peer.controller.setOldModel(true);
    QCOMPARE(peer.talk("@GMAX C,5,3,\r\n"), QByteArray("NG\r\n30:COMMAND ERROR\r\n"));
}

void TstVirtualController::splitReply() {
    Peer peer;
    peer.controller.setReplySplit(3, 40);
    QSignalSpy spy(&peer.channel, &SerialChannel::readyRead);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(peer.talk("@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));
    QVERIFY(clock.elapsed() >= 70);
    QCOMPARE(spy.count(), 3);
}

void TstVirtualController::dioShapes() {
    Peer peer;
    const QByteArray fresh = peer.talk("@READ DIO ,\r\n");
    QVERIFY2(QRegularExpression(QStringLiteral("^DO[01]{6}\r\nDI[01]{10}\r\nOK\r\n$"))
                 .match(QString::fromLatin1(fresh))
                 .hasMatch(),
             fresh.constData());
    QVERIFY(fresh.at(7) != '\r');
    QVERIFY(fresh.size() > 23);

    peer.controller.setOldModel(true);
    peer.controller.setInputs(QStringLiteral("1010101011"));
    const QByteArray old = peer.talk("@READ DIO ,\r\n");
    QCOMPARE(old.mid(9), QByteArray("DI101010101\r\nOK\r\n"));
    QVERIFY2(QRegularExpression(QStringLiteral("^DO[01]{5}\r\n"))
                 .match(QString::fromLatin1(old))
                 .hasMatch(),
             old.constData());
    QCOMPARE(old.at(7), '\r'); // the program's old-model test: 8th character is CR
}

// The pulse-train window reads lamps 0 to 3 from reply characters 5 to 8 (ZONE, INPOS/HOLD,
// ENABLE, READY) and lamps 8 to 13 from characters 17 to 22 (PRESS is 19, CCLR 21, ALR 22).
void TstVirtualController::pulseDioAndOperationState() {
    Peer peer(VirtualController::Kind::Pulse);
    QCOMPARE(peer.talk("@READ DIO ,\r\n").left(8), QByteArray("DO000100")); // in position only
    peer.controller.setServoOn(true);
    peer.controller.memory().setZone(1, {QStringLiteral("2.00"), QStringLiteral("-1.00"), {}});
    peer.controller.setPosition(150);
    peer.controller.setInputs(QStringLiteral("0000001011"));
    const QByteArray reply = peer.talk("@READ DIO ,\r\n");
    QCOMPARE(reply.mid(4, 4), QByteArray("1111")); // zone, in position, enable, ready
    QCOMPARE(reply.mid(18, 1), QByteArray("1"));   // PRESS
    QCOMPARE(reply.mid(20, 2), QByteArray("11"));  // CCLR, ALR
    peer.controller.setPosition(250);
    QCOMPARE(peer.talk("@READ DIO ,\r\n").mid(4, 1), QByteArray("0")); // outside every zone

    QCOMPARE(peer.talk("@PRESS 1,\r\n"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?PRS ,\r\n"), QByteArray("2\r\nOK\r\n"));
    peer.controller.setPressTransition(3);
    QCOMPARE(peer.talk("@?PRS ,\r\n"), QByteArray("3\r\nOK\r\n"));
    QCOMPARE(peer.talk("@CCLR ,\r\n"), QByteArray("OK\r\n"));
    peer.controller.setAlarm(true);
    QCOMPARE(peer.talk("@ALR ,\r\n"), QByteArray("OK\r\n"));
    QVERIFY(!peer.controller.alarm());
}

void TstVirtualController::pacingTakesLineTime() {
    Peer peer;
    peer.controller.setPaced(true);
    const QByteArray command("@READ PRM ,\r\n");
    QElapsedTimer clock;
    clock.start();
    const QByteArray reply = peer.talk(command, 5000);
    const qint64 elapsed = clock.elapsed();
    QVERIFY(reply.endsWith("OK\r\n"));
    const qint64 lineMs = (command.size() + reply.size()) * VirtualController::CharTimeNs / 1000000;
    QVERIFY2(elapsed >= lineMs * 9 / 10 && elapsed < lineMs + 2000,
             qPrintable(QStringLiteral("%1 ms for a %2 ms line time").arg(elapsed).arg(lineMs)));
}

void TstVirtualController::rawStartSequence() {
    Peer peer(VirtualController::Kind::Pulse);
    QCOMPARE(peer.talk("@?SRVO"), QByteArray("0\r\nOK\r\n"));
    QCOMPARE(peer.talk("@SRVO 1"), QByteArray("OK\r\n"));
    QCOMPARE(peer.talk("@?SRVO"), QByteArray("1\r\nOK\r\n"));
    QCOMPARE(peer.talk("@?ORG"), QByteArray("0\r\nOK\r\n"));
    peer.returnToOrigin();
    peer.controller.memory().setZone(2, {QStringLiteral("7.50"), QStringLiteral("9.00"), {}});
    QCOMPARE(peer.talk("@MOVP 2"), QByteArray("OK\r\n"));
    QCOMPARE(peer.controller.position(), 750);
    QCOMPARE(peer.controller.received().right(7), QByteArray("@MOVP 2"));

    // A stop right behind a raw move: the move is taken first, then stopped.
    peer.controller.setMotionDuration(3000);
    QCOMPARE(peer.talk(QByteArray("@MOVP 0") + '\x03'), QByteArray("STOP\r\n61:STOP COMMAND\r\n"));
    QVERIFY(!peer.controller.motionRunning());
}

void TstVirtualController::channelBehavesLikeAPort() {
    VirtualController controller;
    SimulatedChannel a(controller);
    SimulatedChannel b(controller);

    QCOMPARE(a.write("@?VER ,\r\n"), qint64(-1)); // closed
    a.setOpenFailure(QStringLiteral("Permission denied"));
    QVERIFY(!a.open(QStringLiteral("COM2")));
    QCOMPARE(a.errorString(), QStringLiteral("Permission denied"));
    a.setOpenFailure({});
    QVERIFY(a.open(QStringLiteral("COM2")));
    QVERIFY(b.open(QStringLiteral("COM3")));

    // readyRead comes from the event loop, never from inside write().
    QSignalSpy spyA(&a, &SerialChannel::readyRead);
    QCOMPARE(a.write("@?PRM 13,\r\n"), qint64(11));
    QCOMPARE(spyA.count(), 0);
    QVERIFY(spyA.wait(1000));
    QCOMPARE(a.readAll(), QByteArray("0\r\nOK\r\n"));
    QCOMPARE(a.readAll(), QByteArray());
    QCOMPARE(b.readAll(), QByteArray("0\r\nOK\r\n")); // a shared controller reaches both

    // Bytes sent while a channel is closed are lost; clearBuffers empties the input.
    b.close();
    controller.inject("late\r\n");
    QVERIFY(spyA.wait(1000));
    QCOMPARE(a.readAll(), QByteArray("late\r\n"));
    QVERIFY(b.open(QStringLiteral("COM3")));
    QCOMPARE(b.readAll(), QByteArray());
    controller.inject("stale");
    QVERIFY(spyA.wait(1000));
    b.clearBuffers();
    QCOMPARE(b.readAll(), QByteArray());

    QSignalSpy faults(&a, &SerialChannel::faulted);
    a.simulateFault(QStringLiteral("Device removed"));
    QCOMPARE(faults.count(), 1);
    QVERIFY(!a.isOpen());
}

void TstVirtualController::badInputAndGarbage() {
    Peer peer;
    // Noise before a line is skipped; noise inside it makes the line unknown.
    QCOMPARE(peer.talk("\xfe\x01@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n"));
    QCOMPARE(peer.talk("@?P\xffRM 13,\r\n"), QByteArray("NG\r\n30:COMMAND ERROR\r\n"));
    QCOMPARE(peer.talk(QByteArray(600, 'A') + "\r\n"), QByteArray("NG\r\n30:COMMAND ERROR\r\n"));
    QCOMPARE(peer.talk("@?PRM 13,\r\n"), QByteArray("0\r\nOK\r\n")); // and it recovers

    peer.controller.setReplyPrefix(QByteArray("\xff\x80#", 3));
    QCOMPARE(peer.talk("@?PRM 13,\r\n"), QByteArray("\xff\x80#0\r\nOK\r\n"));
}

void TstVirtualController::endlessStreamStopsOnStopChar() {
    Peer peer;
    peer.controller.setEndlessStream(true);
    peer.channel.write("@?VER ,\r\n");
    const QByteArray flood = peer.collect(200);
    QVERIFY(flood.size() > 100);
    QVERIFY(!complete(flood));
    peer.channel.write(StopChar);
    QTest::qWait(60);
    peer.channel.readAll();
    QCOMPARE(peer.quietFor(100), QByteArray());
}

QTEST_GUILESS_MAIN(TstVirtualController)
#include "tst_virtualcontroller.moc"
