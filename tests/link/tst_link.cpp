#include "FakeChannel.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Command.h"
#include "link/Link.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using Piece = FakeChannel::Piece;

class TestLink : public QObject {
    Q_OBJECT
  private slots:
    void composedLines_data();
    void composedLines();
    void extractReplyValue_data();
    void extractReplyValue();

    void splitReplyEndsAfterLastPiece();
    void ngWaitsForLateDetailLine();
    void ngInsideWordIsAnNgReply();
    void stopReplyFillsErrorBox();
    void noReplyTimesOutAndClosesPort();
    void replyReadAfterDeadlineStillTimesOut();
    void missingDetailLineIsBounded();
    void secondCommandWaitsForPendingExchange();
    void portThatCannotOpenIsAFailure();
    void badPortNameOpensCom1();
    void garbageAndNonAsciiKeptLosslessly();
    void endlessStreamIsBounded();

    void monitorBoxesClearedAtEachExchange();
    void keptPortServesOnlyThePollsOwnReads();
    void cancelEndsWaitAndLateReplyStaysOut();
    void cancelWhileWaitingForTheLineSendsNothing();
    void linesWithControlCharactersAreNotWritten_data();
    void linesWithControlCharactersAreNotWritten();
};

void TestLink::composedLines_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("version") << 100 << "" << QByteArray("@?VER ,\r\n");
    QTest::newRow("parameter 13") << 103 << "13" << QByteArray("@?PRM 13,\r\n");
    QTest::newRow("read points") << 200 << "" << QByteArray("@READ PNT ,\r\n");
    QTest::newRow("parameter data line") << 301 << "35=100" << QByteArray("PRM35=100\r\n");
    QTest::newRow("point data line") << 300 << "3=A,1000,20" << QByteArray("P3=A,1000,20\r\n");
    QTest::newRow("zone data line") << 302 << "0=1,2" << QByteArray("Z0=1,2\r\n");
    QTest::newRow("stop") << 400 << "ignored" << QByteArray("\x03");
    QTest::newRow("end of data") << 401 << "" << QByteArray("\x1a");
    QTest::newRow("unknown code") << 999 << "x" << QByteArray("x,\r\n");
    QTest::newRow("negative argument") << 2 << "-5" << QByteArray("@MOVP -5,\r\n");
}

void TestLink::composedLines() {
    QFETCH(int, code);
    QFETCH(QString, second);
    QFETCH(QByteArray, expected);
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.sousinnaiyou = "stale";
    link.P_first = "stale";
    link.ClearCommand();
    link.P_Command = code;
    link.P_second = second;
    link.BuildCommand();
    QCOMPARE(link.sousinnaiyou.toLatin1(), expected);
}

void TestLink::extractReplyValue_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("value");
    QTest::newRow("value OK CRLF") << "1\r\nOK\r\n"
                                   << "1";
    QTest::newRow("longer value") << " 12.30\r\nOK\r\n"
                                  << " 12.30";
    QTest::newRow("OK without CRLF") << "25\r\nOK"
                                     << "25";
    QTest::newRow("OK alone") << "OK"
                              << "";
    QTest::newRow("ends in CR") << "7\r\nOK\r"
                                << "7";
    QTest::newRow("short text whole") << "12345"
                                      << "12345";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLink::extractReplyValue() {
    QFETCH(QString, reply);
    QFETCH(QString, value);
    QCOMPARE(Link::ExtractReplyValue(reply), value);
}

void TestLink::splitReplyEndsAfterLastPiece() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{10, "0\r\nO"}, {120, "K\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 2000;
    link.P_Command = Command::QueryPRM;
    link.P_second = "13";
    link.BuildCommand();
    QElapsedTimer t;
    t.start();
    ExchangeResult r = link.Exchange();
    QVERIFY(t.elapsed() >= 110);
    QCOMPARE(r.ReplyText, QString("0\r\nOK\r\n"));
    QVERIFY(!r.Timeout());
    QVERIFY(!channel.isOpen());
    QVERIFY(!state.LinkBusy);
    QCOMPARE(link.receivedText(), r.ReplyText);
    QCOMPARE(link.sentText(), QString("@?PRM 13,\r\n"));
}

void TestLink::ngWaitsForLateDetailLine() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "NG\r\n"}, {150, "37:RANGE OVER\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 1000;
    link.sousinnaiyou = "PRM1=5\r\n";
    ExchangeResult r = link.Exchange();
    QCOMPARE(r.ReplyText, QString("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(link.errorText(), QString("NG\r\n37:RANGE OVER\r\n"));
    QVERIFY(!r.Timeout());
}

void TestLink::ngInsideWordIsAnNgReply() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "RANGE\r\nOK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "x";
    ExchangeResult r = link.Exchange();
    QVERIFY(!r.Timeout());
    QVERIFY(r.ReplyText.contains("NG"));
    QCOMPARE(r.ReplyText, QString("RANGE\r\nOK\r\n"));
    QCOMPARE(link.errorText(), QString("NGE\r\nOK\r\n"));
}

void TestLink::stopReplyFillsErrorBox() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "STOP\r\n"}, {30, "61:STOP COMMAND\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 1000;
    link.sousinnaiyou = "@ORG ,\r\n";
    ExchangeResult r = link.Exchange();
    QCOMPARE(r.ReplyText, QString("STOP\r\n61:STOP COMMAND\r\n"));
    QCOMPARE(link.errorText(), QString("STOP\r\n61:STOP COMMAND\r\n"));
}

void TestLink::noReplyTimesOutAndClosesPort() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 200;
    link.sousinnaiyou = "@?VER ,\r\n";
    QSignalSpy sent(&link, &Link::commandSent);
    QElapsedTimer t;
    t.start();
    ExchangeResult r = link.Exchange();
    QVERIFY(t.elapsed() >= 200);
    QVERIFY(t.elapsed() < 2000);
    QVERIFY(r.Timeout());
    QVERIFY(r.ReplyText.isEmpty());
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.closes, 1);
    QVERIFY(!state.LinkBusy);
    QCOMPARE(sent.constLast().at(0).toString(), QString("@?VER ,\r\n"));
}

void TestLink::replyReadAfterDeadlineStillTimesOut() {
    // The window is blocked past the deadline while the complete reply waits at the port:
    // the reply is read whole, but the clock after the read decides the time-out.
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 100;
    link.sousinnaiyou = "@?POS ,\r\n";
    QTimer::singleShot(10, &channel, [&] {
        channel.clearBuffers();
        QSignalBlocker block(channel);
        channel.deliver(" 12.30\r\nOK\r\n");
        QThread::msleep(200);
    });
    ExchangeResult r = link.Exchange();
    QCOMPARE(r.ReplyText, QString(" 12.30\r\nOK\r\n"));
    QVERIFY(r.Timeout());
}

void TestLink::missingDetailLineIsBounded() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "NG\r\n37:RANGE"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 150;
    link.sousinnaiyou = "P1=A,1,1\r\n";
    QElapsedTimer t;
    t.start();
    ExchangeResult r = link.Exchange();
    QVERIFY(t.elapsed() < 2000);
    QCOMPARE(r.ReplyText, QString("NG\r\n37:RANGE"));
    QVERIFY(!state.LinkBusy);
}

void TestLink::secondCommandWaitsForPendingExchange() {
    LinkState state;
    FakeChannel channelA;
    FakeChannel channelB;
    channelA.replies = {{{200, "A\r\nOK\r\n"}}};
    channelB.replies = {{{10, "B\r\nOK\r\n"}}};
    Link a(state, channelA);
    Link b(state, channelB);
    a.ReplyTimeoutMs = b.ReplyTimeoutMs = 2000;
    a.sousinnaiyou = "first";

    QElapsedTimer t;
    qint64 bWrittenAt = -1;
    QString bReply;
    QTimer::singleShot(30, &b, [&] {
        QVERIFY(state.LinkBusy);
        b.P_Command = Command::QueryPOS;
        b.BuildCommand(); // waits here until a's reply has arrived
        QVERIFY(!state.LinkBusy);
        QVERIFY(channelB.written.isEmpty());
        ExchangeResult rb = b.Exchange();
        bWrittenAt = t.elapsed();
        bReply = rb.ReplyText;
    });
    t.start();
    ExchangeResult ra = a.Exchange();
    // The interrupted operation finds its own exchange finished, with its own reply.
    QCOMPARE(ra.ReplyText, QString("A\r\nOK\r\n"));
    QVERIFY(!ra.Timeout());
    QVERIFY(bWrittenAt >= 200);
    QCOMPARE(channelB.written, QByteArray("@?POS ,\r\n"));
    QCOMPARE(bReply, QString("B\r\nOK\r\n"));
}

void TestLink::portThatCannotOpenIsAFailure() {
    LinkState state;
    FakeChannel channel;
    channel.openError = "/dev/ttyS7: Permission denied";
    Link link(state, channel);
    QSignalSpy fault(&link, &Link::portFault);
    link.ReplyTimeoutMs = 3000;
    link.sousinnaiyou = "@?VER ,\r\n";
    QElapsedTimer t;
    t.start();
    ExchangeResult r = link.Exchange();
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(r.Timeout());
    QVERIFY(!state.LinkBusy);
    QCOMPARE(fault.count(), 1);
    QCOMPARE(fault.at(0).at(0).toString(), QString("/dev/ttyS7: Permission denied"));
}

void TestLink::badPortNameOpensCom1() {
    for (const QString name : {"COM9", "", "COM0", "com3", "COM12"}) {
        LinkState state;
        state.PortName = name;
        FakeChannel channel;
        Link link(state, channel);
        link.ReplyTimeoutMs = 10;
        ExchangeResult r = link.Exchange();
        QCOMPARE(channel.openedPorts, QStringList{"COM1"});
        QCOMPARE(state.PortName, QString("COM1"));
    }
}

void TestLink::garbageAndNonAsciiKeptLosslessly() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, QByteArray("\x00\xff\xe9z\r\n", 6)}, {10, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "x";
    ExchangeResult r = link.Exchange();
    QVERIFY(!r.Timeout());
    QCOMPARE(r.ReplyText.toLatin1(), QByteArray("\x00\xff\xe9z\r\nOK\r\n", 10));
}

void TestLink::endlessStreamIsBounded() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 300;
    link.sousinnaiyou = "x";
    QTimer flood;
    connect(&flood, &QTimer::timeout, &channel, [&] { channel.deliver(QByteArray(8192, 'A')); });
    flood.start(1);
    ExchangeResult r = link.Exchange();
    flood.stop();
    QVERIFY(r.Timeout());
    QVERIFY(r.ReplyText.size() <= 64 * 1024);
    QVERIFY(r.ReplyText.size() > 8192);
}

void TestLink::monitorBoxesClearedAtEachExchange() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "@INIT ORG ,\r\n";
    ExchangeResult r = link.Exchange();
    QCOMPARE(link.receivedText(), QString("OK\r\n"));
    channel.openError = "/dev/ttyS0: Permission denied";
    r = link.Exchange();
    QVERIFY(link.sentText().isEmpty());
    QVERIFY(link.receivedText().isEmpty());
}

// A poll's reads go on with the port the previous read left open; an exchange a handler makes
// meanwhile, one outside the poll, a refused read and closeKeptPort() each leave it closed.
void TestLink::keptPortServesOnlyThePollsOwnReads() {
    LinkState state;
    FakeChannel channel;
    const QList<Piece> position = {{5, " 1.00\r\nOK\r\n"}};
    channel.replies = {position,
                       position,
                       position,
                       {{5, "OK\r\n"}},
                       position,
                       position,
                       {{5, "NG\r\n37:RANGE\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "@?POS ,\r\n";
    ExchangeResult handlers;
    {
        Link::KeepPortOpen keep(link);
        link.Exchange();
        QVERIFY(channel.isOpen());
        link.Exchange();
        QCOMPARE(channel.opens, 1);
        // A handler's exchange while the poll's read waits.
        QTimer::singleShot(1, &link, [&] {
            link.sousinnaiyou = "@SRVO 0,\r\n";
            handlers = link.Exchange();
        });
        link.sousinnaiyou = "@?POS ,\r\n";
        QCOMPARE(link.Exchange().ReplyText, QString(" 1.00\r\nOK\r\n"));
        QCOMPARE(handlers.ReplyText, QString("OK\r\n"));
        QCOMPARE(channel.opens, 2);
        QVERIFY(!channel.isOpen());
    }
    link.Exchange(); // outside the poll
    QVERIFY(!channel.isOpen());
    Link::KeepPortOpen keep(link);
    link.Exchange();
    QVERIFY(channel.isOpen());
    link.closeKeptPort();
    QVERIFY(!channel.isOpen());
    link.Exchange(); // refused
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.opens, 5);
}

// Cancel ends a wait at once. The controller's late answer is swallowed by the cancelled
// exchange, and the next command goes out only after it: the next reply is its own.
void TestLink::cancelEndsWaitAndLateReplyStaysOut() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{600, "30\r\nOK\r\n"}}, {{800, "2000\r\nOK\r\n"}}};
    FakeProgress progress;
    Link link(state, channel);
    link.attachProgress(progress);
    link.ReplyTimeoutMs = 3000;
    link.sousinnaiyou = "@?PRM 0,\r\n";
    QTimer::singleShot(50, [&] { progress.clickCancel(); });
    ExchangeResult r = link.Exchange();
    QVERIFY(r.cancelled());
    QVERIFY(r.Timeout());
    QVERIFY(r.ReplyText.isEmpty());

    link.ReplyTimeoutMs = 3000;
    link.ClearCommand();
    link.P_Command = Command::QueryPRM;
    link.P_second = "21";
    link.BuildCommand();
    r = link.Exchange();
    QVERIFY(!r.cancelled());
    QVERIFY(!r.Timeout());
    QCOMPARE(r.ReplyText, QString("2000\r\nOK\r\n"));
    QCOMPARE(link.receivedText(), QString("2000\r\nOK\r\n"));
    QVERIFY(!state.LinkBusy);
}

// A Cancel while an exchange waits for another one to end: nothing is written.
void TestLink::cancelWhileWaitingForTheLineSendsNothing() {
    LinkState state;
    FakeChannel channelA;
    FakeChannel channelB;
    channelA.replies = {{{600, "OK\r\n"}}};
    FakeProgress progress;
    Link a(state, channelA);
    Link b(state, channelB);
    b.attachProgress(progress);
    a.ReplyTimeoutMs = b.ReplyTimeoutMs = 3000;
    a.sousinnaiyou = "@ORG ,\r\n";
    b.sousinnaiyou = "@?POS ,\r\n";
    QTimer::singleShot(20, [&] {
        QTimer::singleShot(50, [&] { progress.clickCancel(); });
        ExchangeResult rb = b.Exchange();
        QVERIFY(rb.cancelled());
        QVERIFY(channelB.written.isEmpty());
    });
    ExchangeResult ra = a.Exchange();
    QVERIFY(!ra.cancelled());
    QCOMPARE(ra.ReplyText, QString("OK\r\n"));
}

// An operation's own cancel message does not outlive it: the next operation that is
// cancelled shows the shared one.
void TestLink::linesWithControlCharactersAreNotWritten_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("sendable");
    QTest::newRow("command") << "@?PRM 13,\r\n" << true;
    QTest::newRow("stop character") << "\x03" << true;
    QTest::newRow("end of data") << "\x1a" << true;
    QTest::newRow("raw line without line end") << "@?SRVO" << true;
    QTest::newRow("CR LF inside a data line") << "PRM4=100\r\n@INIT PNT ,\r\n" << false;
    QTest::newRow("LF in an argument") << "@MOVP 1\n,\r\n" << false;
    QTest::newRow("CR without LF at the end") << "PRM4=100\r" << false;
    QTest::newRow("NUL") << QString("P1=A") + QChar(0) + ",5\r\n" << false;
    QTest::newRow("stop character inside") << "@ORG \x03,\r\n" << false;
    QTest::newRow("beyond ASCII") << "PRM4=1\u00e9\r\n" << false;
}

void TestLink::linesWithControlCharactersAreNotWritten() {
    QFETCH(QString, line);
    QFETCH(bool, sendable);
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{1, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 300;
    link.sousinnaiyou = line;
    ExchangeResult r = link.Exchange();
    QCOMPARE(r.refusedLine(), !sendable);
    QCOMPARE(r.Timeout(), !sendable);
    QCOMPARE(channel.written, sendable ? line.toLatin1() : QByteArray());
    QCOMPARE(channel.opens, sendable ? 1 : 0);
    QVERIFY(!channel.isOpen()); // the port is closed again either way
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
